// Writing builds each line in one buffer; reading makes two passes over
// the file (shape and column kinds, then values) with one line in memory at
// a time, so a field of any length reads correctly and the file is never
// held whole.
#include "data/tab_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "core/save_file.h"

namespace vop {

namespace {

// Decimals of a written number: the "%f" convention.
constexpr int kDecimals = 6;
// Bytes read from the file at a time.
constexpr size_t kChunk = 1 << 16;
// Largest table a tab file may describe: the cells of every column are
// allocated up front, so a file that claims more fails cleanly instead of
// exhausting memory (2^31 cells is 16 GiB of numbers).
constexpr int64_t kMaxCells = int64_t(1) << 31;
// Most columns a tab file may have: each variable carries a dictionary
// entry, and no survey comes near a million variables.
constexpr size_t kMaxColumns = size_t(1) << 20;


// Reads a file line by line; a line is returned without its "\n" (and
// without a "\r" before it: files written on Windows read the same).
class LineReader {
 public:
  explicit LineReader(std::FILE* f) : f_(f), buf_(new char[kChunk]) {}

  // False at the end of the file. `ended` tells whether the line ended
  // with a newline (the last line of a file may not).
  bool next(std::string& line, bool& ended) {
    line.clear();
    for (;;) {
      if (pos_ == len_) {
        len_ = std::fread(buf_.get(), 1, kChunk, f_);
        pos_ = 0;
        if (len_ == 0) {
          ended = false;
          return !line.empty();
        }
      }
      const char* start = buf_.get() + pos_;
      const void* nl = std::memchr(start, '\n', len_ - pos_);
      if (!nl) {
        line.append(start, len_ - pos_);
        pos_ = len_;
        continue;
      }
      const size_t n = size_t(static_cast<const char*>(nl) - start);
      line.append(start, n);
      pos_ += n + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      ended = true;
      return true;
    }
  }
  bool failed() const { return std::ferror(f_) != 0; }

 private:
  std::FILE* f_;                  // the open file; not owned
  std::unique_ptr<char[]> buf_;   // the chunk being read
  size_t pos_ = 0;                // next unread byte of buf_
  size_t len_ = 0;                // bytes in buf_
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Whether the whole field is a decimal number: optional leading white
// space and sign, digits with an optional decimal point, optional exponent.
bool is_number(std::string_view f) {
  size_t i = 0;
  while (i < f.size() && is_space(f[i])) ++i;
  if (i < f.size() && (f[i] == '+' || f[i] == '-')) ++i;
  size_t digits = 0;
  while (i < f.size() && is_digit(f[i])) ++i, ++digits;
  if (i < f.size() && f[i] == '.') {
    ++i;
    while (i < f.size() && is_digit(f[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < f.size() && (f[i] == 'e' || f[i] == 'E')) {
    ++i;
    if (i < f.size() && (f[i] == '+' || f[i] == '-')) ++i;
    size_t exp = 0;
    while (i < f.size() && is_digit(f[i])) ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == f.size();
}

// The value of a field that is_number accepted.
double number_of(std::string_view f) {
  std::string s(f);
  return std::strtod(s.c_str(), nullptr);
}

// Calls fn(column, field) for each field of a line.
template <class Fn>
void for_each_field(std::string_view line, Fn&& fn) {
  size_t col = 0, start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      fn(col, line.substr(start));
      return;
    }
    fn(col++, line.substr(start, tab - start));
    start = tab + 1;
  }
}

// The shape of a tab file: columns, their kinds and the case count.
struct TabShape {
  std::vector<uint8_t> is_string;  // per column: a non-number was seen
  int64_t cases = 0;               // lines, the last one only when not empty
};

bool scan(std::FILE* f, TabShape& shape) {
  LineReader in(f);
  std::string line;
  bool ended = false;
  shape.is_string.assign(1, 0);
  while (in.next(line, ended)) {
    if (!ended && line.empty()) break;
    ++shape.cases;
    bool too_wide = false;
    for_each_field(line, [&](size_t col, std::string_view field) {
      if (col >= kMaxColumns) {
        too_wide = true;
        return;
      }
      if (col >= shape.is_string.size()) shape.is_string.resize(col + 1, 0);
      if (!field.empty() && !shape.is_string[col] && !is_number(field)) shape.is_string[col] = 1;
    });
    if (too_wide) return false;
  }
  return !in.failed();
}

bool fill(std::FILE* f, Dataset& ds, int cases) {
  LineReader in(f);
  std::string line;
  bool ended = false;
  const size_t ncols = size_t(ds.variable_count());
  std::vector<Matrix*> cols(ncols);
  for (size_t c = 0; c < ncols; ++c) cols[c] = &ds.variable(int(c)).column;
  for (int row = 0; row < cases && in.next(line, ended); ++row) {
    for_each_field(line, [&](size_t col, std::string_view field) {
      if (col >= ncols || field.empty()) return;  // empty: NaN / absent stays
      Matrix& m = *cols[col];
      if (m.numeric()) m[row] = number_of(field);
      else m.str()[row] = std::string(field);
    });
  }
  return !in.failed();
}

}  // namespace

std::string tab_file_name(std::string_view name) {
  std::string out(name);
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
  const size_t n = out.size();
  if (n >= 4 && out[n - 4] == '.' && lower(out[n - 3]) == 's' && lower(out[n - 2]) == 'a' &&
      lower(out[n - 1]) == 'v') {
    out[n - 3] = 't';
    out[n - 1] = 'b';
    return out;
  }
  return out + ".tab";
}

bool write_tab(const std::string& path, const Dataset& ds, ErrorState& err) {
  const int nvars = ds.variable_count();
  const int cases = ds.case_count();
  auto write = [&](std::FILE* f) {
    std::string line;
    char num[std::numeric_limits<double>::max_exponent10 + kDecimals + 8];
    for (int r = 0; r < cases; ++r) {
      line.clear();
      for (int v = 0; v < nvars; ++v) {
        const Matrix& col = ds.variable(v).column;
        if (col.numeric()) {
          const double x = col[r];
          if (std::isfinite(x)) {
            auto res = std::to_chars(num, num + sizeof num, x, std::chars_format::fixed, kDecimals);
            line.append(num, res.ptr);
          }
        } else if (const StrCell& s = col.str()[r]) {
          line += *s;
        }
        line += v + 1 < nvars ? '\t' : '\n';
      }
      if (std::fwrite(line.data(), 1, line.size(), f) != line.size()) return false;
    }
    return true;
  };
  if (!save_file(path, write)) return err.raise(kErrSpssFile);
  return true;
}

bool read_tab(const std::string& path, Dataset& ds, ErrorState& err) {
  ds.close();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return err.raise(kErrSpssFile);
  struct Closer {
    std::FILE* f;
    ~Closer() { std::fclose(f); }
  } closer{f};

  TabShape shape;
  const bool scanned = scan(f, shape);
  const int64_t ncols = int64_t(shape.is_string.size());
  if (!scanned || shape.cases > std::numeric_limits<int>::max() || shape.cases * ncols > kMaxCells)
    return err.raise(kErrSpssFile);

  const int cases = int(shape.cases);
  ds.set_case_count(cases);
  for (int64_t c = 0; c < ncols; ++c) {
    char name[24];
    std::snprintf(name, sizeof name, "V%lld", static_cast<long long>(c + 1));
    ds.append_variable(make_variable(name, !shape.is_string[size_t(c)], cases));
  }
  std::rewind(f);
  if (!fill(f, ds, cases)) {
    ds.close();
    return err.raise(kErrSpssFile);
  }
  ds.set_file_name(path);
  return true;
}

}  // namespace vop
