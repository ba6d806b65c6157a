// Chart texts in the three languages: Serbian digraphs to their letters,
// Macedonian Latin to Cyrillic, English unchanged.
#include <gtest/gtest.h>

#include "office/chart_text.h"

namespace vop {
namespace {

TEST(ChartText, EnglishAndUnknownLanguagesKeepTheText) {
  for (int language : {kChartEnglish, 0, 4}) {
    EXPECT_EQ(chart_text("Chart of DZz, sS and \xC3\xA9t\xC3\xA9", language),
              "Chart of DZz, sS and \xC3\xA9t\xC3\xA9");
  }
}

TEST(ChartText, EveryTextBecomesUtf8ThatXmlHolds) {
  for (int language : {kChartEnglish, kChartSerbian, kChartMacedonian}) {
    // Bytes of an older code page read as windows-1252; control characters go.
    EXPECT_EQ(chart_text("\x80 5\x01\x1F\xE9", language), "€ 5é");
    EXPECT_EQ(chart_text("\xC3", language), "Ã") << "a cut-short sequence";
    EXPECT_EQ(chart_text("\xED\xA0\x80", language), "í\u00A0€") << "a surrogate is no UTF-8";
    EXPECT_EQ(chart_text("a\tb\nc", language), language == kChartMacedonian ? "а\tб\nц" : "a\tb\nc");
    EXPECT_EQ(chart_text("\xF0\x9F\x98\x80", language), "\xF0\x9F\x98\x80");
  }
}

TEST(ChartText, SerbianDigraphsBecomeTheirLetters) {
  EXPECT_EQ(chart_text("Ch Cc Dj Ss Zz", kChartSerbian), "Č Ć Đ Š Ž");
  EXPECT_EQ(chart_text("cH cC dJ sS zZ", kChartSerbian), "č ć đ š ž");
  EXPECT_EQ(chart_text("KucCa", kChartSerbian), "Kuća");
  EXPECT_EQ(chart_text("ch cc dj ss zz CH", kChartSerbian), "ch cc dj ss zz CH") << "other cases stay";
  EXPECT_EQ(chart_text("ABC", kChartSerbian), "ABC");
  // A pair's first byte at the end of the text stays as it is.
  EXPECT_EQ(chart_text("C", kChartSerbian), "C");
  EXPECT_EQ(chart_text("ZzC", kChartSerbian), "ŽC");
  EXPECT_EQ(chart_text("abcC", kChartSerbian), "abć");
  // Pairs are taken left to right and do not overlap.
  EXPECT_EQ(chart_text("Chh", kChartSerbian), "Čh");
  EXPECT_EQ(chart_text("", kChartSerbian), "");
}

TEST(ChartText, MacedonianLatinBecomesCyrillic) {
  EXPECT_EQ(chart_text("ABCDEFGHIJKLMNOPRSTUVZ", kChartMacedonian), "АБЦДЕФГХИЈКЛМНОПРСТУВЗ");
  EXPECT_EQ(chart_text("abcdefghijklmnoprstuvz", kChartMacedonian), "абцдефгхијклмнопрстувз");
  EXPECT_EQ(chart_text("QWXYqwxy 123!", kChartMacedonian), "QWXYqwxy 123!");
  EXPECT_EQ(chart_text("Lj LJ lj Nj NJ nj", kChartMacedonian), "Љ Љ љ Њ Њ њ");
  EXPECT_EQ(chart_text("Gj GJ gj Kj KJ kj", kChartMacedonian), "Ѓ Ѓ ѓ Ќ Ќ ќ");
  EXPECT_EQ(chart_text("Ch cH Sz sS Zz zZ", kChartMacedonian), "Ч ч Ш ш Ж ж");
  // The three-letter forms win over "Dz"; "DZ" alone is two letters.
  EXPECT_EQ(chart_text("DZz DzZ dzZ Dz dz DZ", kChartMacedonian), "Џ Џ џ Ѕ ѕ ДЗ");
  EXPECT_EQ(chart_text("Skopje", kChartMacedonian), "Скопје");
  EXPECT_EQ(chart_text("LjubljanA", kChartMacedonian), "ЉубљанА");
  // Bytes of UTF-8 text that are no ASCII letter pass through.
  EXPECT_EQ(chart_text("\xC3\xA9" "a", kChartMacedonian), "\xC3\xA9" "а");
}

}  // namespace
}  // namespace vop
