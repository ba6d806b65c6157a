// Texts shown in a chart (labels and value texts) in the user-interface
// language. Scripts of the Serbian and Macedonian reports write Latin text
// with ASCII digraphs, since their 8-bit syntax files cannot hold the
// letters; the chart shows the real letters.
#pragma once

#include <string>
#include <string_view>

namespace vop {

// Languages of the chart texts (the user-interface language setting).
inline constexpr int kChartEnglish = 1;
inline constexpr int kChartSerbian = 2;     // Latin digraphs "Ch", "cH", ... to Č, č, ...
inline constexpr int kChartMacedonian = 3;  // Latin letters to Macedonian Cyrillic

// `text` (UTF-8) as the chart shows it in `language`; any other language
// keeps the letters as they are. Every result is well-formed UTF-8 that
// XML can hold: a byte that is no part of a UTF-8 character reads as its
// windows-1252 character (a text typed in an older code page), and control
// characters other than tab and line ends are dropped.
std::string chart_text(std::string_view text, int language);

}  // namespace vop
