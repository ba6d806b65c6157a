// The case codec on its own: bytecode to cells and back, the cell each code
// gives in a number's slot and in a string's, and where broken data stop.
#include "data/sav_cells.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace vop::sav {
namespace {

// A window over a fixed byte vector, handed out a few bytes at a time so
// that blocks and raw values straddle refills.
class TrickleWindow : public ByteWindow {
 public:
  explicit TrickleWindow(std::vector<uint8_t> b, size_t step = 3) : bytes_(std::move(b)), step_(step) {
    pos = end = bytes_.data();
  }
  bool ensure(size_t n) override {
    while (size_t(end - pos) < n && end < bytes_.data() + bytes_.size())
      end = std::min<const uint8_t*>(end + step_, bytes_.data() + bytes_.size());
    return size_t(end - pos) >= n;
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t step_;
};

// A window that moves its unread bytes to a new buffer at every refill, and
// frees the old one, as a file's buffer or an inflated .zsav block does: a
// decoder that kept a pointer across a refill reads freed memory.
class MovingWindow : public ByteWindow {
 public:
  MovingWindow(std::vector<uint8_t> b, size_t step) : source_(std::move(b)), step_(step) {}
  bool ensure(size_t n) override {
    if (size_t(end - pos) >= n) return true;
    std::vector<uint8_t> next(pos, end);
    while (next.size() < n && taken_ < source_.size()) {
      const size_t take = std::min(step_, source_.size() - taken_);
      next.insert(next.end(), source_.begin() + long(taken_), source_.begin() + long(taken_ + take));
      taken_ += take;
    }
    buffer_ = std::make_unique<std::vector<uint8_t>>(std::move(next));
    pos = buffer_->data();
    end = pos + buffer_->size();
    return buffer_->size() >= n;
  }

 private:
  std::vector<uint8_t> source_;
  size_t step_;
  size_t taken_ = 0;
  std::unique_ptr<std::vector<uint8_t>> buffer_;
};

uint64_t cell_of(double x) { return std::bit_cast<uint64_t>(x); }
uint64_t cell_of(const char (&text)[9]) {
  uint64_t c;
  std::memcpy(&c, text, 8);
  return c;
}
std::vector<uint8_t> bytes_of(uint64_t cell) {
  std::vector<uint8_t> b(8);
  std::memcpy(b.data(), &cell, 8);
  return b;
}
void append(std::vector<uint8_t>& to, const std::vector<uint8_t>& b) { to.insert(to.end(), b.begin(), b.end()); }

bool is_nan_cell(uint64_t c) { return std::isnan(std::bit_cast<double>(c)); }

TEST(CellDecoder, CodesGiveNumbersRawValuesAndSpaces) {
  // Case: number, number, number, 8-byte string, number. Codes 0 are skipped.
  std::vector<uint8_t> in = {0, 101, 255, 253, 253, 0, 1, 252};
  append(in, bytes_of(cell_of(0.5)));
  append(in, bytes_of(cell_of("ab      ")));
  TrickleWindow w(in);
  CellDecoder d(w, true, 100, false, kSysmis, {false, false, false, true, false});
  uint64_t out[10];
  EXPECT_EQ(d.decode(out, 2), 1);  // the end code follows the first case
  EXPECT_EQ(d.status(), CellDecoder::Status::End);
  EXPECT_EQ(out[0], cell_of(1.0));
  EXPECT_TRUE(is_nan_cell(out[1]));
  EXPECT_EQ(out[2], cell_of(0.5));
  EXPECT_EQ(out[3], cell_of("ab      "));
  EXPECT_EQ(out[4], cell_of(-99.0));
}

TEST(CellDecoder, CodesOfTheWrongKindStaySound) {
  // Number codes in a string become spaces; spaces in a number become NaN;
  // a raw number equal to the file's system-missing value becomes NaN.
  std::vector<uint8_t> in = {101, 255, 254, 253, 0, 0, 0, 0};
  append(in, bytes_of(cell_of(kSysmis)));
  TrickleWindow w(in);
  CellDecoder d(w, true, 100, false, kSysmis, {true, true, false, false});
  uint64_t out[4];
  ASSERT_EQ(d.decode(out, 1), 1);
  EXPECT_EQ(out[0], cell_of("        "));
  EXPECT_EQ(out[1], cell_of("        "));
  EXPECT_TRUE(is_nan_cell(out[2]));
  EXPECT_TRUE(is_nan_cell(out[3]));
}

TEST(CellDecoder, WhereBrokenDataStop) {
  uint64_t out[4];
  {  // a block announces a raw value that is not there
    TrickleWindow w({253, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3});
    CellDecoder d(w, true, 100, false, kSysmis, {false});
    EXPECT_EQ(d.decode(out, 4), 0);
    EXPECT_EQ(d.status(), CellDecoder::Status::Broken);
  }
  {  // the input ends inside a command block
    TrickleWindow w({101, 101, 101});
    CellDecoder d(w, true, 100, false, kSysmis, {false});
    EXPECT_EQ(d.decode(out, 4), 0);
    EXPECT_EQ(d.status(), CellDecoder::Status::Broken);
  }
  {  // the end code inside a case
    TrickleWindow w({101, 252, 0, 0, 0, 0, 0, 0});
    CellDecoder d(w, true, 100, false, kSysmis, {false, false});
    EXPECT_EQ(d.decode(out, 2), 0);
    EXPECT_EQ(d.status(), CellDecoder::Status::Broken);
  }
  {  // uncompressed data ending inside a case
    std::vector<uint8_t> in = bytes_of(cell_of(1.0));
    append(in, bytes_of(cell_of(2.0)));
    append(in, bytes_of(cell_of(3.0)));
    TrickleWindow w(in);
    CellDecoder d(w, false, 100, false, kSysmis, {false, false});
    EXPECT_EQ(d.decode(out, 2), 1);
    EXPECT_EQ(d.status(), CellDecoder::Status::Broken);
    EXPECT_EQ(out[1], cell_of(2.0));
  }
  {  // no data at all: a clean end
    TrickleWindow w({});
    CellDecoder d(w, true, 100, false, kSysmis, {false});
    EXPECT_EQ(d.decode(out, 1), 0);
    EXPECT_EQ(d.status(), CellDecoder::Status::End);
  }
}

TEST(CellDecoder, OtherByteOrderSwapsNumbersOnly) {
  std::vector<uint8_t> in = {253, 253, 0, 0, 0, 0, 0, 0};
  append(in, bytes_of(__builtin_bswap64(cell_of(2.5))));
  append(in, bytes_of(cell_of("text    ")));
  TrickleWindow w(in);
  CellDecoder d(w, true, 100, true, kSysmis, {false, true});
  uint64_t out[2];
  ASSERT_EQ(d.decode(out, 1), 1);
  EXPECT_EQ(out[0], cell_of(2.5));
  EXPECT_EQ(out[1], cell_of("text    "));
}

TEST(CellEncoder, ChoosesCodesAsTheFormatSays) {
  const std::vector<bool> kinds = {false, false, false, false, false, true, true, false};
  const uint64_t cells[] = {cell_of(152.0), cell_of(-99.0),       cell_of(0.5),
                            cell_of(151.0), cell_of(-100.0),      cell_of("        "),
                            cell_of("ab      "), cell_of(std::numeric_limits<double>::infinity())};
  std::vector<uint8_t> out;
  CellEncoder e(100, kinds);
  e.encode(cells, 1, out);
  ASSERT_EQ(out.size(), 8u + 5 * 8);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 8),
            (std::vector<uint8_t>{253, 1, 253, 251, 253, 254, 253, 253}));
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 8, out.begin() + 16), bytes_of(cells[0]));
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 32, out.begin() + 40), bytes_of(cells[6]));
  e.finish(out);
  EXPECT_EQ(out.size(), 8u + 5 * 8);  // nothing was left open

  // An unfinished block is held back until finish pads it.
  std::vector<uint8_t> tail;
  CellEncoder f(100, {false, false});
  const uint64_t two[] = {cell_of(1.0), cell_of(std::nan(""))};
  f.encode(two, 1, tail);
  EXPECT_TRUE(tail.empty());
  f.finish(tail);
  EXPECT_EQ(tail, (std::vector<uint8_t>{101, 255, 0, 0, 0, 0, 0, 0}));
}

