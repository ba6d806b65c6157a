#include "document/text_encoding.h"

#include <cstdio>

namespace vop {

namespace {

// Characters of the bytes 0x80..0x9F in windows-1252; the rest of the
// upper half is Latin-1.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,  // 88..8F
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,  // 98..9F
};

bool continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

char32_t windows1252_character(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh1252[byte - 0x80];
  return byte;
}

DecodedCharacter decode_utf8(std::string_view text, bool at_end) {
  const auto b0 = static_cast<unsigned char>(text[0]);
  if (b0 < 0x80) return {b0, 1};
  const DecodedCharacter stray{windows1252_character(b0), 1};
  size_t need;
  char32_t c;
  // Bounds of the second byte exclude overlong forms, surrogates and
  // values beyond U+10FFFF (the well-formed table of Unicode 3.9).
  unsigned char low = 0x80, high = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    c = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    c = b0 & 0x0F;
    if (b0 == 0xE0) low = 0xA0;
    if (b0 == 0xED) high = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    c = b0 & 0x07;
    if (b0 == 0xF0) low = 0x90;
    if (b0 == 0xF4) high = 0x8F;
  } else {
    return stray;
  }
  for (size_t k = 1; k <= need; ++k) {
    if (k >= text.size()) return at_end ? stray : DecodedCharacter{0, 0};
    const auto b = static_cast<unsigned char>(text[k]);
    if (k == 1 ? (b < low || b > high) : !continuation(b)) return stray;
    c = (c << 6) | (b & 0x3F);
  }
  return {c, need + 1};
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

void append_rtf_character(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
    return;
  }
  auto unit = [&out](unsigned u) {
    char buf[16];
    // RTF takes the UTF-16 unit as a signed 16-bit number.
    std::snprintf(buf, sizeof buf, "\\u%d?", u > 0x7FFF ? int(u) - 0x10000 : int(u));
    out += buf;
  };
  if (c < 0x10000) {
    unit(unsigned(c));
  } else {
    const unsigned v = unsigned(c) - 0x10000;
    unit(0xD800 + (v >> 10));
    unit(0xDC00 + (v & 0x3FF));
  }
}

std::string convert_text(std::string_view text, void (*append)(std::string&, char32_t)) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const DecodedCharacter d = decode_utf8(text, true);
    append(out, d.c);
    text.remove_prefix(d.length);
  }
  return out;
}

}  // namespace vop
