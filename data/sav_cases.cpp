// Case data of a system file: uncompressed, bytecode-compressed, or bytecode
// inside zlib blocks (.zsav). Values go straight into the variables' columns;
// strings are assembled from their segments, cut at the width, stripped of
// trailing spaces and converted to UTF-8.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

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

// Where one variable's values go and how its slots are laid out.
struct ColumnPlan {
  RecordVariable* rv;   // the variable; owned by the dictionary
  double* num;          // numeric column storage, or null
  StrCell* str;         // string column storage, or null
};

// Reads one case's slots, either raw 8-byte slots or through the decoder.
class SlotReader {
 public:
  SlotReader(ByteWindow& in, bool compressed, double bias, bool swap, double sysmis)
      : in_(in), dec_(in, bias, swap), compressed_(compressed), swap_(swap), sysmis_(sysmis) {}

  enum class Slot { Number, Bytes, Spaces, End, Broken };

  // A numeric slot.
  Slot number(double& x) {
    uint8_t raw[8];
    if (!compressed_) {
      if (!in_.ensure(8)) return in_.pos == in_.end ? Slot::End : Slot::Broken;
      std::memcpy(raw, in_.pos, 8);
      in_.pos += 8;
      if (swap_) std::reverse(raw, raw + 8);
      std::memcpy(&x, raw, 8);
      if (x == sysmis_) x = std::numeric_limits<double>::quiet_NaN();
      return Slot::Number;
    }
    switch (dec_.next(x, raw)) {
      case BytecodeDecoder::Result::Number:
        return Slot::Number;
      case BytecodeDecoder::Result::Raw:
        if (x == sysmis_) x = std::numeric_limits<double>::quiet_NaN();
        return Slot::Number;
      case BytecodeDecoder::Result::Spaces:
        x = std::numeric_limits<double>::quiet_NaN();  // a string code where a number belongs
        return Slot::Number;
      case BytecodeDecoder::Result::End:
        return Slot::End;
      default:
        return Slot::Broken;
    }
  }

  // A string slot: 8 bytes into out (spaces for codes meant for numbers).
  Slot chunk(uint8_t* out) {
    if (!compressed_) {
      if (!in_.ensure(8)) return in_.pos == in_.end ? Slot::End : Slot::Broken;
      std::memcpy(out, in_.pos, 8);
      in_.pos += 8;
      return Slot::Bytes;
    }
    double unused;
    uint8_t raw[8];
    switch (dec_.next(unused, raw)) {
      case BytecodeDecoder::Result::Raw:
        // The decoder reversed the bytes for a number; text keeps file order.
        if (swap_) std::reverse(raw, raw + 8);
        std::memcpy(out, raw, 8);
        return Slot::Bytes;
      case BytecodeDecoder::Result::Number:
      case BytecodeDecoder::Result::Spaces:
        std::memset(out, ' ', 8);
        return Slot::Spaces;
      case BytecodeDecoder::Result::End:
        return Slot::End;
      default:
        return Slot::Broken;
    }
  }

 private:
  ByteWindow& in_;        // the data bytes; not owned
  BytecodeDecoder dec_;   // used when compressed
  bool compressed_;       // bytecode (plain or inside zlib)
  bool swap_;             // other byte order
  double sysmis_;         // the file's system-missing value
};

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

void allocate_columns(SavDictionary& dict, int rows) {
  for (RecordVariable& rv : dict.vars) {
    rv.var.column.reset(rows, 1, rv.width == 0,
                        rv.width == 0 ? Matrix::Fill::None : Matrix::Fill::Absent);
  }
}

std::vector<ColumnPlan> make_plans(SavDictionary& dict) {
  std::vector<ColumnPlan> plans;
  plans.reserve(dict.vars.size());
  for (RecordVariable& rv : dict.vars) {
    Matrix& c = rv.var.column;
    plans.push_back(ColumnPlan{&rv, c.numeric() ? c.num() : nullptr, c.numeric() ? nullptr : c.str()});
  }
  return plans;
}

