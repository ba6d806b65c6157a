// Case data of a system file: uncompressed, bytecode-compressed, or bytecode
// inside zlib blocks (.zsav), decoded a block of cases at a time into cells
// (sav_cells.h) and then spread into the variables' columns.
#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include "data/column_memory.h"
#include "data/block_ring.h"
#include "data/sav_cells.h"
#include "data/sav_dictionary.h"
#include "data/sav_format.h"

namespace vop::sav {

namespace {

// zlib cannot expand data more than this many times.
constexpr uint64_t kMaxZlibRatio = 1032;
// Rows allocated up front when the header does not say how many cases follow.
constexpr int kUnknownCountStart = 1 << 16;
// Size of the .zsav data header that follows the terminator.
constexpr uint64_t kZHeaderBytes = 24;
// Decoded cases are gathered in blocks of about this size: small enough to
// stay in cache while they are spread into the columns, large enough that
// handing one to the other thread costs little beside the work.
constexpr size_t kCellBlockBytes = size_t(64) << 10;
// Blocks in flight between the decoding thread and the helper.
constexpr int kRingSlots = 4;
// Cases a block holds at least, however wide the cases: a column then
// takes whole cache lines of streaming stores from a block instead of
// single cells, each of which would cost the memory a transfer of its own
// (a file of thousands of variables fits one case in the block size).
constexpr int kMinBlockCases = 16;

// Resize a column to exactly `rows`, keeping the first rows.
void fit_rows(Matrix& m, int rows) {
  if (m.rows() == rows) return;
  Matrix fitted(rows, 1, m.numeric(), Matrix::Fill::None);
  const int keep = std::min(rows, m.rows());
  if (m.numeric()) std::copy(m.num(), m.num() + keep, fitted.num());
  else std::move(m.str(), m.str() + keep, fitted.str());
  fitted.set_name(m.name());
  m = std::move(fitted);
}

// The columns of one kind: numeric ones are left unwritten (the data fill
// them), string ones are made absent, which writes every cell.
void allocate_columns(SavDictionary& dict, int rows, bool numeric) {
  for (RecordVariable& rv : dict.vars)
    if ((rv.width == 0) == numeric)
      rv.var.column.reset(rows, 1, numeric, numeric ? Matrix::Fill::None : Matrix::Fill::Absent);
}

// Store a number into a column that is not read again soon: a streaming
// store does not first fetch the column's line into the cache, which for
// columns of fresh memory halves the memory traffic.
inline void store_streaming(double* at, uint64_t bits) {
#if defined(__SSE2__) && defined(__x86_64__)
  _mm_stream_si64(reinterpret_cast<long long*>(at), static_cast<long long>(bits));
#else
  std::memcpy(at, &bits, 8);
#endif
}

// Trailing spaces of a padded value go eight at a time, then one by one.
std::string_view strip_trailing_spaces(std::string_view s) {
  size_t n = s.size();
  while (n >= 8) {
    uint64_t w;
    std::memcpy(&w, s.data() + n - 8, 8);
    if (w != kSpacesCell) break;
    n -= 8;
  }
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

// Where a variable's cells sit in a case.
struct CellPlace {
  RecordVariable* rv;  // the variable; owned by the dictionary
  int slot;            // first cell of its value in a case
};

// Spreads blocks of decoded cases into the variables' columns: strings are
// assembled from their segments, cut at the width, stripped of trailing
// spaces and converted to UTF-8. Each thread that fills has its own.
class ColumnFiller {
 public:
  ColumnFiller(int slots, TextDecoder& decoder) : decoder_(decoder), slots_(slots) {}

  // Rows [row0, row0 + n) of one variable from n cases of cells.
  void fill(const CellPlace& p, const uint64_t* cells, int n, int row0) {
    if (p.rv->width == 0) fill_numbers(p, cells, n, p.rv->var.column.num() + row0);
    else fill_strings(p, cells, n, p.rv->var.column.str() + row0);
  }

 private:
  void fill_numbers(const CellPlace& p, const uint64_t* cells, int n, double* out) const {
    const uint64_t* in = cells + p.slot;
    for (int k = 0; k < n; ++k) store_streaming(out + k, in[size_t(k) * size_t(slots_)]);
  }

  void fill_strings(const CellPlace& p, const uint64_t* cells, int n, StrCell* out) {
    const RecordVariable& rv = *p.rv;
    const size_t nseg = rv.segments.size();
    for (int k = 0; k < n; ++k) {
      const char* at = reinterpret_cast<const char*>(cells + size_t(k) * size_t(slots_) + size_t(p.slot));
      std::string_view text;
      if (nseg == 1) {
        text = std::string_view(at, size_t(std::min(rv.width, rv.segments[0].slots * 8)));
      } else {
        // A segment before the last gives 255 of its bytes (the 256th is padding).
        joined_.clear();
        for (size_t s = 0; s < nseg; ++s) {
          const Segment& seg = rv.segments[s];
          const int keep = s + 1 < nseg ? std::min(seg.bytes, kSegmentBytes) : seg.bytes;
          joined_.append(at, size_t(std::clamp(keep, 0, seg.slots * 8)));
          at += size_t(seg.slots) * 8;
        }
        text = std::string_view(joined_).substr(0, size_t(rv.width));
      }
      text = strip_trailing_spaces(text);
      StrCell& cell = out[k];
      if (is_ascii(text)) {
        if (cell) cell->assign(text);
        else cell.emplace(text);
      } else {
        converted_.assign(text);
        decoder_.convert(converted_);
        cell = converted_;
      }
    }
  }

  TextDecoder& decoder_;   // the file's text encoding; not owned
  int slots_;              // cells per case
  std::string joined_;     // a very long string's segments, reused
  std::string converted_;  // a text being converted, reused
};

// Numeric columns are filled by the decoding thread while the block is in
// its cache; string columns cost more (assembly, allocation, conversion)
// and are tasks that a helper thread can take.
struct FillPlan {
  std::vector<CellPlace> numbers;
  std::vector<CellPlace> strings;  // a task each
};

FillPlan plan_fill(SavDictionary& dict) {
  FillPlan plan;
  int slot = 0;
  for (RecordVariable& rv : dict.vars) {
    (rv.width == 0 ? plan.numbers : plan.strings).push_back(CellPlace{&rv, slot});
    for (const Segment& seg : rv.segments) slot += seg.slots;
  }
  return plan;
}

// Which slots of a case belong to strings.
std::vector<bool> string_slots(const SavDictionary& dict) {
  std::vector<bool> out;
  out.reserve(size_t(dict.total_slots));
  for (const RecordVariable& rv : dict.vars)
    for (const Segment& seg : rv.segments) out.insert(out.end(), size_t(seg.slots), rv.width != 0);
  return out;
}
}  // namespace

bool read_cases(SavFile& in, SavDictionary& dict, TextDecoder& decoder,
                std::vector<std::string>& warnings, int& cases_read, uint64_t parallel_bytes,
                CancelToken cancel) {
  cases_read = 0;
  const SavHeader& h = dict.header;
  const bool compressed = h.compression != kCompressNone;
  std::unique_ptr<ZlibWindow> zwin;
  uint64_t data_bytes = in.remaining();
  if (h.compression == kCompressZlib) {
    int64_t zheader_ofs, ztrailer_ofs, ztrailer_len;
    const uint64_t here = in.offset();
    if (!in.read_i64(zheader_ofs) || !in.read_i64(ztrailer_ofs) || !in.read_i64(ztrailer_len)) {
      dict.failure = "the file ends inside the zlib data header";
      return false;
    }
    if (uint64_t(zheader_ofs) != here || ztrailer_ofs < zheader_ofs + int64_t(kZHeaderBytes) ||
        uint64_t(ztrailer_ofs) > here + kZHeaderBytes + in.remaining()) {
      dict.failure = "the zlib data header's offsets do not fit the file";
      return false;
    }
    const uint64_t compressed_bytes = uint64_t(ztrailer_ofs) - in.offset();
    data_bytes = compressed_bytes * kMaxZlibRatio;
    zwin = std::make_unique<ZlibWindow>(in, uint64_t(ztrailer_ofs), data_bytes);
  }
  ByteWindow& window = zwin ? static_cast<ByteWindow&>(*zwin) : static_cast<ByteWindow&>(in);

  // No case can take fewer bytes than one code byte per slot (8 bytes per
  // slot uncompressed), so the data bound the case count before anything
  // is allocated.
  const uint64_t min_case_bytes = uint64_t(dict.total_slots) * (compressed ? 1 : 8);
  const uint64_t fit = min_case_bytes == 0 ? 0 : data_bytes / min_case_bytes;
  const int max_rows = int(std::min<uint64_t>(fit, uint64_t(std::numeric_limits<int32_t>::max())));
  const bool known = h.case_count >= 0;
  if (known && h.case_count > max_rows) {
    dict.failure = "the header counts " + std::to_string(h.case_count) + " cases, more than the data can hold";
    return false;
  }
  int rows = known ? h.case_count : std::min(max_rows, kUnknownCountStart);
  const std::vector<bool> string_slot = string_slots(dict);
  if (int(string_slot.size()) != dict.total_slots) {
    dict.failure = "the variables' widths do not add up to their slots";
    return false;
  }
  const size_t slots = std::max<size_t>(string_slot.size(), 1);
  const bool large = uint64_t(rows) * slots * 8 >= parallel_bytes;
  allocate_columns(dict, rows, true);
  CellDecoder decoder_of_cells(window, compressed, h.bias, in.swap, dict.sysmis, string_slot);

  // Cases are decoded a block at a time into a buffer that stays in cache.
  // This thread spreads the numbers into their columns at once; each string
  // column is a task of the block, which for large data a helper thread
  // takes as well (see FillPlan).
  const int block = std::max(kMinBlockCases, int(kCellBlockBytes / (8 * slots)));
  const FillPlan plan = plan_fill(dict);
  TextDecoder helper_decoder;  // the helper's own: a decoder keeps state
  if (large) helper_decoder.set_source(decoder.source());
  ColumnFiller fillers[2] = {ColumnFiller(int(slots), decoder), ColumnFiller(int(slots), helper_decoder)};
  std::vector<std::vector<uint64_t>> buffers;
  std::vector<int> block_cases, block_row;
  // With a known count the helper also faults in the numeric columns a
  // little ahead of the rows being decoded.
  std::atomic<int> decoded_row{0};
  std::vector<double*> numeric;
  if (known && large)
    for (const CellPlace& p : plan.numbers) numeric.push_back(p.rv->var.column.num());
  ColumnFaulter faulter(std::move(numeric), rows);
  auto fault_ahead = [&] { return faulter.step(decoded_row.load(std::memory_order_relaxed)); };
  BlockRing ring(kRingSlots, int(plan.strings.size()), large,
                 [&](int slot, int task, int worker) {
                   fillers[worker].fill(plan.strings[size_t(task)], buffers[size_t(slot)].data(),
                                        block_cases[size_t(slot)], block_row[size_t(slot)]);
                 },
                 fault_ahead);
  // The string columns are written through once when they are made: the
  // helper, started above, meanwhile faults in the first numeric rows.
  allocate_columns(dict, rows, false);
  buffers.assign(size_t(ring.slot_count()), std::vector<uint64_t>(size_t(block) * slots));
  block_cases.assign(size_t(ring.slot_count()), 0);
  block_row.assign(size_t(ring.slot_count()), 0);

  int row = 0;
  bool ok = true;
  while (!ring.failed()) {
    if (cancel.stop_requested()) {
      ok = false;
      break;
    }
    int ask = known ? std::min(block, h.case_count - row) : block;
    if (!known && row + ask > rows) {
      // Unknown count: grow geometrically within the bound, once nothing is
      // being written into the columns.
      if (rows < max_rows) {
        ring.drain();
        rows = int(std::min<int64_t>(std::max<int64_t>(int64_t(rows) * 2, row + ask), max_rows));
        for (RecordVariable& rv : dict.vars) fit_rows(rv.var.column, rows);
      }
      ask = std::min(ask, rows - row);
    }
    if (ask <= 0) break;
    const int slot = ring.acquire();
    const int n = decoder_of_cells.decode(buffers[size_t(slot)].data(), ask);
    if (n > 0) {
      for (const CellPlace& p : plan.numbers) fillers[0].fill(p, buffers[size_t(slot)].data(), n, row);
      block_cases[size_t(slot)] = n;
      block_row[size_t(slot)] = row;
      ring.publish();
      row += n;
      decoded_row.store(row, std::memory_order_relaxed);
    }
    if (n == ask) continue;
    if (decoder_of_cells.status() != CellDecoder::Status::End || known) {
      warnings.push_back("the data end or break off in case " + std::to_string(row + 1));
      dict.failure = (in.remaining() == 0 ? "the file is cut short inside case " : "the data break off in case ") +
                     std::to_string(row + 1) + " (byte " + std::to_string(in.offset()) + ")";
      ok = false;
    }
    break;
  }
  ring.finish();
#if defined(__SSE2__) && defined(__x86_64__)
  _mm_sfence();  // the streaming stores are complete before anyone reads the columns
#endif
  if (ok && zwin && zwin->broken()) dict.failure = "the zlib-compressed data are damaged";
  if (!ok || (zwin && zwin->broken())) return false;
  if (!known)
    for (RecordVariable& rv : dict.vars) fit_rows(rv.var.column, row);
  cases_read = row;
  return true;
}

}  // namespace vop::sav
