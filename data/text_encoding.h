// Conversion of a file's texts to UTF-8, the program's own encoding.
//
// A converter is set up once per file from what the file says about its
// encoding; converting an ASCII or already-UTF-8 text costs one scan and no
// iconv call, so string data of UTF-8 files is not slowed down.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace vop {

// The code page assumed for files that declare no usable encoding and whose
// texts are not UTF-8, unless the environment names another.
inline constexpr const char* kDefaultLegacyEncoding = "WINDOWS-1252";
inline constexpr const char* kLegacyEncodingEnv = "VOP_LEGACY_ENCODING";

bool is_valid_utf8(std::string_view s);
// True when every byte is below 0x80 (the text is the same in any encoding
// the program reads).
bool is_ascii(std::string_view s);

// The iconv name of an SPSS character code (subtype 3), or "" when the code
// names no usable encoding (2 and 3 mean "the writing machine's code page").
std::string encoding_for_character_code(int code);

class TextDecoder {
 public:
  TextDecoder() = default;
  ~TextDecoder();
  TextDecoder(const TextDecoder&) = delete;
  TextDecoder& operator=(const TextDecoder&) = delete;

  // Choose the source encoding: `name` as iconv knows it, or "" for a file
  // that declares none (valid UTF-8 stays, anything else is read in the
  // legacy code page). An unknown name falls back to the same rule and
  // returns false.
  bool set_source(const std::string& name);

  // The name given to set_source, for setting up another decoder alike.
  const std::string& source() const { return source_; }

  // True when texts pass through unchanged unless they are invalid UTF-8.
  bool utf8_source() const { return utf8_; }

  // Convert s in place. Bytes that do not convert become U+FFFD.
  void convert(std::string& s);

 private:
  void convert_with(iconv_t cd, std::string& s);

  std::string source_;           // name given to set_source
  bool utf8_ = true;             // source is UTF-8 (or undeclared)
  bool undeclared_ = false;      // no declared encoding: keep valid UTF-8
  iconv_t cd_ = iconv_t(-1);     // source -> UTF-8; owned
  iconv_t legacy_ = iconv_t(-1); // legacy code page -> UTF-8; owned
  std::string scratch_;          // conversion buffer, reused
};

}  // namespace vop
