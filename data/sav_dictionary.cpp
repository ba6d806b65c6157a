// Dictionary records of a system file, in the order they come: header,
// variable records, value labels, documents, extension records, terminator.
// Every count and length is checked against the bytes that remain before it
// is used; a record whose size cannot be trusted fails the file, a record
// whose content is merely odd is dropped with a warning.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "data/sav_dictionary.h"
#include "data/sav_format.h"
#include "data/sav_text_records.h"

namespace vop::sav {

namespace {

// Smallest sizes of repeated items, used to bound counts by what remains.
constexpr uint64_t kMinValueLabelBytes = 16;  // 8-byte value + 8 padded text
constexpr int kIntegerInfoCount = 8;
constexpr int kCharacterCodeField = 7;        // position in subtype 3
constexpr int kFloatInfoCount = 3;

// The state shared by the record readers of one file.
struct DictReader {
  SavFile& in;
  SavDictionary& dict;
  std::vector<std::string>& warnings;
  std::vector<int> slot_owner;   // slot index -> index in dict.vars (-1: continuation)
  size_t long_name_from = 0;     // subtype 13 search start
  bool short_names_set = false;  // subtype 13 was applied

  void warn(std::string w) { warnings.push_back(std::move(w)); }
  // Says why the file cannot be read; false, for `return r.fail(...)`.
  bool fail(std::string why) {
    if (dict.failure.empty()) dict.failure = std::move(why);
    return false;
  }
};

// Names in the records are bytes of a code page that may only be known
// from a later record: they are kept as written and upper-cased once they
// are UTF-8 (decode_texts). Until then the records refer to each other by
// these bytes; writers agree on them up to the case of ASCII letters.
bool same_raw_name(std::string_view a, std::string_view b) {
  auto fold = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return fold(x) == fold(y); });
}

std::string trim_name(const char* raw, size_t n) {
  std::string s(raw, n);
  const size_t sp = s.find_first_of(std::string_view(" \0", 2));
  if (sp != std::string::npos) s.resize(sp);
  return s;
}

bool read_header(DictReader& r) {
  uint8_t h[kHeaderSize];
  if (r.in.remaining() == 0) return r.fail("the file is empty");
  // The magic first, so that a short file of another kind is named as such.
  const size_t head = size_t(std::min<uint64_t>(r.in.remaining(), kHeaderSize));
  if (!r.in.read(h, head)) return r.fail("the file cannot be read");
  const bool zlib = head >= 4 && std::memcmp(h, kMagicZlib, 4) == 0;
  if (!zlib && (head < 4 || std::memcmp(h, kMagicPlain, 4) != 0)) {
    // Encrypted system files begin with a length byte and "ENCRYPTEDSAV".
    if (head >= 17 && std::memcmp(h + 8, "ENCRYPTED", 9) == 0)
      return r.fail("the file is encrypted (save it unencrypted)");
    return r.fail("not an SPSS system file (it does not begin with $FL2 or $FL3)");
  }
  if (head < kHeaderSize) return r.fail("the file ends inside its header");
  int32_t layout;
  std::memcpy(&layout, h + 64, 4);
  if (layout != kLayoutCodeA && layout != kLayoutCodeB) {
    layout = int32_t(__builtin_bswap32(uint32_t(layout)));
    if (layout != kLayoutCodeA && layout != kLayoutCodeB)
      return r.fail("the header's layout code is neither 2 nor 3 in either byte order");
    r.in.swap = true;
  }
  auto i32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, h + at, 4);
    return int32_t(r.in.swap ? __builtin_bswap32(v) : v);
  };
  SavHeader& hd = r.dict.header;
  hd.compression = i32(72);
  hd.weight_index = i32(76);
  hd.case_count = i32(80);
  uint64_t bias_bits;
  std::memcpy(&bias_bits, h + 84, 8);
  if (r.in.swap) bias_bits = __builtin_bswap64(bias_bits);
  std::memcpy(&hd.bias, &bias_bits, 8);
  const bool known = hd.compression == kCompressNone || hd.compression == kCompressBytecode ||
                     hd.compression == kCompressZlib;
  if (!known) return r.fail("an unknown compression code " + std::to_string(hd.compression));
  if ((hd.compression == kCompressZlib) != zlib)
    return r.fail(zlib ? "a $FL3 file whose header does not say zlib compression"
                       : "zlib compression in a $FL2 file");
  if (hd.case_count < -1) hd.case_count = -1;
  return true;
}

