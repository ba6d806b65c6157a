// Where the lexer takes its bytes from: the text of a run, a text pushed by
// a built-in that compiles text of its own (`eval`, the GUI built-ins; a NUL
// ends it), or a function file (".s" plain, ".sc" with the two 4-bit halves
// of every byte exchanged).
//
// Every source ends with the byte 255. A source holds its whole text, so
// pushing a byte back is only a step back; a ".sc" file is unscrambled once
// when it is loaded, which gives the same bytes as exchanging the halves on
// every read and exchanging them again on every push-back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/char_classes.h"

namespace vop {

class CharSource {
 public:
  // The text of a run, read up to its length.
  static CharSource from_text(std::string_view text) { return CharSource(text); }
  // A text pushed by a built-in: it ends at its first NUL byte.
  static CharSource from_pushed_text(std::string_view text) {
    return CharSource(text.substr(0, text.find('\0')));
  }
  // A function file read whole; a name ending in ".sc" is unscrambled.
  // None when the file cannot be read.
  static std::optional<CharSource> from_file(const std::string& path);

  CharSource(CharSource&& other) noexcept { *this = std::move(other); }
  CharSource& operator=(CharSource&& other) noexcept;
  CharSource(const CharSource&) = delete;
  CharSource& operator=(const CharSource&) = delete;

  // The next byte, or kEndMark at the end (a 255 byte in the text ends it
  // too: that byte is the end mark of every source).
  int get() { return pos_ < text_.size() ? (unsigned char)text_[pos_++] : (++over_, kEndMark); }
  // The byte get() would return, without taking it.
  int peek() const { return pos_ < text_.size() ? (unsigned char)text_[pos_] : kEndMark; }
  // Give back the byte the last get() returned.
  void unget() {
    if (over_ > 0) --over_;
    else if (pos_ > 0) --pos_;
  }

  std::string_view text() const { return text_; }

 private:
  explicit CharSource(std::string_view text) : text_(text) {}

  std::string owned_;      // a file's text; text_ points into it
  std::string_view text_;  // the bytes to read; not owned unless owned_
  size_t pos_ = 0;         // next byte to read
  size_t over_ = 0;        // end marks handed out past the end (so unget balances)
};

// Exchange the two 4-bit halves of a byte (the ".sc" file coding; its own
// inverse).
inline unsigned char swap_nibbles(unsigned char c) { return (unsigned char)((c << 4) | (c >> 4)); }

}  // namespace vop