TEST(CellCodec, WhatIsEncodedDecodesTheSame) {
  // Three variables: a number, a 16-byte string, a number; 50 cases in
  // pieces of 7 so that blocks span cases and calls.
  const double values[] = {0, 1, -1, 151, 152, -99, -100, 0.25, 1e300, -1e-300, std::nan("")};
  const std::vector<bool> kinds = {false, true, true, false};
  std::vector<uint64_t> cells;
  for (int r = 0; r < 50; ++r) {
    cells.push_back(cell_of(values[r % 11]));
    cells.push_back(r % 3 ? cell_of("text....") : cell_of("        "));
    cells.push_back(cell_of("        "));
    cells.push_back(cell_of(values[(r * 7) % 11]));
  }
  std::vector<uint8_t> bytes;
  CellEncoder e(100, kinds);
  for (int r = 0; r < 50; r += 7) e.encode(cells.data() + r * 4, std::min(7, 50 - r), bytes);
  e.finish(bytes);
  // Bytes a few at a time, all at once (whole blocks decoded in one go),
  // and through windows that move at every refill.
  for (int moving = 0; moving < 2; ++moving)
  for (size_t step : {size_t(5), size_t(100), bytes.size()}) {
    SCOPED_TRACE(step);
    TrickleWindow trickle(bytes, step);
    MovingWindow mover(bytes, step);
    ByteWindow& w = moving ? static_cast<ByteWindow&>(mover) : trickle;
    CellDecoder d(w, true, 100, false, kSysmis, kinds);
    std::vector<uint64_t> back(cells.size() + 4);
    ASSERT_EQ(d.decode(back.data(), 51), 50);
    EXPECT_EQ(d.status(), CellDecoder::Status::End);  // only padding remains
    for (size_t i = 0; i < cells.size(); ++i) {
      if (is_nan_cell(cells[i])) EXPECT_TRUE(is_nan_cell(back[i])) << i;
      else EXPECT_EQ(back[i], cells[i]) << i;
    }
  }
}

}  // namespace
}  // namespace vop::sav