// Missing values that follow a variable record with this code.
int missing_value_count(int32_t code) {
  switch (code) {
    case 0: case 1: case 2: case 3: return code;
    case kMissingRange: return 2;
    case kMissingRangeAndValue: return 3;
    default: return -1;
  }
}

bool read_variable_record(DictReader& r) {
  int32_t type, has_label, missing_code, print, write;
  char name[kShortNameSize];
  if (!r.in.read_i32(type) || !r.in.read_i32(has_label) || !r.in.read_i32(missing_code) ||
      !r.in.read_i32(print) || !r.in.read_i32(write) || !r.in.read(name, kShortNameSize))
    return false;
  const int slot = int(r.slot_owner.size());
  std::string label;
  bool labelled = false;
  if (has_label == 1) {
    int32_t len;
    if (!r.in.read_i32(len) || len < 0 || uint64_t(len) > r.in.remaining()) return false;
    label.resize(size_t(len));
    if (!r.in.read(label.data(), label.size()) || !r.in.skip(uint64_t((4 - len % 4) % 4)))
      return false;
    labelled = true;
  } else if (has_label != 0) {
    return false;
  }
  const int nmiss = missing_value_count(missing_code);
  if (nmiss < 0) return false;
  double miss[3] = {0, 0, 0};
  for (int i = 0; i < nmiss; ++i)
    if (!r.in.read_f64(miss[i])) return false;

  if (type == kContinuation) {
    // One more slot of the previous string variable.
    if (r.dict.vars.empty() || r.dict.vars.back().width == 0) return false;
    r.dict.vars.back().segments.back().slots++;
    r.slot_owner.push_back(-1);
    return true;
  }
  if (type < 0 || type > kMaxShortString) return false;
  RecordVariable rv;
  const bool numeric = type == 0;
  rv.var = make_variable(trim_name(name, kShortNameSize), numeric, 0);
  rv.var.format_type = (print >> 16) & 0xFF;
  rv.var.format_width = (print >> 8) & 0xFF;
  rv.var.decimals = print & 0xFF;
  rv.var.dictionary_index = slot;
  rv.var.missing_code = missing_code;
  for (int i = 0; i < 3; ++i) rv.var.missing_values[size_t(i)] = miss[i];
  if (labelled) rv.var.label = std::move(label);
  rv.width = type;
  rv.var.string_width = type;
  rv.segments.push_back(Segment{type, 1});
  if (slot + 1 == r.dict.header.weight_index) {
    if (numeric) r.dict.weight_name = rv.var.name();
    else r.warn("the weight variable is a string; the file is read unweighted");
  }
  r.slot_owner.push_back(int(r.dict.vars.size()));
  r.dict.vars.push_back(std::move(rv));
  return true;
}

// Record 3 with its record 4. `next_type` receives a record type read in
// place of the expected 4 (the pair then ends with nothing attached).
bool read_value_labels(DictReader& r, int32_t& next_type) {
  next_type = 0;
  int32_t count;
  if (!r.in.read_i32(count) || count < 0 || uint64_t(count) > r.in.remaining() / kMinValueLabelBytes)
    return false;
  std::vector<ValueLabel> labels(static_cast<size_t>(count));
  for (ValueLabel& vl : labels) {
    uint8_t raw[8];
    uint8_t len;
    if (!r.in.read(raw, 8) || !r.in.read(&len, 1)) return false;
    if (r.in.swap) std::reverse(raw, raw + 8);
    std::memcpy(&vl.value, raw, 8);
    vl.text.resize(len);
    if (!r.in.read(vl.text.data(), len)) return false;
    if (!r.in.skip(uint64_t(round_up8(1 + len) - 1 - len))) return false;
  }
  int32_t type;
  if (!r.in.read_i32(type)) return false;
  if (type != kRecLabelIndexes) {
    r.warn("value labels without a variable-index record ignored");
    next_type = type;
    return true;
  }
  int32_t nvars;
  if (!r.in.read_i32(nvars) || nvars < 0 || uint64_t(nvars) > r.in.remaining() / 4) return false;
  for (int32_t k = 0; k < nvars; ++k) {
    int32_t index;
    if (!r.in.read_i32(index)) return false;
    const int64_t slot = int64_t(index) - 1;  // any int32 the file holds, even the lowest
    if (slot < 0 || slot >= int64_t(r.slot_owner.size()) || r.slot_owner[size_t(slot)] < 0) {
      r.warn("value labels for an unknown variable index " + std::to_string(index) + " ignored");
      continue;
    }
    RecordVariable& rv = r.dict.vars[size_t(r.slot_owner[size_t(slot)])];
    // The dataset keeps value labels of numbers only: a string's labelled
    // values are texts that a double cannot hold.
    if (rv.width != 0) continue;
    rv.var.value_labels = labels;
  }
  return true;
}

