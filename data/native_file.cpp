// Organised as the format is: primitive encodings (a buffered writer and a
// checked reader), then the writer, then the reader. Numeric columns are
// copied to and from the file in one block on little-endian hosts.
#include "data/native_file.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "core/save_file.h"
#include "data/name_case.h"

namespace vop {

namespace {

constexpr char kMagic[3] = {'V', 'O', 'P'};
constexpr uint16_t kVersion = 1;
constexpr char kMoreMultiple = '1';  // introduces a multiple-variable entry
constexpr char kEndMultiple = '0';   // ends the multiple variables
// Longest text a u16 length field holds.
constexpr size_t kMaxText = std::numeric_limits<uint16_t>::max();
// Smallest file space one case of one variable takes (an empty text's
// length field): with the file's size it bounds the cells a file can hold,
// so a damaged count cannot make the reader allocate beyond the file.
constexpr int64_t kMinCellBytes = 2;
constexpr bool kLittleHost = std::endian::native == std::endian::little;

bool valid_missing_code(int code) { return code >= -3 && code <= 3 && code != -1; }

// --- Primitive encodings ---------------------------------------------------

class Writer {
 public:
  explicit Writer(std::FILE* f) : f_(f) {}
  void bytes(const void* p, size_t n) {
    if (ok_ && std::fwrite(p, 1, n, f_) != n) ok_ = false;
  }
  void u16(uint16_t v) {
    const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
    bytes(b, 2);
  }
  void i32(int32_t v) {
    const uint32_t u = uint32_t(v);
    const unsigned char b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    bytes(b, 4);
  }
  void f64(double v) {
    const uint64_t u = std::bit_cast<uint64_t>(v);
    unsigned char b[8];
    for (int k = 0; k < 8; ++k) b[k] = uint8_t(u >> (8 * k));
    bytes(b, 8);
  }
  void text(const std::optional<std::string>& s) {
    if (!s) return u16(0);
    if (s->size() > kMaxText) {
      ok_ = false;
      return;
    }
    u16(uint16_t(s->size()));
    bytes(s->data(), s->size());
  }
  void column(const Matrix& m) {
    const int n = m.rows();
    if (!m.numeric()) {
      for (int r = 0; r < n; ++r) text(m.str()[r]);
    } else if (kLittleHost) {
      bytes(m.num(), size_t(n) * sizeof(double));
    } else {
      for (int r = 0; r < n; ++r) f64(m[r]);
    }
  }
  bool ok() const { return ok_; }

 private:
  std::FILE* f_;     // the open file; not owned
  bool ok_ = true;   // every write so far succeeded
};

// Reads with a check on every step: a short read marks the reader failed,
// and later reads return zeros, so callers test once per entry.
class Reader {
 public:
  explicit Reader(std::FILE* f) : f_(f) {}
  bool bytes(void* p, size_t n) {
    if (ok_ && std::fread(p, 1, n, f_) != n) ok_ = false;
    if (!ok_) std::memset(p, 0, n);
    return ok_;
  }
  uint8_t byte() {
    uint8_t b = 0;
    bytes(&b, 1);
    return b;
  }
  uint16_t u16() {
    unsigned char b[2];
    bytes(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
  }
  int32_t i32() {
    unsigned char b[4];
    bytes(b, 4);
    return int32_t(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) |
                   (uint32_t(b[3]) << 24));
  }
  double f64() {
    unsigned char b[8];
    bytes(b, 8);
    uint64_t u = 0;
    for (int k = 0; k < 8; ++k) u |= uint64_t(b[k]) << (8 * k);
    return std::bit_cast<double>(u);
  }
  std::optional<std::string> text() {
    const uint16_t n = u16();
    if (n == 0 || !ok_) return std::nullopt;
    std::string s(n, '\0');
    bytes(s.data(), n);
    return s;
  }
  void column(Matrix& m) {
    const int n = m.rows();
    if (!m.numeric()) {
      for (int r = 0; r < n && ok_; ++r) m.str()[r] = text();
    } else if (kLittleHost) {
      bytes(m.num(), size_t(n) * sizeof(double));
    } else {
      for (int r = 0; r < n && ok_; ++r) m[r] = f64();
    }
  }
  bool ok() const { return ok_; }
  void fail() { ok_ = false; }

