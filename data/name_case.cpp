#include "data/name_case.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace vop {

namespace {

// Lower-case letters first..last, every `stride`-th code point, whose
// capital lies `delta` code points away (Unicode's simple upper-case
// mapping of the letters of these blocks).
struct CaseRun {
  char32_t first;
  char32_t last;
  uint8_t stride;
  int32_t delta;
};

constexpr CaseRun kRuns[] = {
    // Latin-1 Supplement
    {0x00B5, 0x00B5, 1, 743},  {0x00E0, 0x00F6, 1, -32}, {0x00F8, 0x00FE, 1, -32},
    {0x00FF, 0x00FF, 1, 121},
    // Latin Extended-A
    {0x0101, 0x012F, 2, -1},   {0x0131, 0x0131, 1, -232}, {0x0133, 0x0137, 2, -1},
    {0x013A, 0x0148, 2, -1},   {0x014B, 0x0177, 2, -1},   {0x017A, 0x017E, 2, -1},
    {0x017F, 0x017F, 1, -300},
    // Latin Extended-B
    {0x0180, 0x0180, 1, 195},  {0x0183, 0x0185, 2, -1},   {0x0188, 0x0188, 1, -1},
    {0x018C, 0x018C, 1, -1},   {0x0192, 0x0192, 1, -1},   {0x0195, 0x0195, 1, 97},
    {0x0199, 0x0199, 1, -1},   {0x019A, 0x019A, 1, 163},  {0x019E, 0x019E, 1, 130},
    {0x01A1, 0x01A5, 2, -1},   {0x01A8, 0x01A8, 1, -1},   {0x01AD, 0x01AD, 1, -1},
    {0x01B0, 0x01B0, 1, -1},   {0x01B4, 0x01B6, 2, -1},   {0x01B9, 0x01B9, 1, -1},
    {0x01BD, 0x01BD, 1, -1},   {0x01BF, 0x01BF, 1, 56},   {0x01C5, 0x01C5, 1, -1},
    {0x01C6, 0x01C6, 1, -2},   {0x01C8, 0x01C8, 1, -1},   {0x01C9, 0x01C9, 1, -2},
    {0x01CB, 0x01CB, 1, -1},   {0x01CC, 0x01CC, 1, -2},   {0x01CE, 0x01DC, 2, -1},
    {0x01DD, 0x01DD, 1, -79},  {0x01DF, 0x01EF, 2, -1},   {0x01F2, 0x01F2, 1, -1},
    {0x01F3, 0x01F3, 1, -2},   {0x01F5, 0x01F5, 1, -1},   {0x01F9, 0x021F, 2, -1},
    {0x0223, 0x0233, 2, -1},   {0x023C, 0x023C, 1, -1},   {0x023F, 0x0240, 1, 10815},
    {0x0242, 0x0242, 1, -1},   {0x0247, 0x024F, 2, -1},
    // Greek
    {0x0371, 0x0373, 2, -1},   {0x0377, 0x0377, 1, -1},   {0x037B, 0x037D, 1, 130},
    {0x03AC, 0x03AC, 1, -38},  {0x03AD, 0x03AF, 1, -37},  {0x03B1, 0x03C1, 1, -32},
    {0x03C2, 0x03C2, 1, -31},  {0x03C3, 0x03CB, 1, -32},  {0x03CC, 0x03CC, 1, -64},
    {0x03CD, 0x03CE, 1, -63},  {0x03D0, 0x03D0, 1, -62},  {0x03D1, 0x03D1, 1, -57},
    {0x03D5, 0x03D5, 1, -47},  {0x03D6, 0x03D6, 1, -54},  {0x03D7, 0x03D7, 1, -8},
    {0x03D9, 0x03EF, 2, -1},   {0x03F0, 0x03F0, 1, -86},  {0x03F1, 0x03F1, 1, -80},
    {0x03F2, 0x03F2, 1, 7},    {0x03F3, 0x03F3, 1, -116}, {0x03F5, 0x03F5, 1, -96},
    {0x03F8, 0x03F8, 1, -1},   {0x03FB, 0x03FB, 1, -1},
    // Cyrillic and Cyrillic Supplement
    {0x0430, 0x044F, 1, -32},  {0x0450, 0x045F, 1, -80},  {0x0461, 0x0481, 2, -1},
    {0x048B, 0x04BF, 2, -1},   {0x04C2, 0x04CE, 2, -1},   {0x04CF, 0x04CF, 1, -15},
    {0x04D1, 0x052F, 2, -1},
    // Latin Extended Additional
    {0x1E01, 0x1E95, 2, -1},   {0x1E9B, 0x1E9B, 1, -59},  {0x1EA1, 0x1EFF, 2, -1},
};

static_assert(std::is_sorted(std::begin(kRuns), std::end(kRuns),
                             [](const CaseRun& a, const CaseRun& b) { return a.last < b.first; }));

char32_t upper_letter(char32_t c) {
  const CaseRun* run = std::lower_bound(std::begin(kRuns), std::end(kRuns), c,
                                        [](const CaseRun& r, char32_t x) { return r.last < x; });
  if (run == std::end(kRuns) || c < run->first || (c - run->first) % run->stride != 0) return c;
  return char32_t(int32_t(c) + run->delta);
}

bool continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The code point of the well-formed UTF-8 sequence at s[i]; its length, or
// 0 when the bytes there do not form one.
size_t decode(std::string_view s, size_t i, char32_t* out) {
  const unsigned char b0 = static_cast<unsigned char>(s[i]);
  size_t len = 0;
  char32_t c = 0, min = 0;  // first bits; smallest code point of that length
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, c = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, c = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - i < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    const unsigned char b = static_cast<unsigned char>(s[i + k]);
    if (!continuation(b)) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *out = c;
  return len;
}

// Capitals of these blocks lie below U+10000.
void encode(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string upper_name(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  size_t i = 0;
  while (i < name.size()) {
    const char b = name[i];
    if (static_cast<unsigned char>(b) < 0x80) {
      out += (b >= 'a' && b <= 'z') ? char(b - 'a' + 'A') : b;
      ++i;
      continue;
    }
    char32_t c;
    const size_t len = decode(name, i, &c);
    if (len == 0) {
      out += b;  // not UTF-8: kept as it is
      ++i;
      continue;
    }
    const char32_t up = upper_letter(c);
    if (up == c) out.append(name.substr(i, len));
    else encode(up, out);
    i += len;
  }
  return out;
}

void to_upper_name(std::string& name) {
  bool ascii = true;
  for (char b : name) {
    if (static_cast<unsigned char>(b) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (!ascii) {
    name = upper_name(name);
    return;
  }
  for (char& b : name)
    if (b >= 'a' && b <= 'z') b = char(b - 'a' + 'A');
}

}  // namespace vop
