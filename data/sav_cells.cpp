#include "data/sav_cells.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace vop::sav {

namespace {

uint64_t bits_of(double x) { return std::bit_cast<uint64_t>(x); }


}  // namespace

CellDecoder::CellDecoder(ByteWindow& in, bool compressed, double bias, bool swap, double sysmis,
                         const std::vector<bool>& string_slot)
    : in_(in),
      compressed_(compressed),
      swap_(swap),
      slots_(int(string_slot.size())),
      sysmis_(bits_of(sysmis)),
      nan_(bits_of(std::numeric_limits<double>::quiet_NaN())) {
  is_string_.resize(string_slot.size() + 8);
  for (size_t i = 0; i < is_string_.size() && slots_ > 0; ++i)
    is_string_[i] = string_slot[i % string_slot.size()];
  // Codes that carry no value of their own (0, 252, 253) are handled before
  // the tables are consulted; NaN marks them should that ever change.
  for (int code = 0; code < 256; ++code) {
    cell_of_[0][code] = code >= 1 && code <= 251 ? bits_of(double(code) - bias) : nan_;
    cell_of_[1][code] = kSpacesCell;
  }
}

int CellDecoder::decode(uint64_t* out, int cases) {
  if (slots_ == 0 || cases <= 0) {
    if (slots_ == 0) status_ = Status::End;
    return 0;
  }
  const size_t want = size_t(cases) * size_t(slots_);
  const size_t got = compressed_ ? decode_compressed(out, want) : decode_plain(out, want);
  if (got < want && status_ == Status::More) status_ = Status::Broken;
  // Data that stop inside a case are broken, however they stop.
  if (got % size_t(slots_) != 0) status_ = Status::Broken;
  return int(got / size_t(slots_));
}

namespace {

// Bytes of `w` equal to `byte`, each marked by its high bit.
uint64_t bytes_equal(uint64_t w, uint8_t byte) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const uint64_t t = w ^ (0x0101010101010101ull * byte);
  return ~(((t & kLow7) + kLow7) | t | kLow7);
}

}  // namespace

bool CellDecoder::load_block() {
  // The largest block: 8 codes and 8 raw values.
  constexpr size_t kMaxBlock = 72;
  if (size_t(in_.end - in_.pos) < kMaxBlock && !in_.ensure(8)) {
    status_ = in_.pos == in_.end ? Status::End : Status::Broken;
    return false;
  }
  uint64_t w;
  std::memcpy(&w, in_.pos, 8);
  std::memcpy(codes_, in_.pos, 8);
  // What follows an end code is never read, so only codes before it count.
  const uint64_t ends = bytes_equal(w, kCodeEnd);
  const uint64_t before_end = ends ? (uint64_t(1) << std::countr_zero(ends)) - 1 : ~uint64_t(0);
  // Count the marks without a popcount instruction (not in the baseline
  // x86-64 set): each mark becomes a 1 in its byte, and the multiply sums
  // the bytes into the top one.
  const uint64_t marks = (bytes_equal(w, kCodeRaw) & before_end) >> 7;
  const int raws = int((marks * 0x0101010101010101ull) >> 56);
  const size_t need = 8 + 8 * size_t(raws);
  if (size_t(in_.end - in_.pos) >= need || in_.ensure(need)) {
    raw_ = in_.pos + 8;
    in_.pos += need;
  } else {
    // Truncated: take the raw values one by one and stop where they end.
    raw_ = nullptr;
    in_.pos += 8;
  }
  code_i_ = 0;
  return true;
}

bool CellDecoder::careful_raw(uint64_t& cell, bool string) {
  if (!in_.ensure(8)) return false;
  std::memcpy(&cell, in_.pos, 8);
  in_.pos += 8;
  if (!string) cell = number_from_file(cell);
  return true;
}

