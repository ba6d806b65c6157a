#include "office/chart_text.h"

#include <cstring>

#include "document/text_encoding.h"

namespace vop {

namespace {

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
      // Bytes that are no UTF-8 read as windows-1252, as in every document.
      const DecodedCharacter d = decode_utf8(rest, true);
      append_utf8(out, d.c);
      i += d.length;
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