 private:
  std::FILE* f_;     // the open file; not owned
  bool ok_ = true;   // every read so far was complete and consistent
};

// --- Writing -------------------------------------------------------------------

void write_variable(Writer& w, const DataVariable& v) {
  w.u16(v.numeric() ? 1 : 0);
  w.text(v.name());
  w.text(v.label);
  for (int x : {v.format_type, v.format_width, v.decimals, v.display_width, v.alignment,
                v.missing_code})
    w.i32(x);
  for (double m : v.missing_values) w.f64(m);
  w.i32(v.label_count());
  for (const ValueLabel& l : v.value_labels) {
    w.f64(l.value);
    w.text(l.text);
  }
}

void write_multiple(Writer& w, const MultipleVariable& m) {
  w.bytes(&kMoreMultiple, 1);
  w.text(m.name);
  w.text(m.label);
  w.u16(uint16_t(m.member_count()));
  for (const std::string& name : m.members) w.text(name);
  w.u16(uint16_t(m.counted_count()));
  for (double c : m.counted_values) w.f64(c);
}

bool write_all(std::FILE* f, const Dataset& ds) {
  for (const MultipleVariable& m : ds.multiple_variables())
    if (size_t(m.member_count()) > kMaxText || size_t(m.counted_count()) > kMaxText) return false;
  Writer w(f);
  w.bytes(kMagic, sizeof kMagic);
  w.u16(kVersion);
  w.i32(ds.case_count());
  w.i32(ds.variable_count());
  w.text(ds.weight_name());
  for (int i = 0; i < ds.variable_count(); ++i) write_variable(w, ds.variable(i));
  for (const MultipleVariable& m : ds.multiple_variables()) write_multiple(w, m);
  w.bytes(&kEndMultiple, 1);
  for (int i = 0; i < ds.variable_count() && w.ok(); ++i) w.column(ds.variable(i).column);
  return w.ok();
}

// --- Reading -------------------------------------------------------------------

bool read_variable(Reader& r, Dataset& ds) {
  const bool numeric = r.u16() != 0;
  std::optional<std::string> name = r.text();
  if (!r.ok() || !name || !valid_variable_name(*name)) return false;
  to_upper_name(*name);
  DataVariable v = make_variable(std::move(*name), numeric, ds.case_count());
  v.label = r.text();
  v.format_type = r.i32();
  v.format_width = r.i32();
  v.decimals = r.i32();
  v.display_width = r.i32();
  v.alignment = r.i32();
  v.missing_code = r.i32();
  for (double& m : v.missing_values) m = r.f64();
  const int32_t labels = r.i32();
  if (!r.ok() || labels < 0 || !valid_missing_code(v.missing_code)) return false;
  for (int32_t k = 0; k < labels && r.ok(); ++k) {
    ValueLabel l;
    l.value = r.f64();
    l.text = r.text().value_or(std::string());
    v.value_labels.push_back(std::move(l));
  }
  return r.ok() && ds.append_variable(std::move(v));
}

bool read_multiple(Reader& r, Dataset& ds) {
  MultipleVariable m;
  std::optional<std::string> name = r.text();
  if (!name || (*name)[0] != '$') return false;
  m.name = std::move(*name);
  m.label = r.text();
  const uint16_t members = r.u16();
  for (uint16_t k = 0; k < members && r.ok(); ++k) {
    std::optional<std::string> member = r.text();
    if (!member || !ds.find(*member)) return false;
    m.members.push_back(std::move(*member));
  }
  const uint16_t counted = r.u16();
  for (uint16_t k = 0; k < counted && r.ok(); ++k) {
    const double c = r.f64();
    if (!std::isfinite(c)) return false;
    m.counted_values.push_back(c);
  }
  m.kind = counted ? MultipleKind::Dichotomy : MultipleKind::Category;
  if (!r.ok()) return false;
  ds.multiple_variables().push_back(std::move(m));
  return true;
}

int64_t file_size(std::FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(f);
  if (std::fseek(f, 0, SEEK_SET) != 0) return -1;
  return size;
}

bool read_all(std::FILE* f, Dataset& ds) {
  const int64_t size = file_size(f);
  Reader r(f);
  char magic[sizeof kMagic];
  if (size < 0 || !r.bytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0)
    return false;
  r.u16();  // version: every version so far reads the same way
  const int32_t cases = r.i32();
  const int32_t vars = r.i32();
  if (!r.ok() || cases < 0 || vars < 0 || kMinCellBytes * cases * std::max(vars, 1) > size)
    return false;
  ds.set_case_count(cases);
  std::optional<std::string> weight = r.text();
  for (int32_t i = 0; i < vars; ++i)
    if (!read_variable(r, ds)) return false;
  for (;;) {
    const uint8_t b = r.byte();
    if (!r.ok()) return false;
    if (b == uint8_t(kEndMultiple)) break;
    if (b != uint8_t(kMoreMultiple) || !read_multiple(r, ds)) return false;
  }
  for (int32_t i = 0; i < vars && r.ok(); ++i) r.column(ds.variable(i).column);
  if (!r.ok()) return false;
  if (weight && ds.find(*weight)) ds.set_weight_name(std::move(weight));
  return true;
}

}  // namespace

bool write_native(const std::string& path, const Dataset& ds, ErrorState& err) {
  if (!save_file(path, [&](std::FILE* f) { return write_all(f, ds); }))
    return err.raise(kErrSpssFile);
  return true;
}

bool read_native(const std::string& path, Dataset& ds, ErrorState& err) {
  ds.close();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return err.raise(kErrSpssFile);
  const bool ok = read_all(f, ds);
  std::fclose(f);
  if (!ok) {
    ds.close();
    return err.raise(kErrSpssFile);
  }
  ds.set_file_name(path);
  return true;
}

}  // namespace vop
