// The output stream's formats (sizes in twips, weights as font weights) as
// Qt text formats, and the fixed layout of the window's text: the default
// font, the start indent and the tab stops.
#pragma once

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include "document/output_event.h"
#include "output/targets.h"

namespace vop::shell {

// The rich-edit layout of both windows, in twips.
inline constexpr int kStartIndentTwips = 100;   // the text starts this far in
inline constexpr int kTabStopTwips = 1420;      // output: a tab stop every 1420 twips
inline constexpr int kDefaultTabTwips = 720;    // syntax: the control's own half inch
inline constexpr int kTwipsPerPoint = 20;

// A face the system has: the face itself, else its metric-compatible
// stand-in ("Courier New" -> "Liberation Mono", "Arial" -> "Liberation Sans").
QString available_family(const QString& face);

// The window's default text: "Courier New" 8 pt (or its stand-in).
QFont default_output_font();

// A character format of the output stream as Qt applies it.
QTextCharFormat qt_char_format(const CharFormat& f);
// The paragraph of a run format: the base paragraph (start indent), or a
// heading's, moved in further and with its space before and after.
QTextBlockFormat qt_block_format(TextFormat f);

// Twips as the text layout's units (points for fonts, pixels at the
// screen's logical resolution for margins).
qreal twips_to_pixels(int twips);

}  // namespace vop::shell
