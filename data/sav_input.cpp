#include "data/sav_input.h"

#include <algorithm>
#include <cstring>

namespace vop::sav {

SavFile::~SavFile() {
  if (f_) std::fclose(f_);
}

bool SavFile::open(const std::string& path) {
  f_ = std::fopen(path.c_str(), "rb");
  if (!f_) return false;
  if (fseeko(f_, 0, SEEK_END) != 0) return false;
  const off_t size = ftello(f_);
  if (size < 0 || fseeko(f_, 0, SEEK_SET) != 0) return false;
  size_ = uint64_t(size);
  buf_.resize(kReadBuffer);
  base_ = pos = end = buf_.data();
  return true;
}

void SavFile::open_memory(const uint8_t* data, size_t size) {
  mem_ = base_ = data;
  size_ = size;
  pos = data;
  end = data + size;
}

bool SavFile::ensure(size_t n) {
  if (size_t(end - pos) >= n) return true;
  if (!f_) return false;
  // Keep the unread tail, then fill the rest of the buffer.
  const size_t keep = size_t(end - pos);
  consumed_ += uint64_t(pos - buf_.data());
  std::memmove(buf_.data(), pos, keep);
  const size_t got = std::fread(buf_.data() + keep, 1, buf_.size() - keep, f_);
  fill_at_ = consumed_ + keep + got;
  pos = buf_.data();
  end = buf_.data() + keep + got;
  return size_t(end - pos) >= n;
}

bool SavFile::read(void* dst, size_t n) {
  if (remaining() < n) return false;
  auto* out = static_cast<uint8_t*>(dst);
  while (n > 0) {
    if (pos == end && !ensure(1)) return false;
    const size_t take = std::min(n, size_t(end - pos));
    std::memcpy(out, pos, take);
    pos += take;
    out += take;
    n -= take;
  }
  return true;
}

bool SavFile::skip(uint64_t n) {
  if (remaining() < n) return false;
  if (uint64_t(end - pos) >= n) {
    pos += n;
    return true;
  }
  return seek(offset() + n);
}

bool SavFile::seek(uint64_t at) {
  if (at > size_) return false;
  if (!f_) {
    pos = mem_ + at;
    return true;
  }
  // Inside the buffered bytes: just move.
  if (at >= consumed_ && at <= fill_at_) {
    pos = buf_.data() + (at - consumed_);
    return true;
  }
  if (fseeko(f_, off_t(at), SEEK_SET) != 0) return false;
  consumed_ = fill_at_ = at;
  pos = end = buf_.data();
  return true;
}

namespace {
void swap_bytes(uint8_t* b, int n) {
  for (int i = 0; i < n / 2; ++i) std::swap(b[i], b[n - 1 - i]);
}
}  // namespace

bool SavFile::read_i32(int32_t& v) {
  uint8_t b[4];
  if (!read(b, 4)) return false;
  if (swap) swap_bytes(b, 4);
  std::memcpy(&v, b, 4);
  return true;
}

bool SavFile::read_i64(int64_t& v) {
  uint8_t b[8];
  if (!read(b, 8)) return false;
  if (swap) swap_bytes(b, 8);
  std::memcpy(&v, b, 8);
  return true;
}

bool SavFile::read_f64(double& v) {
  uint8_t b[8];
  if (!read(b, 8)) return false;
  if (swap) swap_bytes(b, 8);
  std::memcpy(&v, b, 8);
  return true;
}

// Inflated bytes are produced in pieces of this size.
static constexpr size_t kInflateChunk = size_t(1) << 20;

ZlibWindow::ZlibWindow(SavFile& file, uint64_t limit, uint64_t max_output)
    : file_(file), limit_(limit), budget_(max_output) {
  zs_ready_ = inflateInit(&zs_) == Z_OK;
  broken_ = !zs_ready_;
  out_.reserve(kInflateChunk + 4096);
  pos = end = out_.data();
}

ZlibWindow::~ZlibWindow() {
  if (zs_ready_) inflateEnd(&zs_);
}

bool ZlibWindow::ensure(size_t n) {
  if (size_t(end - pos) >= n) return true;
  if (broken_) return false;
  // Move the unread tail to the front, then inflate behind it.
  const size_t keep = size_t(end - pos);
  std::memmove(out_.data(), pos, keep);
  out_.resize(keep);
  while (out_.size() < n && budget_ > 0) {
    if (file_.offset() >= limit_) break;  // no compressed data left
    if (!file_.ensure(1)) break;
    const uint64_t in_left = std::min<uint64_t>(uint64_t(file_.end - file_.pos),
                                                limit_ - file_.offset());
    const size_t room = size_t(std::min<uint64_t>(kInflateChunk, budget_));
    const size_t before = out_.size();
    out_.resize(before + room);
    zs_.next_in = const_cast<Bytef*>(file_.pos);
    zs_.avail_in = uInt(std::min<uint64_t>(in_left, 1u << 30));
    zs_.next_out = out_.data() + before;
    zs_.avail_out = uInt(room);
    const int rc = inflate(&zs_, Z_NO_FLUSH);
    const size_t produced = room - zs_.avail_out;
    const bool consumed = zs_.next_in != file_.pos;
    file_.pos = zs_.next_in;
    out_.resize(before + produced);
    budget_ -= produced;
    if (rc == Z_STREAM_END) {
      // Each block of a .zsav file is a zlib stream of its own.
      inflateReset(&zs_);
    } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
      broken_ = true;
      break;
    } else if (produced == 0 && !consumed) {
      break;  // no progress possible: the data ends inside a stream
    }
  }
  pos = out_.data();
  end = out_.data() + out_.size();
  return size_t(end - pos) >= n;
}

}  // namespace vop::sav
