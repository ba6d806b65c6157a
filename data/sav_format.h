// Layout constants of the SPSS system file (.sav / .zsav), shared by the
// reader and the writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vop::sav {

// File header --------------------------------------------------------------
inline constexpr size_t kHeaderSize = 176;
inline constexpr size_t kProductSize = 60;
inline constexpr size_t kDateSize = 9;
inline constexpr size_t kTimeSize = 8;
inline constexpr size_t kFileLabelSize = 64;
inline constexpr size_t kHeaderPadding = 3;
inline constexpr char kMagicPlain[4] = {'$', 'F', 'L', '2'};
inline constexpr char kMagicZlib[4] = {'$', 'F', 'L', '3'};
// The layout code is 2 or 3 read in the writer's byte order; any other value
// means the file was written on a machine of the other byte order.
inline constexpr int32_t kLayoutCodeA = 2;
inline constexpr int32_t kLayoutCodeB = 3;

// Compression codes of the header.
inline constexpr int32_t kCompressNone = 0;
inline constexpr int32_t kCompressBytecode = 1;
inline constexpr int32_t kCompressZlib = 2;

// Record types -------------------------------------------------------------
inline constexpr int32_t kRecVariable = 2;
inline constexpr int32_t kRecValueLabels = 3;
inline constexpr int32_t kRecLabelIndexes = 4;
inline constexpr int32_t kRecDocument = 6;
inline constexpr int32_t kRecExtension = 7;
inline constexpr int32_t kRecEnd = 999;

// Extension subtypes that carry something the dataset keeps.
inline constexpr int32_t kExtIntegerInfo = 3;
inline constexpr int32_t kExtFloatInfo = 4;
inline constexpr int32_t kExtMrSets = 7;
inline constexpr int32_t kExtDisplay = 11;
inline constexpr int32_t kExtLongNames = 13;
inline constexpr int32_t kExtVeryLongStrings = 14;
inline constexpr int32_t kExtEncoding = 20;

// Variable records ---------------------------------------------------------
inline constexpr int32_t kContinuation = -1;  // type of a string's later 8-byte slots
inline constexpr size_t kShortNameSize = 8;
inline constexpr size_t kMaxVarLabel = 255;   // bytes of a variable label written
inline constexpr size_t kDocumentLineSize = 80;
inline constexpr int kMaxShortString = 255;   // widest string held in one segment

// Very long strings are split into segments of 252 useful bytes, each stored
// as a 255-byte string (256 bytes of slots).
inline constexpr int kSegmentStep = 252;
inline constexpr int kSegmentBytes = 255;

// Value labels: at most 60 bytes of label text go into a record.
inline constexpr size_t kMaxValueLabel = 60;

// Bytecode compression ----------------------------------------------------
inline constexpr uint8_t kCodeSkip = 0;      // padding; take the next code
inline constexpr uint8_t kCodeEnd = 252;     // end of data
inline constexpr uint8_t kCodeRaw = 253;     // 8 raw bytes follow the block
inline constexpr uint8_t kCodeSpaces = 254;  // 8 spaces
inline constexpr uint8_t kCodeSysmis = 255;  // system-missing number
// The 8 bytes of a string's cell that code 254 stands for: "        ".
inline constexpr uint64_t kSpacesCell = 0x2020202020202020ull;
inline constexpr double kDefaultBias = 100.0;

// The SPSS system-missing, highest and lowest values.
inline constexpr double kSysmis = -1.7976931348623157e308;
inline constexpr double kHighest = 1.7976931348623157e308;
inline constexpr double kLowest = -1.7976931348623155e308;

// Slot arithmetic -----------------------------------------------------------
inline int round_up8(int n) { return (n + 7) / 8 * 8; }

// Number of segments a string of width w is stored in.
inline int segments(int w) { return w < 256 ? 1 : (w + kSegmentStep - 1) / kSegmentStep; }

// Width of segment k (from 0) of a string of width w.
inline int segment_width(int w, int k) {
  if (w < 256) return w;
  if (k < segments(w) - 1) return kSegmentBytes;
  return round_up8(w - k * kSegmentStep);
}

// 8-byte slots a string of width w takes in a case (a number takes 1).
inline int string_slots(int w) {
  if (w <= kMaxShortString) return round_up8(w) / 8;
  int total = 0;
  for (int k = 0; k < segments(w); ++k) total += round_up8(segment_width(w, k)) / 8;
  return total;
}

inline int32_t format_word(int type, int width, int decimals) {
  return int32_t(type) * 65536 + int32_t(width) * 256 + int32_t(decimals);
}

}  // namespace vop::sav
