// Buffered, bounds-checked reading of a system file.
//
// SavFile reads the file through a fixed buffer (it never holds the whole
// file) and knows how many bytes remain, so that every count read from the
// file can be checked before it is used. ZlibWindow inflates the data of a
// .zsav file block by block for the case decoder.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "data/sav_format.h"

namespace vop::sav {

// Where the case decoder takes its bytes from: a window [pos, end) that
// `ensure` extends (keeping unread bytes) and that reports false at the end
// of input.
class ByteWindow {
 public:
  virtual ~ByteWindow() = default;
  // Make at least n bytes readable from pos (n <= 4096); false when the input
  // ends first (then fewer are readable).
  virtual bool ensure(size_t n) = 0;
  const uint8_t* pos = nullptr;  // next unread byte; owned by the implementation
  const uint8_t* end = nullptr;  // end of the readable bytes
};

// Size of the read buffer; large reads amortise the system call.
inline constexpr size_t kReadBuffer = size_t(1) << 20;

class SavFile final : public ByteWindow {
 public:
  SavFile() = default;
  ~SavFile() override;
  SavFile(const SavFile&) = delete;
  SavFile& operator=(const SavFile&) = delete;

  bool open(const std::string& path);
  // Use an in-memory image instead of a file (the fuzzer and tests).
  void open_memory(const uint8_t* data, size_t size);

  bool ensure(size_t n) override;

  // Bytes not yet consumed, to the end of the file.
  uint64_t remaining() const { return size_ - offset(); }
  // Offset of the next unread byte from the start of the file.
  uint64_t offset() const { return consumed_ + uint64_t(pos - base_); }

  // Copy n bytes out; false (nothing consumed) when fewer remain.
  bool read(void* dst, size_t n);
  // Skip n bytes; false when fewer remain.
  bool skip(uint64_t n);
  // Go to an absolute offset (used for the .zsav trailer).
  bool seek(uint64_t at);

  // Byte order: integers and doubles of the file are swapped when set.
  bool swap = false;

  bool read_i32(int32_t& v);
  bool read_i64(int64_t& v);
  bool read_f64(double& v);

 private:
  std::FILE* f_ = nullptr;        // open file; owned; null for memory input
  const uint8_t* mem_ = nullptr;  // memory image; not owned
  const uint8_t* base_ = nullptr; // input byte at offset consumed_: buf_ or mem_
  uint64_t size_ = 0;             // total bytes of the input
  uint64_t consumed_ = 0;         // input offset of buf_[0]
  uint64_t fill_at_ = 0;          // input offset just after the buffered bytes
  std::vector<uint8_t> buf_;      // read buffer (file input only)
};

// Inflates the concatenated zlib streams of a .zsav data area into a window.
class ZlibWindow final : public ByteWindow {
 public:
  // Reads compressed bytes from `file` up to the absolute offset `limit`.
  // `max_output` caps what is inflated (a guard against decompression bombs).
  ZlibWindow(SavFile& file, uint64_t limit, uint64_t max_output);
  ~ZlibWindow() override;
  ZlibWindow(const ZlibWindow&) = delete;
  ZlibWindow& operator=(const ZlibWindow&) = delete;

  bool ensure(size_t n) override;
  bool broken() const { return broken_; }  // the zlib data was corrupt

 private:
  SavFile& file_;               // the compressed input; not owned
  uint64_t limit_;              // offset where the compressed data ends
  uint64_t budget_;             // bytes that may still be inflated
  z_stream zs_{};               // inflate state; owned
  bool zs_ready_ = false;       // zs_ was initialised
  bool broken_ = false;         // corrupt zlib data seen
  std::vector<uint8_t> out_;    // inflated bytes
};

}  // namespace vop::sav
