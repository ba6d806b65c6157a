#include "data/text_encoding.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace vop {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Length of the valid UTF-8 sequence starting at s[i], or 0 when invalid.
size_t utf8_sequence(std::string_view s, size_t i) {
  const uint8_t c = uint8_t(s[i]);
  if (c < 0x80) return 1;
  size_t n;
  uint32_t cp;
  if ((c & 0xE0) == 0xC0) n = 2, cp = c & 0x1F;
  else if ((c & 0xF0) == 0xE0) n = 3, cp = c & 0x0F;
  else if ((c & 0xF8) == 0xF0) n = 4, cp = c & 0x07;
  else return 0;
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    const uint8_t d = uint8_t(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  // Overlong forms, surrogates and values beyond U+10FFFF are invalid.
  static constexpr uint32_t kMinForLength[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMinForLength[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// Character codes of subtype 3 that name an encoding directly.
struct CodePageName {
  int code;
  const char* name;
};
constexpr CodePageName kCodePages[] = {
    {20127, "ASCII"},   {65001, "UTF-8"},  {932, "CP932"},
    {936, "CP936"},      {949, "CP949"},     {950, "CP950"},    {20932, "EUC-JP"},
};
constexpr int kIso8859First = 28591;  // 28591..28606 are ISO-8859-1..16
constexpr int kIso8859Last = 28606;

}  // namespace

bool is_ascii(std::string_view s) {
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    if (w & 0x8080808080808080ull) return false;
  }
  for (; i < s.size(); ++i)
    if (uint8_t(s[i]) & 0x80) return false;
  return true;
}

bool is_valid_utf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const size_t n = utf8_sequence(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string encoding_for_character_code(int code) {
  for (const CodePageName& c : kCodePages)
    if (c.code == code) return c.name;
  if (code >= kIso8859First && code <= kIso8859Last)
    return "ISO-8859-" + std::to_string(code - kIso8859First + 1);
  // Windows and DOS code pages are known to iconv as CPnnn.
  if ((code >= 1250 && code <= 1258) || (code >= 437 && code <= 874))
    return "CP" + std::to_string(code);
  return "";
}

TextDecoder::~TextDecoder() {
  if (cd_ != iconv_t(-1)) iconv_close(cd_);
  if (legacy_ != iconv_t(-1)) iconv_close(legacy_);
}

bool TextDecoder::set_source(const std::string& name) {
  source_ = name;
  if (cd_ != iconv_t(-1)) iconv_close(cd_);
  cd_ = iconv_t(-1);
  utf8_ = true;
  undeclared_ = false;
  bool known = true;
  if (!name.empty() && strcasecmp(name.c_str(), "UTF-8") != 0 &&
      strcasecmp(name.c_str(), "UTF8") != 0) {
    cd_ = iconv_open("UTF-8", name.c_str());
    if (cd_ != iconv_t(-1)) {
      utf8_ = false;
      return true;
    }
    known = false;
  }
  if (name.empty() || !known) {
    undeclared_ = true;
    if (legacy_ == iconv_t(-1)) {
      const char* env = std::getenv(kLegacyEncodingEnv);
      if (env && *env) legacy_ = iconv_open("UTF-8", env);
      if (legacy_ == iconv_t(-1)) legacy_ = iconv_open("UTF-8", kDefaultLegacyEncoding);
    }
  }
  return known;
}

void TextDecoder::convert(std::string& s) {
  if (is_ascii(s)) return;
  if (!utf8_) return convert_with(cd_, s);
  if (is_valid_utf8(s)) return;
  if (undeclared_ && legacy_ != iconv_t(-1)) return convert_with(legacy_, s);
  // Declared UTF-8 with invalid bytes: replace each bad byte.
  scratch_.clear();
  for (size_t i = 0; i < s.size();) {
    const size_t n = utf8_sequence(s, i);
    if (n == 0) {
      scratch_ += kReplacement;
      ++i;
    } else {
      scratch_.append(s, i, n);
      i += n;
    }
  }
  s.swap(scratch_);
}

void TextDecoder::convert_with(iconv_t cd, std::string& s) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset shift state
  // Four output bytes per input byte hold any single-byte code page.
  scratch_.resize(s.size() * 4 + 8);
  char* in = s.data();
  size_t in_left = s.size();
  char* out = scratch_.data();
  size_t out_left = scratch_.size();
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &out, &out_left) != size_t(-1)) break;
    if (errno == E2BIG) {
      const size_t used = size_t(out - scratch_.data());
      scratch_.resize(scratch_.size() * 2);
      out = scratch_.data() + used;
      out_left = scratch_.size() - used;
      continue;
    }
    // An invalid or incomplete sequence: replace one byte and go on.
    if (out_left < 3) {
      const size_t used = size_t(out - scratch_.data());
      scratch_.resize(scratch_.size() + 16);
      out = scratch_.data() + used;
      out_left = scratch_.size() - used;
    }
    std::memcpy(out, kReplacement, 3);
    out += 3;
    out_left -= 3;
    ++in;
    --in_left;
  }
  scratch_.resize(size_t(out - scratch_.data()));
  s.swap(scratch_);
}

}  // namespace vop