bool read_document(DictReader& r) {
  int32_t lines;
  if (!r.in.read_i32(lines) || lines < 0 ||
      uint64_t(lines) > r.in.remaining() / kDocumentLineSize)
    return false;
  return r.in.skip(uint64_t(lines) * kDocumentLineSize);
}

// --- Extension records -----------------------------------------------------

void apply_integer_info(DictReader& r, const std::vector<int32_t>& v) {
  if (v.size() == size_t(kIntegerInfoCount)) r.dict.character_code = v[kCharacterCodeField];
}

void apply_display(DictReader& r, const std::vector<int32_t>& v) {
  const size_t n = r.dict.vars.size();
  const size_t fields = n > 0 && v.size() == 3 * n ? 3 : n > 0 && v.size() == 2 * n ? 2 : 0;
  if (fields == 0) {
    r.warn("variable display record does not fit the variables; ignored");
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    DataVariable& dv = r.dict.vars[i].var;
    const int32_t* f = &v[i * fields];
    dv.measure = f[0];
    if (dv.measure == 0 && r.dict.vars[i].width > 0) dv.measure = 1;
    if (fields == 3) {
      if (f[1] > 0) dv.display_width = f[1];
    } else {
      dv.display_width = 8;
    }
    const int32_t align = f[fields - 1];
    dv.alignment = align == 0 || align == 1 ? align : 2;
  }
}

// Index of the variable matched by `pred`, searching forward from `from` and
// then from the start; -1 when none.
template <class Pred>
int find_from(const std::vector<RecordVariable>& vars, size_t from, Pred pred) {
  for (size_t k = 0; k < vars.size(); ++k) {
    const size_t i = (from + k) % vars.size();
    if (pred(vars[i])) return int(i);
  }
  return -1;
}

void apply_long_names(DictReader& r, std::string_view text) {
  for (auto& [short_name_, long_name] : parse_long_names(text, r.warnings)) {
    const std::string& short_name = short_name_;  // lambdas capture no structured bindings before clang 16
    const int i = find_from(r.dict.vars, r.long_name_from, [&](const RecordVariable& rv) {
      return !rv.var.short_name && same_raw_name(rv.var.name(), short_name);
    });
    if (i < 0) {
      r.warn("long name for unknown variable " + short_name + " ignored");
      continue;
    }
    DataVariable& dv = r.dict.vars[size_t(i)].var;
    if (r.dict.weight_name && *r.dict.weight_name == dv.name()) r.dict.weight_name = long_name;
    dv.short_name = dv.name();
    dv.column.set_name(std::move(long_name));
    r.long_name_from = size_t(i) + 1;
  }
  r.short_names_set = true;
}

void apply_very_long_strings(DictReader& r, std::string_view text) {
  auto& vars = r.dict.vars;
  size_t from = 0;
  for (auto& [short_name_, width] : parse_very_long_strings(text, r.warnings)) {
    const std::string& short_name = short_name_;  // lambdas capture no structured bindings before clang 16
    // Variables without a short name (no long-name record) match by name.
    const int i = find_from(vars, from, [&](const RecordVariable& rv) {
      return same_raw_name(rv.var.short_name ? *rv.var.short_name : rv.var.name(), short_name);
    });
    const int nseg = segments(width) - 1;
    if (i < 0 || width <= kMaxShortString || vars[size_t(i)].width != kSegmentBytes ||
        size_t(i) + size_t(nseg) >= vars.size()) {
      r.warn("very long string entry " + short_name + "=" + std::to_string(width) + " ignored");
      continue;
    }
    bool all_strings = true;
    for (int k = 1; k <= nseg; ++k) all_strings = all_strings && vars[size_t(i + k)].width > 0;
    if (!all_strings) {
      r.warn("very long string " + short_name + " has numeric segments; entry ignored");
      continue;
    }
    RecordVariable& rv = vars[size_t(i)];
    for (int k = 1; k <= nseg; ++k) {
      RecordVariable& seg = vars[size_t(i + k)];
      rv.var.segment_names.push_back(seg.var.short_name ? *seg.var.short_name : seg.var.name());
      rv.segments.push_back(seg.segments.front());
    }
    vars.erase(vars.begin() + i + 1, vars.begin() + i + 1 + nseg);
    rv.width = width;
    rv.var.string_width = width;
    rv.var.format_width = width;
    from = size_t(i) + 1;
  }
  // Later value-label records find variables by their first slot.
  std::fill(r.slot_owner.begin(), r.slot_owner.end(), -1);
  for (size_t i = 0; i < vars.size(); ++i)
    r.slot_owner[size_t(vars[i].var.dictionary_index)] = int(i);
}