// Reads one string value into `text` (bytes as in the file).
SlotReader::Slot read_string(SlotReader& slots, const RecordVariable& rv, std::string& text) {
  text.clear();
  const size_t nseg = rv.segments.size();
  for (size_t k = 0; k < nseg; ++k) {
    const Segment& seg = rv.segments[k];
    // A segment before the last gives 255 of its bytes (the 256th is padding).
    const int keep = k + 1 < nseg ? std::min(seg.bytes, kSegmentBytes) : seg.bytes;
    int taken = 0;
    for (int s = 0; s < seg.slots; ++s) {
      uint8_t chunk[8];
      const SlotReader::Slot r = slots.chunk(chunk);
      if (r == SlotReader::Slot::End || r == SlotReader::Slot::Broken) return r;
      const int n = std::clamp(keep - taken, 0, 8);
      text.append(reinterpret_cast<const char*>(chunk), size_t(n));
      taken += n;
    }
  }
  if (text.size() > size_t(rv.width)) text.resize(size_t(rv.width));
  const size_t last = text.find_last_not_of(' ');
  text.resize(last == std::string::npos ? 0 : last + 1);
  return SlotReader::Slot::Bytes;
}

}  // namespace

bool read_cases(SavFile& in, SavDictionary& dict, TextDecoder& decoder,
                std::vector<std::string>& warnings, int& cases_read) {
  cases_read = 0;
  const SavHeader& h = dict.header;
  const bool compressed = h.compression != kCompressNone;
  std::unique_ptr<ZlibWindow> zwin;
  uint64_t data_bytes = in.remaining();
  if (h.compression == kCompressZlib) {
    int64_t zheader_ofs, ztrailer_ofs, ztrailer_len;
    const uint64_t here = in.offset();
    if (!in.read_i64(zheader_ofs) || !in.read_i64(ztrailer_ofs) || !in.read_i64(ztrailer_len))
      return false;
    if (uint64_t(zheader_ofs) != here || ztrailer_ofs < zheader_ofs + int64_t(kZHeaderBytes) ||
        uint64_t(ztrailer_ofs) > here + kZHeaderBytes + in.remaining())
      return false;
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
  if (known && h.case_count > max_rows) return false;  // cannot all be there
  int rows = known ? h.case_count : std::min(max_rows, kUnknownCountStart);
  allocate_columns(dict, rows);
  std::vector<ColumnPlan> plans = make_plans(dict);

  SlotReader slots(window, compressed, h.bias, in.swap, dict.sysmis);
  std::string text;
  // One case into row `row`: Bytes when whole, End when the data ended
  // before it, Broken when they ended inside it or are corrupt.
  auto read_case = [&](int row) {
    for (size_t v = 0; v < plans.size(); ++v) {
      ColumnPlan& p = plans[v];
      SlotReader::Slot r;
      if (p.num) {
        r = slots.number(p.num[row]);
      } else {
        r = read_string(slots, *p.rv, text);
        if (r == SlotReader::Slot::Bytes) {
          decoder.convert(text);
          p.str[row] = text;
        }
      }
      if (r == SlotReader::Slot::End && v > 0) return SlotReader::Slot::Broken;
      if (r == SlotReader::Slot::End || r == SlotReader::Slot::Broken) return r;
    }
    return SlotReader::Slot::Bytes;
  };

  int row = 0;
  for (; !known || row < h.case_count; ++row) {
    if (row == rows) {
      // Unknown count: grow geometrically within the bound.
      if (rows >= max_rows) break;
      rows = int(std::min<int64_t>(int64_t(rows) * 2, max_rows));
      for (RecordVariable& rv : dict.vars) fit_rows(rv.var.column, rows);
      plans = make_plans(dict);
    }
    const SlotReader::Slot r = read_case(row);
    if (r == SlotReader::Slot::End && !known) break;
    if (r != SlotReader::Slot::Bytes) {
      warnings.push_back("the data end or break off in case " + std::to_string(row + 1));
      return false;
    }
  }
  if (zwin && zwin->broken()) return false;
  if (!known)
    for (RecordVariable& rv : dict.vars) fit_rows(rv.var.column, row);
  cases_read = row;
  return true;
}

}  // namespace vop::sav
