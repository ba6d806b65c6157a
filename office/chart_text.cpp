#include "office/chart_text.h"

#include <cstring>

namespace vop {

namespace {

void append_utf8(std::string& out, char32_t c) {
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

struct Form {
  const char* latin;  // matched case-sensitively
  char32_t letter;
};

// Serbian Latin: an upper-case and a lower-case spelling of each letter
// with a diacritic.
constexpr Form kSerbian[] = {
    {"Ch", U'\u010C'}, {"Cc", U'\u0106'}, {"Dj", U'\u0110'}, {"Ss", U'\u0160'}, {"Zz", U'\u017D'},
    {"cH", U'\u010D'}, {"cC", U'\u0107'}, {"dJ", U'\u0111'}, {"sS", U'\u0161'}, {"zZ", U'\u017E'},
};

// Macedonian: the spellings of more than one letter, longest first so that
// "DZz" wins over "Dz".
constexpr Form kMacedonianDigraphs[] = {
    {"DZz", U'\u040F'}, {"DzZ", U'\u040F'}, {"dzZ", U'\u045F'},
    {"Ch", U'\u0427'},  {"Dz", U'\u0405'},  {"Gj", U'\u0403'},  {"GJ", U'\u0403'},
    {"Kj", U'\u040C'},  {"KJ", U'\u040C'},  {"Lj", U'\u0409'},  {"LJ", U'\u0409'},
    {"Nj", U'\u040A'},  {"NJ", U'\u040A'},  {"Sz", U'\u0428'},  {"Zz", U'\u0416'},
    {"cH", U'\u0447'},  {"dz", U'\u0455'},  {"gj", U'\u0453'},  {"kj", U'\u045C'},
    {"lj", U'\u0459'},  {"nj", U'\u045A'},  {"sS", U'\u0448'},  {"zZ", U'\u0436'},
};

// Upper-case Cyrillic of each Latin capital A..Z; 0 where none (Q, W, X, Y).
constexpr char32_t kMacedonianLetters[26] = {
    U'\u0410', U'\u0411', U'\u0426', U'\u0414', U'\u0415', U'\u0424', U'\u0413',  // A..G
    U'\u0425', U'\u0418', U'\u0408', U'\u041A', U'\u041B', U'\u041C', U'\u041D',  // H..N
    U'\u041E', U'\u041F', 0,         U'\u0420', U'\u0421', U'\u0422', U'\u0423',  // O..U
    U'\u0412', 0,         0,         0,         U'\u0417',                        // V..Z
};

// Windows-1252 characters of the bytes 0x80..0x9F (0xFFFD where the code
// page has none); the bytes from 0xA0 are Latin-1.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

// The length of the well-formed UTF-8 character at the start of `t` (which
// begins with a byte from 0x80), or 0 when it is none.
size_t utf8_length(std::string_view t) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(t[i]); };
  const auto cont = [&](size_t i) { return i < t.size() && (b(i) & 0xC0) == 0x80; };
  const unsigned char lead = b(0);
  if (lead >= 0xC2 && lead <= 0xDF) return cont(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if (lead == 0xE0 && b(1) < 0xA0) return 0;  // overlong
    if (lead == 0xED && b(1) >= 0xA0) return 0;  // surrogate
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (lead == 0xF0 && b(1) < 0x90) return 0;  // overlong
    if (lead == 0xF4 && b(1) >= 0x90) return 0;  // beyond U+10FFFF
    return 4;
  }
  return 0;
}

// The lower-case letter of an upper-case Cyrillic one.
constexpr char32_t lower_cyrillic(char32_t c) { return c >= 0x410 ? c + 0x20 : c + 0x50; }

// The form of `forms` that `text` begins with, or null.
template <size_t N>
const Form* match(std::string_view text, const Form (&forms)[N]) {
  for (const Form& f : forms) {
    if (text.starts_with(f.latin)) return &f;
  }
  return nullptr;
}

}  // namespace

std::string chart_text(std::string_view text, int language) {
  const bool serbian = language == kChartSerbian, macedonian = language == kChartMacedonian;
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size();) {
    const std::string_view rest = text.substr(i);
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      if (const size_t n = utf8_length(rest)) {
        out += rest.substr(0, n);
        i += n;
      } else {
        append_utf8(out, byte >= 0xA0 ? char32_t(byte) : char32_t(kWindows1252[byte - 0x80]));
        ++i;
      }
      continue;
    }
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
      ++i;  // no XML text can hold it
      continue;
    }
    const Form* f = serbian ? match(rest, kSerbian) : macedonian ? match(rest, kMacedonianDigraphs) : nullptr;
    if (f) {
      append_utf8(out, f->letter);
      i += std::strlen(f->latin);
      continue;
    }
    const char ch = text[i++];
    if (macedonian && ch >= 'A' && ch <= 'Z' && kMacedonianLetters[ch - 'A']) {
      append_utf8(out, kMacedonianLetters[ch - 'A']);
    } else if (macedonian && ch >= 'a' && ch <= 'z' &&
               kMacedonianLetters[ch - 'a']) {
      append_utf8(out, lower_cyrillic(kMacedonianLetters[ch - 'a']));
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace vop