bool read_extension(DictReader& r) {
  int32_t subtype, size, count;
  if (!r.in.read_i32(subtype) || !r.in.read_i32(size) || !r.in.read_i32(count)) return false;
  if (size < 0 || count < 0) return false;
  const uint64_t bytes = uint64_t(size) * uint64_t(count);
  if (bytes > r.in.remaining()) return false;

  // Subtypes of 32-bit integers, with the element size they must have.
  auto ints = [&](std::vector<int32_t>& v) {
    v.resize(size_t(count));
    for (int32_t& x : v)
      if (!r.in.read_i32(x)) return false;
    return true;
  };
  auto wrong_size = [&](int expected) {
    r.warn("extension record " + std::to_string(subtype) + " has element size " +
           std::to_string(size) + " instead of " + std::to_string(expected) + "; skipped");
    return r.in.skip(bytes);
  };
  switch (subtype) {
    case kExtIntegerInfo:
    case kExtDisplay: {
      if (size != 4) return wrong_size(4);
      std::vector<int32_t> v;
      if (!ints(v)) return false;
      if (subtype == kExtIntegerInfo) apply_integer_info(r, v);
      else apply_display(r, v);
      return true;
    }
    case kExtFloatInfo: {
      if (size != 8) return wrong_size(8);
      std::vector<double> v(static_cast<size_t>(count));
      for (double& x : v)
        if (!r.in.read_f64(x)) return false;
      if (count == kFloatInfoCount) r.dict.sysmis = v[0];
      return true;
    }
    case kExtMrSets:
    case kExtLongNames:
    case kExtVeryLongStrings:
    case kExtEncoding: {
      if (size != 1) return wrong_size(1);
      std::string text(size_t(bytes), '\0');
      if (!r.in.read(text.data(), text.size())) return false;
      if (subtype == kExtMrSets) {
        // Each set read goes to the head of the list, as DataAddMVar puts a
        // new one: after reading, the sets stand in the reverse of the file's
        // order (and a file written from that list reads back in the first).
        for (MultipleVariable& m : parse_mrsets(text, r.warnings))
          r.dict.mrsets.insert(r.dict.mrsets.begin(), std::move(m));
      } else if (subtype == kExtLongNames) {
        apply_long_names(r, text);
      } else if (subtype == kExtVeryLongStrings) {
        apply_very_long_strings(r, text);
      } else {
        r.dict.encoding = text;
      }
      return true;
    }
    default:
      return r.in.skip(bytes);
  }
}

}  // namespace

bool read_dictionary(SavFile& in, SavDictionary& dict, std::vector<std::string>& warnings) {
  DictReader r{in, dict, warnings, {}};
  if (!read_header(r)) return false;
  int32_t type;
  if (!in.read_i32(type)) return r.fail("the file ends after its header");
  for (;;) {
    int32_t next = 0;
    const uint64_t at = in.offset() - 4;  // where the record began
    auto damaged = [&] {
      return r.fail("the dictionary record at byte " + std::to_string(at) + " (type " + std::to_string(type) +
                    ") is cut short or damaged");
    };
    switch (type) {
      case kRecVariable:
        if (!read_variable_record(r)) return damaged();
        break;
      case kRecValueLabels:
        if (!read_value_labels(r, next)) return damaged();
        break;
      case kRecDocument:
        if (!read_document(r)) return damaged();
        break;
      case kRecExtension:
        if (!read_extension(r)) return damaged();
        break;
      case kRecEnd: {
        int32_t filler;
        if (!in.read_i32(filler)) return damaged();
        dict.total_slots = 0;
        for (RecordVariable& rv : dict.vars) {
          for (Segment& s : rv.segments) {
            s.bytes = std::min(s.bytes, s.slots * 8);  // fewer slots than the width says
            dict.total_slots += s.slots;
          }
        }
        return !dict.vars.empty() || r.fail("the dictionary defines no variables");
      }
      default:
        // Nothing after an unknown record can be found.
        return r.fail("an unknown record type " + std::to_string(type) + " at byte " + std::to_string(at));
    }
    if (next != 0) type = next;
    else if (!in.read_i32(type)) return r.fail("the file ends inside the dictionary, at byte " + std::to_string(in.offset()));
  }
}

}  // namespace vop::sav
