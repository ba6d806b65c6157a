#include "data/sav_bytecode.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vop::sav {
namespace {

// A window over a fixed byte vector.
class VectorWindow : public ByteWindow {
 public:
  explicit VectorWindow(std::vector<uint8_t> b) : bytes_(std::move(b)) {
    pos = bytes_.data();
    end = bytes_.data() + bytes_.size();
  }
  bool ensure(size_t n) override { return size_t(end - pos) >= n; }

 private:
  std::vector<uint8_t> bytes_;
};

std::vector<uint8_t> raw_of(double x) {
  std::vector<uint8_t> b(8);
  std::memcpy(b.data(), &x, 8);
  return b;
}

TEST(Bytecode, DecodesCodesBiasAndRawValues) {
  std::vector<uint8_t> in = {0, 0, 101, 255, 253, 1, 254, 252};
  const std::vector<uint8_t> raw = raw_of(0.5);
  in.insert(in.end(), raw.begin(), raw.end());
  VectorWindow w(in);
  BytecodeDecoder d(w, 100, false);
  double x;
  uint8_t r[8];
  ASSERT_EQ(d.next(x, r), BytecodeDecoder::Result::Number);
  EXPECT_EQ(x, 1);  // 0, 0 are skipped
  ASSERT_EQ(d.next(x, r), BytecodeDecoder::Result::Number);
  EXPECT_TRUE(std::isnan(x));
  ASSERT_EQ(d.next(x, r), BytecodeDecoder::Result::Raw);
  EXPECT_EQ(x, 0.5);
  ASSERT_EQ(d.next(x, r), BytecodeDecoder::Result::Number);
  EXPECT_EQ(x, -99);
  EXPECT_EQ(d.next(x, r), BytecodeDecoder::Result::Spaces);
  EXPECT_EQ(d.next(x, r), BytecodeDecoder::Result::End);
  EXPECT_TRUE(d.ended());
  EXPECT_EQ(d.next(x, r), BytecodeDecoder::Result::End);
}

TEST(Bytecode, TruncatedInputIsBroken) {
  // A block announces raw data that is not there.
  VectorWindow w({253, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3});
  BytecodeDecoder d(w, 100, false);
  double x;
  uint8_t r[8];
  EXPECT_EQ(d.next(x, r), BytecodeDecoder::Result::Broken);
  // The input ends inside a command block.
  VectorWindow w2({101, 101, 101});
  BytecodeDecoder d2(w2, 100, false);
  EXPECT_EQ(d2.next(x, r), BytecodeDecoder::Result::Broken);
  // The input ends at a block boundary: a clean end.
  VectorWindow w3({});
  BytecodeDecoder d3(w3, 100, false);
  EXPECT_EQ(d3.next(x, r), BytecodeDecoder::Result::End);
}

TEST(Bytecode, EncoderChoosesCodesAsTheFormatSays) {
  std::vector<uint8_t> out;
  BytecodeEncoder e(out);
  e.put_number(1);
  e.put_number(std::nan(""));
  e.finish();
  EXPECT_EQ(out, (std::vector<uint8_t>{101, 255, 0, 0, 0, 0, 0, 0}));

  out.clear();
  BytecodeEncoder f(out);
  f.put_number(152);
  f.put_number(-99);
  f.put_number(0.5);
  f.put_number(151);
  f.put_number(-100);
  const uint8_t spaces[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  const uint8_t text[8] = {'a', 'b', ' ', ' ', ' ', ' ', ' ', ' '};
  f.put_chunk(spaces);
  f.put_chunk(text);
  f.put_number(std::numeric_limits<double>::infinity());
  EXPECT_FALSE(f.block_open());
  ASSERT_EQ(out.size(), 8u + 5 * 8);
  EXPECT_EQ((std::vector<uint8_t>(out.begin(), out.begin() + 8)),
            (std::vector<uint8_t>{253, 1, 253, 251, 253, 254, 253, 253}));
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 8, out.begin() + 16), raw_of(152));
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 32, out.begin() + 40),
            std::vector<uint8_t>(text, text + 8));
}

TEST(Bytecode, WhatTheEncoderWritesTheDecoderReads) {
  const double values[] = {0, 1, -1, 151, 152, -99, -100, 0.25, 1e300, -1e-300, std::nan("")};
  std::vector<uint8_t> out;
  BytecodeEncoder e(out);
  for (int rep = 0; rep < 3; ++rep)
    for (double v : values) e.put_number(v);
  e.finish();
  VectorWindow w(out);
  BytecodeDecoder d(w, 100, false);
  for (int rep = 0; rep < 3; ++rep) {
    for (double v : values) {
      double x;
      uint8_t r[8];
      const auto res = d.next(x, r);
      ASSERT_TRUE(res == BytecodeDecoder::Result::Number || res == BytecodeDecoder::Result::Raw);
      if (std::isnan(v)) EXPECT_TRUE(std::isnan(x));
      else EXPECT_EQ(x, v);
    }
  }
  double x;
  uint8_t r[8];
  EXPECT_EQ(d.next(x, r), BytecodeDecoder::Result::End);  // only padding remains
}

}  // namespace
}  // namespace vop::sav
