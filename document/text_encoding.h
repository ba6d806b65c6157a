// Texts are UTF-8 in memory. The documents we write carry them in the form
// each format expects, and a byte that is not part of any UTF-8 character
// (a text typed in an older code page, say) is read as the windows-1252
// character it stands for there, so it is neither dropped nor turned into
// something the office suite refuses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vop {

// The replacement character: what a windows-1252 byte without a meaning
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) reads as.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

struct DecodedCharacter {
  char32_t c;     // the character
  size_t length;  // bytes it took; 0 when more bytes are needed to tell
};

// The character at the start of `text` (which is not empty). A byte that
// does not start a well-formed UTF-8 sequence (a stray continuation byte,
// an overlong form, a surrogate, a value beyond U+10FFFF, a sequence cut
// short) gives its windows-1252 character and length 1. When `text` ends
// inside what may still become a well-formed sequence, the length is 0
// unless `at_end` says no more bytes will come.
DecodedCharacter decode_utf8(std::string_view text, bool at_end);

// The windows-1252 character of one byte.
char32_t windows1252_character(unsigned char byte);

// Appends c in UTF-8.
void append_utf8(std::string& out, char32_t c);

// Appends c as RTF text: ASCII as it is, any other character as the
// Unicode control word "\uN?" (N the UTF-16 unit as a signed 16-bit number,
// "?" what readers without Unicode show); a character beyond U+FFFF as two
// of them, its surrogate pair.
void append_rtf_character(std::string& out, char32_t c);

// `text` with every character turned by `append`, bytes that are no UTF-8
// read as windows-1252.
std::string convert_text(std::string_view text, void (*append)(std::string&, char32_t));

// The RTF form of a UTF-8 text (append_rtf_character on each character).
inline std::string rtf_text(std::string_view text) { return convert_text(text, append_rtf_character); }

// A well-formed UTF-8 copy of a text (bytes that are no UTF-8 read as
// windows-1252).
inline std::string clean_utf8(std::string_view text) { return convert_text(text, append_utf8); }

}  // namespace vop
