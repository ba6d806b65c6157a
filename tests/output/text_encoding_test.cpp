// Texts into the forms the documents carry: RTF's Unicode control words and
// well-formed UTF-8, with bytes that are no UTF-8 read as windows-1252.
#include "document/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace vop {
namespace {

TEST(RtfText, AsciiStaysAsItIs) {
  const std::string ascii = "{\\b Total}\\cell 42.0%\n\t~|#";
  EXPECT_EQ(rtf_text(ascii), ascii);
  EXPECT_EQ(rtf_text(""), "");
}

TEST(RtfText, OtherCharactersAreUnicodeControlWords) {
  EXPECT_EQ(rtf_text("Pr\xC3\xA9nom"), "Pr\\u233?nom");                 // é, two bytes
  EXPECT_EQ(rtf_text("\xE2\x82\xAC 5"), "\\u8364? 5");                  // €, three bytes
  EXPECT_EQ(rtf_text("\xC5\xBD"), "\\u381?");                          // Ž
  // Units above 32767 are written as negative numbers.
  EXPECT_EQ(rtf_text("\xEA\xB0\x80"), "\\u-21504?");                    // U+AC00
  EXPECT_EQ(rtf_text("\xEF\xBF\xBF"), "\\u-1?");                        // U+FFFF
  EXPECT_EQ(rtf_text("\xE7\xBF\xBF"), "\\u32767?");                     // U+7FFF
  EXPECT_EQ(rtf_text("\xE8\x80\x80"), "\\u-32768?");                    // U+8000
  // Beyond U+FFFF: the surrogate pair, D83D DE00 for U+1F600.
  EXPECT_EQ(rtf_text("a\xF0\x9F\x98\x80z"), "a\\u-10179?\\u-8704?z");
  EXPECT_EQ(rtf_text("\xF4\x8F\xBF\xBF"), "\\u-9217?\\u-8193?");        // U+10FFFF: DBFF DFFF
}

TEST(RtfText, BytesThatAreNoUtf8ReadAsWindows1252) {
  EXPECT_EQ(rtf_text("Caf\xE9"), "Caf\\u233?");                        // é in windows-1252
  EXPECT_EQ(rtf_text("\x80\x96\x9F"), "\\u8364?\\u8211?\\u376?");      // €, en dash, Ÿ
  EXPECT_EQ(rtf_text("\x81"), "\\u-3?");                               // undefined there: U+FFFD
  EXPECT_EQ(rtf_text("x\xC3"), "x\\u195?");                            // cut short at the end: Ã
  EXPECT_EQ(rtf_text("\xC3("), "\\u195?(");                            // lead byte without its follower
  EXPECT_EQ(rtf_text("\xC0\xAF"), "\\u192?\\u175?");                   // overlong '/'
  EXPECT_EQ(rtf_text("\xED\xA0\x80"), "\\u237?\\u160?\\u8364?");       // a surrogate in UTF-8
  EXPECT_EQ(rtf_text("\xF4\x90\x80\x80"), "\\u244?\\u-3?\\u8364?\\u8364?");  // beyond U+10FFFF
  EXPECT_EQ(rtf_text("\xFF\xFE"), "\\u255?\\u254?");
}

TEST(CleanUtf8, WellFormedTextIsUnchangedAndStrayBytesBecomeTheirCharacters) {
  const std::string good = "Pr\xC3\xA9nom \xE2\x82\xAC \xF0\x9F\x98\x80 \xEF\xBF\xBD";
  EXPECT_EQ(clean_utf8(good), good);
  EXPECT_EQ(clean_utf8("Caf\xE9 \x80 \x8D"), "Caf\xC3\xA9 \xE2\x82\xAC \xEF\xBF\xBD");
}

TEST(DecodeUtf8, AnUnfinishedCharacterWaitsForMoreBytes) {
  EXPECT_EQ(decode_utf8("\xE2\x82", false).length, 0u);
  EXPECT_EQ(decode_utf8("\xF0", false).length, 0u);
  const DecodedCharacter last = decode_utf8("\xE2\x82", true);
  EXPECT_EQ(last.length, 1u);
  EXPECT_EQ(last.c, U'\u00E2');
  // A byte that cannot start or continue a character does not wait.
  EXPECT_EQ(decode_utf8("\xE2(", false).length, 1u);
  EXPECT_EQ(decode_utf8("\xC1", false).length, 1u);
  const DecodedCharacter euro = decode_utf8("\xE2\x82\xAC!", false);
  EXPECT_EQ(euro.c, U'\u20AC');
  EXPECT_EQ(euro.length, 3u);
}

}  // namespace
}  // namespace vop
