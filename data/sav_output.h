// Buffered binary output for the system-file writer: little-endian numbers
// and padded texts appended to a buffer that is written out in large pieces.
// A failed write is remembered, so the writer checks once at the end.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace vop::sav {

static_assert(std::endian::native == std::endian::little,
              "the writer stores numbers in the machine's order, which must be little-endian");

// Bytes gathered before they are handed to the stream.
inline constexpr size_t kWriteBuffer = size_t(1) << 20;

class SavOutput {
 public:
  explicit SavOutput(std::FILE* f) : f_(f) { buf.reserve(kWriteBuffer + 4096); }

  void i32(int32_t v) { raw(&v, 4); }
  void f64(double v) { raw(&v, 8); }
  void raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    buf.insert(buf.end(), b, b + n);
  }
  // s cut or padded with `pad` to exactly n bytes.
  void text(std::string_view s, size_t n, char pad = ' ') {
    const size_t k = s.size() < n ? s.size() : n;
    raw(s.data(), k);
    buf.insert(buf.end(), n - k, uint8_t(pad));
  }
  // Write out the buffer when it is large (or always, with force).
  void drain(bool force = false) {
    if (buf.empty() || (!force && buf.size() < kWriteBuffer)) return;
    if (std::fwrite(buf.data(), 1, buf.size(), f_) != buf.size()) failed_ = true;
    buf.clear();
  }
  // Write out the buffer, then n bytes of p straight from where they are.
  void write(const uint8_t* p, size_t n) {
    drain(true);
    if (n > 0 && std::fwrite(p, 1, n, f_) != n) failed_ = true;
  }
  bool failed() const { return failed_; }

  std::vector<uint8_t> buf;  // bytes not yet written; the encoder appends here too

 private:
  std::FILE* f_;          // destination; not owned
  bool failed_ = false;   // a write failed
};

}  // namespace vop::sav