namespace {

// True when some byte of w is `byte`.
bool has_byte(uint64_t w, uint8_t byte) {
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  const uint64_t t = w ^ (kOnes * byte);
  return ((t - kOnes) & ~t & kHighs) != 0;
}

}  // namespace

// The common case, block after block: no skip or end codes, and the block
// with all its raw values at hand, so every code gives one cell without
// checks of bounds or state.
template <bool Swap>
size_t CellDecoder::whole_blocks(uint64_t* out, size_t want) {
  constexpr size_t kReach = 8 + 8 * 8;
  // Members in locals: the stores to `out` could otherwise alias them.
  const uint64_t sysmis = sysmis_, nan = nan_;
  const uint64_t(*cell_of)[256] = cell_of_;
  const uint8_t* is_string = is_string_.data();
  const int slots = slots_;
  int slot = slot_;
  size_t c = 0;
  const uint8_t* pos = in_.pos;
  while (want - c >= 8) {
    if (size_t(in_.end - pos) < kReach) {
      // Refilling may move the window's bytes, whether or not it succeeds.
      in_.pos = pos;
      const bool enough = in_.ensure(kReach);
      pos = in_.pos;
      if (!enough) break;
    }
    uint64_t w;
    std::memcpy(&w, pos, 8);
    if (has_byte(w, kCodeSkip) || has_byte(w, kCodeEnd)) break;
    const uint8_t* types = is_string + slot;
    const uint8_t* raw = pos + 8;
    for (int i = 0; i < 8; ++i) {
      const uint8_t code = pos[i];
      const uint8_t string = types[i];
      uint64_t cell;
      // A branch on the code: within a variable the kind of code is mostly
      // the same case after case, so it is well predicted.
      if (code == kCodeRaw) {
        std::memcpy(&cell, raw, 8);
        raw += 8;
        if (!string) {
          if (Swap) cell = __builtin_bswap64(cell);
          cell = cell == sysmis ? nan : cell;
        }
      } else {
        cell = cell_of[string][code];
      }
      out[c + size_t(i)] = cell;
    }
    pos = raw;
    c += 8;
    slot += 8;
    while (slot >= slots) slot -= slots;
  }
  slot_ = slot;
  in_.pos = pos;
  return c;
}

size_t CellDecoder::decode_compressed(uint64_t* out, size_t want) {
  size_t c = 0;
  while (c < want) {
    if (code_i_ == 8) {
      if (status_ != Status::More) break;
      c += swap_ ? whole_blocks<true>(out + c, want - c) : whole_blocks<false>(out + c, want - c);
      if (c == want || !load_block()) break;
    }
    const uint8_t code = codes_[code_i_++];
    if (code == kCodeSkip) continue;
    if (code == kCodeEnd) {
      code_i_ = 8;
      status_ = Status::End;
      break;
    }
    const bool string = is_string_[size_t(slot_)];
    uint64_t cell;
    if (code != kCodeRaw) {
      cell = cell_of_[string][code];
    } else if (raw_) {
      std::memcpy(&cell, raw_, 8);
      raw_ += 8;
      if (!string) cell = number_from_file(cell);
    } else if (!careful_raw(cell, string)) {
      status_ = Status::Broken;
      break;
    }
    out[c++] = cell;
    if (++slot_ == slots_) slot_ = 0;
  }
  return c;
}

size_t CellDecoder::decode_plain(uint64_t* out, size_t want) {
  auto* dst = reinterpret_cast<uint8_t*>(out);
  const size_t need = want * 8;
  size_t done = 0;
  while (done < need) {
    if (in_.pos == in_.end && !in_.ensure(1)) break;
    const size_t take = std::min(need - done, size_t(in_.end - in_.pos));
    std::memcpy(dst + done, in_.pos, take);
    in_.pos += take;
    done += take;
  }
  if (done < need) status_ = done % (8 * size_t(slots_)) == 0 ? Status::End : Status::Broken;
  const size_t cells = done / 8;
  int slot = slot_;
  for (size_t c = 0; c < cells; ++c) {
    if (!is_string_[size_t(slot)]) out[c] = number_from_file(out[c]);
    if (++slot == slots_) slot = 0;
  }
  return cells;
}

