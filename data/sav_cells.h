// Case data as rows of cells, both directions: one 8-byte cell per slot of
// the case record, in file order. The reader decodes a block of cases into
// cells and then spreads them into the variables' columns one column at a
// time; the writer gathers columns into cells and encodes those.
//
// Bytecode compression: the data are a sequence of 8-byte command blocks,
// each holding 8 one-byte codes; the raw 8-byte values that the block's 253
// codes announce follow the block, in code order. Code 0 is padding, 1..251
// the number code - bias, 252 the end of the data, 254 eight spaces, 255
// the system-missing value.
//
// Decoding does not look at variables, only at whether each slot belongs to
// a string: a bytecode that makes sense only for the other kind (a number
// code in a string, spaces in a number) still gives a sound cell (spaces,
// or NaN). Cells of numbers hold the double's bits in the machine's order,
// the file's system-missing value already made NaN; cells of strings hold
// the 8 bytes as in the file.
#pragma once

#include <cstdint>
#include <vector>

#include "data/sav_format.h"
#include "data/sav_input.h"

namespace vop::sav {

class CellDecoder {
 public:
  enum class Status : uint8_t {
    More,    // every case asked for was decoded; there may be more
    End,     // the data ended at a case boundary (code 252 or end of input)
    Broken,  // the data ended inside a case, or its bytes are incomplete
  };

  // string_slot[s] is true when slot s of a case belongs to a string.
  // `swap` means the file has the other byte order; `sysmis` is the file's
  // system-missing value.
  CellDecoder(ByteWindow& in, bool compressed, double bias, bool swap, double sysmis,
              const std::vector<bool>& string_slot);

  // Decode up to `cases` whole cases into out (cases x slots cells).
  // Returns how many were decoded; status() tells why it stopped short.
  int decode(uint64_t* out, int cases);
  Status status() const { return status_; }

  int slots() const { return slots_; }

 private:
  size_t decode_compressed(uint64_t* out, size_t want);
  size_t decode_plain(uint64_t* out, size_t want);
  bool load_block();
  bool careful_raw(uint64_t& cell, bool string);
  template <bool Swap>
  size_t whole_blocks(uint64_t* out, size_t want);
  // A number's 8 bytes as the file has them, as a cell.
  uint64_t number_from_file(uint64_t raw) const {
    if (swap_) raw = __builtin_bswap64(raw);
    return raw == sysmis_ ? nan_ : raw;
  }

  ByteWindow& in_;               // the data bytes; not owned
  bool compressed_;              // bytecode (plain or inside zlib)
  bool swap_;                    // other byte order
  int slots_;                    // cells per case
  uint64_t sysmis_;              // bits of the file's system-missing value
  uint64_t nan_;                 // bits of the NaN that stands for it
  // is_string_[i] for i in [0, slots + 8): slot i % slots is a string's,
  // so that the 8 cells of a block can be typed without a wrap-around.
  std::vector<uint8_t> is_string_;
  // cell_of_[s][code]: the cell a code gives in a numeric (s = 0) or
  // string (s = 1) slot.
  uint64_t cell_of_[2][256];
  Status status_ = Status::More;

  // The current command block.
  uint8_t codes_[8] = {};
  int code_i_ = 8;               // next code to use; 8 = load a block
  const uint8_t* raw_ = nullptr; // its raw values, when all were readable
  int slot_ = 0;                 // slot in the case of the next cell
};

class CellEncoder {
 public:
  CellEncoder(double bias, const std::vector<bool>& string_slot);

  // Bytes that encoding `cells` cells may take at most, with an unfinished
  // block carried in and the padded block of finish().
  static size_t max_bytes(size_t cells) { return cells * 9 + 2 * 8 * 9; }

  // Write the bytecode of `cases` rows of cells at dst, which has room for
  // max_bytes of them; returns the end of what was written. Only whole
  // command blocks are written; the codes of an unfinished one wait in the
  // encoder for the next call or finish().
  uint8_t* encode(const uint64_t* cells, int cases, uint8_t* dst);
  // Write the unfinished block, padded with code 0; returns the end.
  uint8_t* finish(uint8_t* dst);

  // The code of a number's cell and of a string's.
  static uint8_t number_code(double x, double bias) {
    // Whole numbers within reach of one code byte go in the block itself.
    const bool in_range = (x >= 1 - bias) & (x <= 251 - bias);  // false for NaN
    const double near = in_range ? x : 0.0;                    // safe to convert
    const bool whole = in_range & (near == double(int64_t(near)));
    const uint8_t other = x != x ? kCodeSysmis : kCodeRaw;
    return whole ? uint8_t(near + bias) : other;
  }
  static uint8_t string_code(uint64_t cell) {
    return cell == kSpacesCell ? kCodeSpaces : kCodeRaw;
  }
  // encode() with the code of every cell already known (codes[i] for
  // cells[i], as number_code and string_code give them).
  uint8_t* encode_coded(const uint64_t* cells, const uint8_t* codes, size_t n, uint8_t* dst);

  // The same, appended to a vector.
  void encode(const uint64_t* cells, int cases, std::vector<uint8_t>& out);
  void finish(std::vector<uint8_t>& out);

 private:
  double bias_;                   // compression bias
  std::vector<uint8_t> is_string_;  // per slot of a case
  std::vector<uint8_t> codes_of_;   // the code of each cell being encoded
  uint8_t codes_[8] = {};         // the unfinished block
  uint64_t raws_[8] = {};         // its raw values
  int code_n_ = 0;                // codes in it
  int raw_n_ = 0;                 // raw values in it
  int slot_ = 0;                  // slot of the next cell
};

}  // namespace vop::sav
