// The writer in the order of the file: preparation (widths, slots, short
// names), header, variable records, value labels, extension records, the
// terminator, and the bytecode-compressed cases; save_file puts them on disk.
#include "data/sav_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "core/save_file.h"
#include "data/block_ring.h"
#include "data/sav_cells.h"
#include "data/sav_format.h"
#include "data/sav_output.h"

namespace vop {

namespace sav {
namespace {

constexpr char kProduct[] = "@(#) SPSS DATA FILE MS Windows Release 12.0 spssio32.dll-Vop";
constexpr int32_t kIntegerInfo[8] = {13, 0, 0, 720, 1, 1, 2, 2};
constexpr int kMaxStringWidth = 32767;   // widest string a system file holds
constexpr int kMaxSegmentDisplay = 32;   // display width of a later segment
constexpr int kDefaultSegmentDisplay = 8;
constexpr int32_t kContinuationFormat = 0x00011D01;
constexpr char kStdoutName[] = "stdout";
constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// What the preparation pass decides for one variable.
struct VarPlan {
  DataVariable* var;        // the variable; owned by the dataset
  int width;                // 0 numeric, else the string width written
  std::string short_name;   // name in the variable record (unique in the file)
};

// Cut s to at most n bytes without splitting a UTF-8 character.
std::string_view utf8_prefix(std::string_view s, size_t n) {
  if (s.size() <= n) return s;
  while (n > 0 && (uint8_t(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

std::string lower_ascii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

std::string numbered(const char* pattern, int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, pattern, n);
  return buf;
}

// The one warning of a save: a value too long for any string of the file.
// Once per variable, with its longest value, so a long column does not
// bury the output under one line per case.
std::string cut_warning(const std::string& name, size_t longest) {
  return "Warning: variable " + name + ": a value of " + std::to_string(longest) +
         " bytes is cut to " + std::to_string(kMaxStringWidth) + " bytes.";
}

// Widths, dictionary indexes and short names. Returns the weight index;
// `warnings` gets a line for each variable whose values must be cut.
int prepare(Dataset& ds, std::vector<VarPlan>& plans, int& slot_count,
            std::vector<std::string>& warnings) {
  slot_count = 0;
  int weight_index = 0;
  std::unordered_set<std::string> used;
  for (int i = 0; i < ds.variable_count(); ++i) {
    DataVariable& v = ds.variable(i);
    if (v.short_name) used.insert(*v.short_name);
  }
  for (int i = 0; i < ds.variable_count(); ++i) {
    DataVariable& v = ds.variable(i);
    VarPlan p{&v, 0, {}};
    v.dictionary_index = slot_count;
    if (v.numeric()) {
      slot_count += 1;
      if (!weight_index && ds.weight_name() && *ds.weight_name() == v.name())
        weight_index = slot_count;
    } else {
      // A width must hold every value; an all-empty string still needs one
      // byte, or its record would say "numeric".
      size_t longest = 0;
      for (int r = 0; r < v.column.rows(); ++r)
        if (const StrCell& s = v.column.sat(r, 0)) longest = std::max(longest, s->size());
      if (longest > size_t(kMaxStringWidth)) warnings.push_back(cut_warning(v.name(), longest));
      const int need = int(std::min<size_t>(longest, kMaxStringWidth));
      v.string_width = std::clamp(std::max(v.string_width, need), 1, kMaxStringWidth);
      p.width = v.string_width;
      slot_count += string_slots(p.width);
    }
    if (v.short_name && !v.short_name->empty() && v.short_name->size() <= kShortNameSize) {
      p.short_name = *v.short_name;
    } else {
      p.short_name = numbered("VAR%05d", i + 1);
      for (int k = 1; used.count(p.short_name); ++k) p.short_name = numbered("V%07d", k);
      used.insert(p.short_name);
    }
    plans.push_back(std::move(p));
  }
  return weight_index;
}

void write_header(SavOutput& out, int slots, int weight_index, int cases) {
  out.raw(kMagicPlain, 4);
  out.text(kProduct, kProductSize);
  out.i32(kLayoutCodeA);
  out.i32(slots);
  out.i32(kCompressBytecode);
  out.i32(weight_index);
  out.i32(cases);
  out.f64(kDefaultBias);
  char date[16] = "01 Jan 70";
  char time_text[16] = "00:00:00";
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  if (now != std::time_t(-1) && localtime_r(&now, &tm)) {
    std::snprintf(date, sizeof date, "%02d %s %02d", tm.tm_mday, kMonths[tm.tm_mon % 12],
                  tm.tm_year % 100);
    std::snprintf(time_text, sizeof time_text, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  }
  out.text(date, kDateSize);
  out.text(time_text, kTimeSize);
  out.text("", kFileLabelSize);
  out.text("", kHeaderPadding, '\0');
}

void write_continuations(SavOutput& out, int segment_width) {
  if (segment_width < 9) return;
  for (int k = (segment_width - 9) / 8 + 1; k > 0; --k) {
    out.i32(kRecVariable);
    out.i32(kContinuation);
    out.i32(0);
    out.i32(0);
    out.i32(kContinuationFormat);
    out.i32(kContinuationFormat);
    out.text("", kShortNameSize);
  }
}

// Whether the missing values of v can go into its variable record: any for
// numbers; for strings only discrete values of short strings, which is all
// that readers accept there.
bool writes_missing(const DataVariable& v, int width) {
  if (width == 0) return true;
  return v.missing_code >= 1 && v.missing_code <= 3 && width <= 8;
}

void write_variables(SavOutput& out, const std::vector<VarPlan>& plans) {
  int segment_counter = 0;
  std::unordered_set<std::string> used;
  for (const VarPlan& p : plans) used.insert(p.short_name);
  for (const VarPlan& p : plans) {
    const DataVariable& v = *p.var;
    const int w = p.width;
    const int first = w == 0 ? 0 : segment_width(w, 0);
    const int32_t fmt = w == 0 ? format_word(v.format_type, v.format_width, v.decimals)
                               : format_word(v.format_type, first,
                                             v.format_type == 1 || v.format_type == 2 ? 0 : v.decimals);
    const int missing = writes_missing(v, w) ? v.missing_code : 0;
    out.i32(kRecVariable);
    out.i32(first);
    out.i32(v.label ? 1 : 0);
    out.i32(missing);
    out.i32(fmt);
    out.i32(fmt);
    out.text(p.short_name, kShortNameSize);
    if (v.label) {
      const std::string_view label = utf8_prefix(*v.label, kMaxVarLabel);
      out.i32(int32_t(label.size()));
      out.text(label, (label.size() + 3) / 4 * 4);
    }
    for (int k = 0; k < std::abs(missing); ++k) out.f64(v.missing_values[size_t(k)]);
    write_continuations(out, first);
    for (int k = 1; w > 0 && k < segments(w); ++k) {
      const int sw = segment_width(w, k);
      // A segment keeps the name it was read with unless that name is
      // already taken in this file: readers rename duplicates, which would
      // split the very long string apart.
      std::string name;
      if (size_t(k - 1) < v.segment_names.size()) name = v.segment_names[size_t(k - 1)];
      if (name.empty() || name.size() > kShortNameSize || !used.insert(name).second) {
        do name = numbered("VAR00%d", segment_counter++);
        while (used.count(name));
        used.insert(name);
      }
      const int32_t sfmt = format_word(kFormatA, std::max(sw, 1), 0);
      out.i32(kRecVariable);
      out.i32(sw);
      out.i32(0);
      out.i32(0);
      out.i32(sfmt);
      out.i32(sfmt);
      out.text(name, kShortNameSize);
      ++segment_counter;
      write_continuations(out, sw);
    }
    out.drain();
  }
}

void write_value_labels(SavOutput& out, const std::vector<VarPlan>& plans) {
  for (const VarPlan& p : plans) {
    const DataVariable& v = *p.var;
    if (p.width != 0 || v.value_labels.empty()) continue;
    out.i32(kRecValueLabels);
    out.i32(int32_t(v.value_labels.size()));
    for (const ValueLabel& vl : v.value_labels) {
      const std::string_view text = utf8_prefix(vl.text, kMaxValueLabel);
      out.f64(vl.value);
      const uint8_t len = uint8_t(text.size());
      out.raw(&len, 1);
      out.text(text, size_t(round_up8(1 + len) - 1), '\0');
    }
    out.i32(kRecLabelIndexes);
    out.i32(1);
    out.i32(v.dictionary_index + 1);
    out.drain();
  }
}

void write_extension_header(SavOutput& out, int32_t subtype, int32_t size, int32_t count) {
  out.i32(kRecExtension);
  out.i32(subtype);
  out.i32(size);
  out.i32(count);
}

void write_text_extension(SavOutput& out, int32_t subtype, const std::string& text) {
  write_extension_header(out, subtype, 1, int32_t(text.size()));
  out.raw(text.data(), text.size());
}

std::string mrsets_text(const Dataset& ds, const std::vector<VarPlan>& plans) {
  std::string t;
  for (const MultipleVariable& m : ds.multiple_variables()) {
    t += m.name + "=";
    if (m.kind == MultipleKind::Dichotomy) {
      const double counted = m.counted_values.empty() ? 1 : m.counted_values[0];
      char buf[32];
      std::snprintf(buf, sizeof buf, "D8 %-8lld ", static_cast<long long>(counted));
      t += buf;
    } else {
      t += "C ";
    }
    if (m.label) t += std::to_string(m.label->size()) + " " + *m.label;
    else t += "0 ";
    for (const std::string& member : m.members) {
      const int i = ds.index_of(member);
      t += " " + (i >= 0 ? plans[size_t(i)].short_name : member);
    }
    t += "\n";
  }
  return t;
}

void write_extensions(SavOutput& out, const Dataset& ds, const std::vector<VarPlan>& plans) {
  write_extension_header(out, kExtIntegerInfo, 4, 8);
  for (int32_t v : kIntegerInfo) out.i32(v);
  write_extension_header(out, kExtFloatInfo, 8, 3);
  out.f64(kSysmis);
  out.f64(kHighest);
  out.f64(kLowest);
  if (!ds.multiple_variables().empty()) write_text_extension(out, kExtMrSets, mrsets_text(ds, plans));

  int total_segments = 0;
  for (const VarPlan& p : plans) total_segments += p.width == 0 ? 1 : segments(p.width);
  write_extension_header(out, kExtDisplay, 4, 3 * total_segments);
  for (const VarPlan& p : plans) {
    const DataVariable& v = *p.var;
    const int nseg = p.width == 0 ? 1 : segments(p.width);
    for (int k = 0; k < nseg; ++k) {
      out.i32(v.measure);
      int display = v.display_width;
      if (k > 0) {
        display = p.width - k * kSegmentStep;
        if (display == 0) display = kDefaultSegmentDisplay;
        display = std::min(display, kMaxSegmentDisplay);
      }
      out.i32(display);
      out.i32(v.alignment);
    }
  }

  std::string names;
  for (const VarPlan& p : plans) names += p.short_name + "=" + lower_ascii(p.var->name()) + "\t";
  if (!names.empty()) names.pop_back();
  write_text_extension(out, kExtLongNames, names);

  std::string widths;
  for (const VarPlan& p : plans)
    if (p.width > kMaxShortString) widths += p.short_name + "=" + std::to_string(p.width) + '\0' + '\t';
  if (!widths.empty()) write_text_extension(out, kExtVeryLongStrings, widths);

  write_text_extension(out, kExtEncoding, "UTF-8");
  out.i32(kRecEnd);
  out.i32(0);
  out.drain();
}

// Cases are gathered from the columns a chunk at a time into cells that
// stay in cache, then encoded. A chunk of whole cases whose cell count is a
// multiple of 8 encodes into whole command blocks, independent of the
// chunks around it, so chunks can be encoded side by side and their bytes
// written in order.
constexpr size_t kCellBlockBytes = size_t(512) << 10;
constexpr int kChunkCasesMultiple = 8;
// Chunks in flight between the two threads.
constexpr int kChunkSlots = 4;

// A string value's cells: each segment carries 255 value bytes (the last
// carries the rest), padded with spaces to its slots.
void gather_string(const StrCell& value, int width, uint64_t* cells) {
  const std::string_view s = value ? std::string_view(*value) : std::string_view();
  auto* bytes = reinterpret_cast<uint8_t*>(cells);
  const int nseg = segments(width);
  size_t at = 0;
  for (int k = 0; k < nseg; ++k) {
    const size_t room = size_t(round_up8(segment_width(width, k)));
    std::fill_n(cells + at / 8, room / 8, kSpacesCell);
    const size_t from = size_t(k) * kSegmentBytes;
    const size_t carry = k + 1 < nseg ? kSegmentBytes : room;
    if (from < s.size()) std::memcpy(bytes + at, s.data() + from, std::min(carry, s.size() - from));
    at += room;
  }
}

// Gathers and encodes chunks of cases; each thread that encodes has its own.
class ChunkEncoder {
 public:
  ChunkEncoder(const std::vector<VarPlan>& plans, const std::vector<bool>& string_slot,
               const std::vector<int>& first_slot, int chunk_cases)
      : plans_(plans),
        first_slot_(first_slot),
        slots_(string_slot.size()),
        enc_(kDefaultBias, string_slot),
        chunk_cells_(size_t(chunk_cases) * slots_),
        piece_(std::max(kChunkCasesMultiple,
                        int(kPieceBytes / (9 * slots_)) / kChunkCasesMultiple * kChunkCasesMultiple)),
        cells_(size_t(piece_) * slots_),
        codes_(cells_.size()) {}

  // Room for the bytecode of a chunk.
  size_t max_bytes() const { return CellEncoder::max_bytes(chunk_cells_); }

  // Write the bytecode of rows [r0, r0 + n) at out (max_bytes of room);
  // `last` pads the final command block. Returns the bytes written.
  size_t encode(int r0, int n, bool last, uint8_t* out) {
    uint8_t* end = out;
    for (int k = 0; k < n; k += piece_) end = encode_piece(r0 + k, std::min(piece_, n - k), end);
    if (last) end = enc_.finish(end);
    return size_t(end - out);
  }

 private:
  // Cases are gathered in pieces whose cells and codes stay in the core's
  // nearest cache, a column at a time, each value coded while it is at hand.
  static constexpr size_t kPieceBytes = size_t(128) << 10;

  uint8_t* encode_piece(int r0, int n, uint8_t* out) {
    const size_t slots = slots_;
    uint64_t* cells = cells_.data();
    uint8_t* codes = codes_.data();
    for (size_t v = 0; v < plans_.size(); ++v) {
      const Matrix& c = plans_[v].var->column;
      const size_t first = size_t(first_slot_[v]);
      if (plans_[v].width == 0) {
        const double* x = c.num() + r0;
        for (int k = 0; k < n; ++k) {
          const size_t at = size_t(k) * slots + first;
          cells[at] = std::bit_cast<uint64_t>(x[k]);
          codes[at] = CellEncoder::number_code(x[k], kDefaultBias);
        }
      } else {
        const StrCell* s = c.str() + r0;
        const int width = plans_[v].width;
        const size_t nslots = size_t(string_slots(width));
        for (int k = 0; k < n; ++k) {
          const size_t at = size_t(k) * slots + first;
          gather_string(s[k], width, cells + at);
          for (size_t j = 0; j < nslots; ++j) codes[at + j] = CellEncoder::string_code(cells[at + j]);
        }
      }
    }
    return enc_.encode_coded(cells, codes, size_t(n) * slots, out);
  }

  const std::vector<VarPlan>& plans_;
  const std::vector<int>& first_slot_;
  size_t slots_;
  CellEncoder enc_;
  size_t chunk_cells_;          // cells of a whole chunk
  int piece_;                   // cases per piece: a multiple of 8
  std::vector<uint64_t> cells_;  // a piece's cells
  std::vector<uint8_t> codes_;   // the code of each
};

// False when `cancel` stopped the write before all cases were handed out.
bool write_cases(SavOutput& out, const Dataset& ds, const std::vector<VarPlan>& plans,
                 uint64_t parallel_bytes, CancelToken cancel) {
  std::vector<bool> string_slot;
  std::vector<int> first_slot;
  for (const VarPlan& p : plans) {
    first_slot.push_back(int(string_slot.size()));
    string_slot.insert(string_slot.end(), size_t(p.width == 0 ? 1 : string_slots(p.width)),
                       p.width != 0);
  }
  const size_t slots = string_slot.size();
  if (slots == 0) {
    out.drain(true);
    return true;
  }
  const int cases = ds.case_count();
  const int round_up = (std::max(cases, 1) + kChunkCasesMultiple - 1) / kChunkCasesMultiple * kChunkCasesMultiple;
  const int chunk = std::min(round_up, std::max(kChunkCasesMultiple, int(kCellBlockBytes / (8 * slots)) /
                                                                        kChunkCasesMultiple * kChunkCasesMultiple));
  std::optional<ChunkEncoder> encoders[2];
  encoders[0].emplace(plans, string_slot, first_slot, chunk);
  struct Chunk {
    int r0 = 0, n = 0;
    std::unique_ptr<uint8_t[]> bytes;  // its bytecode, once encoded
    size_t size = 0;                   // bytes of it
  };
  std::vector<Chunk> chunks;
  const bool large = uint64_t(cases) * slots * 8 >= parallel_bytes;
  BlockRing ring(kChunkSlots, 1, large, [&](int slot, int, int worker) {
    Chunk& c = chunks[size_t(slot)];
    c.size = encoders[worker]->encode(c.r0, c.n, c.r0 + c.n == cases, c.bytes.get());
  });
  // The helper's encoder and the chunks exist before the first chunk is
  // handed out, and so before the helper can look at them.
  if (ring.has_helper()) encoders[1].emplace(plans, string_slot, first_slot, chunk);
  chunks.resize(size_t(ring.slot_count()));
  for (Chunk& c : chunks) c.bytes = std::make_unique_for_overwrite<uint8_t[]>(encoders[0]->max_bytes());
  // Chunks are written in the order they were handed out (the ring hands
  // out its slots in turn), each once its slot is needed again or at the end.
  int handed_out = 0;
  bool stopped = false;
  for (int r0 = 0; r0 < cases; r0 += chunk, ++handed_out) {
    if (cancel.stop_requested()) {
      stopped = true;
      break;
    }
    Chunk& c = chunks[size_t(ring.acquire())];
    if (c.n > 0) out.write(c.bytes.get(), c.size);
    c.r0 = r0;
    c.n = std::min(chunk, cases - r0);
    ring.publish();
  }
  ring.finish();
  if (stopped) return false;
  for (int b = std::max(0, handed_out - ring.slot_count()); b < handed_out; ++b) {
    const Chunk& c = chunks[size_t(b % ring.slot_count())];
    out.write(c.bytes.get(), c.size);
  }
  out.drain(true);
  return true;
}

// False when the file could not be written, or the write was stopped
// (`cancel` then says so).
bool write_all(std::FILE* f, Dataset& ds, std::vector<std::string>& warnings,
               uint64_t parallel_bytes, CancelToken cancel) {
  SavOutput out(f);
  std::vector<VarPlan> plans;
  int slots = 0;
  const int weight_index = prepare(ds, plans, slots, warnings);
  write_header(out, slots, weight_index, ds.case_count());
  write_variables(out, plans);
  write_value_labels(out, plans);
  write_extensions(out, ds, plans);
  if (!write_cases(out, ds, plans, parallel_bytes, cancel)) return false;
  return !out.failed() && std::fflush(f) == 0 && !std::ferror(f);
}

}  // namespace

}  // namespace sav

bool write_sav(const std::string& path, Dataset& ds, ErrorState& err,
               std::vector<std::string>* warnings, CancelToken cancel,
               const SavThreading& threads) {
  std::vector<std::string> cut;
  auto write = [&](std::FILE* f) { return sav::write_all(f, ds, cut, threads.write_bytes, cancel); };
  const bool ok = path == sav::kStdoutName ? write(stdout) : save_file(path, write);
  if (!ok) return err.raise(cancel.stop_requested() ? kErrStopped : kErrSpssFile);
  if (warnings)
    warnings->insert(warnings->end(), cut.begin(), cut.end());
  else
    for (const std::string& w : cut) std::fprintf(stderr, "%s\n", w.c_str());
  return true;
}

}  // namespace vop