CellEncoder::CellEncoder(double bias, const std::vector<bool>& string_slot)
    : bias_(bias), is_string_(string_slot.begin(), string_slot.end()) {}

uint8_t* CellEncoder::encode(const uint64_t* cells, int cases, uint8_t* dst) {
  const size_t slots = is_string_.size();
  const size_t n = size_t(std::max(cases, 0)) * slots;
  // First the code of every cell, one slot at a time: within a slot the
  // kind is fixed and the values alike.
  if (codes_of_.size() < n) codes_of_.resize(n);
  uint8_t* codes = codes_of_.data();
  const double bias = bias_;
  for (size_t s = 0; s < slots; ++s) {
    const size_t first = (s + slots - size_t(slot_)) % slots;  // cell of slot s in the first case
    if (is_string_[s]) {
      for (size_t c = first; c < n; c += slots) codes[c] = string_code(cells[c]);
    } else {
      for (size_t c = first; c < n; c += slots) codes[c] = number_code(std::bit_cast<double>(cells[c]), bias);
    }
  }
  return encode_coded(cells, codes, n, dst);
}

uint8_t* CellEncoder::encode_coded(const uint64_t* cells, const uint8_t* codes, size_t n, uint8_t* dst) {
  // The blocks: 8 codes, and after them the cells of the raw codes.
  size_t c = 0;
  auto one = [&](size_t i) {
    const uint8_t code = codes[i];
    raws_[raw_n_] = cells[i];  // every cell goes in; only a raw code keeps it
    raw_n_ += code == kCodeRaw;
    codes_[code_n_++] = code;
    if (code_n_ == 8) {
      std::memcpy(dst, codes_, 8);
      std::memcpy(dst + 8, raws_, 8 * size_t(raw_n_));
      dst += 8 + 8 * size_t(raw_n_);
      code_n_ = raw_n_ = 0;
    }
  };
  while (c < n && code_n_ != 0) one(c++);
  // Whole blocks, with locals only: stores through byte pointers could
  // otherwise alias the members.
  uint8_t* out = dst;
  for (; c + 8 <= n; c += 8) {
    std::memcpy(out, codes + c, 8);
    uint8_t* raw = out + 8;
    for (size_t j = 0; j < 8; ++j) {
      std::memcpy(raw, &cells[c + j], 8);
      raw += codes[c + j] == kCodeRaw ? 8 : 0;
    }
    out = raw;
  }
  dst = out;
  while (c < n) one(c++);
  const size_t slots = std::max<size_t>(is_string_.size(), 1);
  slot_ = int((size_t(slot_) + n % slots) % slots);
  return dst;
}

uint8_t* CellEncoder::finish(uint8_t* dst) {
  if (code_n_ == 0) return dst;
  while (code_n_ < 8) codes_[code_n_++] = kCodeSkip;
  std::memcpy(dst, codes_, 8);
  std::memcpy(dst + 8, raws_, 8 * size_t(raw_n_));
  dst += 8 + 8 * size_t(raw_n_);
  code_n_ = raw_n_ = 0;
  return dst;
}

void CellEncoder::encode(const uint64_t* cells, int cases, std::vector<uint8_t>& out) {
  const size_t start = out.size();
  out.resize(start + max_bytes(size_t(std::max(cases, 0)) * is_string_.size()));
  out.resize(size_t(encode(cells, cases, out.data() + start) - out.data()));
}

void CellEncoder::finish(std::vector<uint8_t>& out) {
  const size_t start = out.size();
  out.resize(start + max_bytes(0));
  out.resize(size_t(finish(out.data() + start) - out.data()));
}

}  // namespace vop::sav
