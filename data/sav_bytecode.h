// The bytecode compression of system-file case data, both directions.
//
// The stream is a sequence of 8-byte command blocks, each holding 8 one-byte
// codes; the raw 8-byte values that the block's 253 codes announce follow the
// block, in code order. The decoder works over a window of bytes that its
// owner refills (it never needs more than 16 bytes at a time); the encoder
// appends to a byte buffer that its owner drains between blocks.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "data/sav_format.h"

namespace vop::sav {

// Where the decoder takes its bytes from: a window [pos, end) that `refill`
// extends (keeping unread bytes) and that reports false at the end of input.
class ByteWindow {
 public:
  virtual ~ByteWindow() = default;
  // Make at least n bytes readable from pos (n <= 4096); false when the input
  // ends first (then fewer are readable).
  virtual bool ensure(size_t n) = 0;
  const uint8_t* pos = nullptr;  // next unread byte; owned by the implementation
  const uint8_t* end = nullptr;  // end of the readable bytes
};

class BytecodeDecoder {
 public:
  // What one slot decoded to.
  enum class Result : uint8_t {
    Number,   // a number (possibly NaN)
    Raw,      // 8 raw bytes, in out
    Spaces,   // 8 spaces
    End,      // end of data (code 252 or the input's end at a block boundary)
    Broken,   // the input ended inside a block or its raw data
  };

  // `swap` reverses the bytes of raw values (a file of the other byte order).
  BytecodeDecoder(ByteWindow& in, double bias, bool swap) : in_(in), bias_(bias), swap_(swap) {}

  // Decode the next slot: a number (out_num), or 8 raw bytes (out_raw).
  Result next(double& out_num, uint8_t out_raw[8]) {
    for (;;) {
      if (code_i_ == 8 && !load_block()) return eof_result_;
      const uint8_t code = codes_[code_i_++];
      switch (code) {
        case kCodeSkip:
          continue;
        case kCodeEnd:
          code_i_ = 8;
          eof_result_ = Result::End;
          ended_ = true;
          return Result::End;
        case kCodeRaw:
          if (!in_.ensure(8)) return Result::Broken;
          std::memcpy(out_raw, in_.pos, 8);
          in_.pos += 8;
          if (swap_) reverse8(out_raw);
          std::memcpy(&out_num, out_raw, 8);
          return Result::Raw;
        case kCodeSpaces:
          return Result::Spaces;
        case kCodeSysmis:
          out_num = __builtin_nan("");
          return Result::Number;
        default:
          out_num = double(code) - bias_;
          return Result::Number;
      }
    }
  }

  // True once code 252 was seen.
  bool ended() const { return ended_; }

 private:
  bool load_block() {
    if (ended_) return false;
    if (!in_.ensure(8)) {
      eof_result_ = in_.end == in_.pos ? Result::End : Result::Broken;
      return false;
    }
    std::memcpy(codes_, in_.pos, 8);
    in_.pos += 8;
    code_i_ = 0;
    return true;
  }
  static void reverse8(uint8_t* b) {
    for (int i = 0; i < 4; ++i) std::swap(b[i], b[7 - i]);
  }

  ByteWindow& in_;                   // input window; not owned
  double bias_;                      // compression bias (usually 100)
  bool swap_;                        // raw values need byte reversal
  bool ended_ = false;               // code 252 seen
  Result eof_result_ = Result::End;  // what to report once input is exhausted
  uint8_t codes_[8] = {};            // the current command block
  int code_i_ = 8;                   // next code to use; 8 = load a block
};

class BytecodeEncoder {
 public:
  // Appends to `out`; the owner may drain `out` whenever block_open() is false.
  explicit BytecodeEncoder(std::vector<uint8_t>& out, double bias = kDefaultBias)
      : out_(out), bias_(bias) {}

  void put_number(double x) {
    if (x != x) return put_code(kCodeSysmis);
    // Whole numbers within reach of one code byte go in the block itself.
    if (x >= 1 - bias_ && x <= 251 - bias_ && x == double(int64_t(x)))
      return put_code(uint8_t(x + bias_));
    uint8_t raw[8];
    std::memcpy(raw, &x, 8);
    put_raw(raw);
  }

  // One 8-byte chunk of a string value.
  void put_chunk(const uint8_t chunk[8]) {
    static constexpr uint8_t kSpaces[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    if (std::memcmp(chunk, kSpaces, 8) == 0) return put_code(kCodeSpaces);
    put_raw(chunk);
  }

  // Pad the open block with zero codes and close it.
  void finish() {
    while (block_open()) put_code(kCodeSkip);
  }

  // True while a command block has codes still to fill; its raw values are
  // not complete, so the buffer must not be drained.
  bool block_open() const { return code_i_ != 0; }

 private:
  void put_code(uint8_t code) {
    if (code_i_ == 0) {
      // Start a new block: its code bytes go in place, raw values after them.
      block_at_ = out_.size();
      out_.resize(out_.size() + 8, 0);
    }
    out_[block_at_ + size_t(code_i_)] = code;
    code_i_ = (code_i_ + 1) & 7;
  }
  void put_raw(const uint8_t raw[8]) {
    put_code(kCodeRaw);
    out_.insert(out_.end(), raw, raw + 8);
  }

  std::vector<uint8_t>& out_;  // output bytes; owned by the caller
  double bias_;                // compression bias
  size_t block_at_ = 0;        // offset of the open block's codes in out_
  int code_i_ = 0;             // codes already in the open block (0 = none open)
};

}  // namespace vop::sav
