// Cross-tabulation: categories, the coding of cases in blocks, and the
// counting loop (two threads on large files).
#include "data/crosstab.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace vop::tab {

namespace {

// Survey codes are mostly small whole numbers: those are found through a
// table, anything else by binary search.
constexpr int kSmall = 4096;

bool small_code(double x) { return x >= 0 && x < kSmall && x == std::floor(x); }

bool valid(const DataVariable& v, double x) { return !std::isnan(x) && !is_user_missing(v, x); }

bool counted_value(const Source& s, const DataVariable& v, double x) {
  if (!valid(v, x)) return false;
  return std::find(s.counted.begin(), s.counted.end(), x) != s.counted.end();
}

// Value to category number of one source.
class CategoryIndex {
 public:
  explicit CategoryIndex(const Source& s) : values_(s.categories) {
    if (s.dichotomy) return;
    small_.assign(kSmall, -1);
    for (size_t k = 0; k < values_.size(); ++k)
      if (small_code(values_[k])) small_[size_t(values_[k])] = int(k);
  }
  int operator()(double x) const {
    if (small_code(x)) return small_[size_t(x)];
    auto it = std::lower_bound(values_.begin(), values_.end(), x);
    return it != values_.end() && *it == x ? int(it - values_.begin()) : -1;
  }

 private:
  const std::vector<double>& values_;
  std::vector<int> small_;
};

// The categories the cases of one block give for one source: case i has
// cat[off[i] .. off[i+1]).
struct Coded {
  std::vector<int> off;
  std::vector<int> cat;
};

constexpr int kBlock = 2048;

// Below this many cases one thread does the work.
constexpr int kThreadedCases = 65536;

void code_block(const Source& s, const CategoryIndex& index, const data::CaseList& cases,
                int first, int n, Coded* out) {
  out->off.resize(size_t(n) + 1);
  out->cat.clear();
  out->off[0] = 0;
  const size_t m = s.members.size();
  for (int i = 0; i < n; ++i) {
    const int row = cases.row(first + i);
    const size_t start = out->cat.size();
    for (size_t j = 0; j < m; ++j) {
      const DataVariable& v = *s.members[j];
      const double x = v.column.num()[row];
      int k;
      if (s.dichotomy) {
        k = counted_value(s, v, x) ? int(j) : -1;
      } else {
        k = valid(v, x) ? index(x) : -1;
      }
      if (k < 0) continue;
      // A case that gives a category through two members counts once.
      if (m > 1 && std::find(out->cat.begin() + long(start), out->cat.end(), k) != out->cat.end())
        continue;
      out->cat.push_back(k);
    }
    out->off[size_t(i) + 1] = int(out->cat.size());
  }
}

struct Layout {
  std::vector<int> row_first;  // first row of each row source
  std::vector<int> col_first;  // first column of each column source
  int rows = 0, cols = 1;
};

Layout layout_of(const std::vector<Source>& rows, const std::vector<Source>& cols) {
  Layout l;
  for (const Source& s : rows) {
    l.row_first.push_back(l.rows);
    l.rows += int(s.categories.size());
  }
  for (const Source& s : cols) {
    l.col_first.push_back(l.cols);
    l.cols += int(s.categories.size());
  }
  return l;
}

bool single(const Source& s) { return s.members.size() == 1 && !s.dichotomy; }

// The category of every case of a block for a single variable, -1 for
// none.
void code_single(const Source& s, const CategoryIndex& index, const data::CaseList& cases,
                 int first, int n, int offset, std::vector<int>* out) {
  const DataVariable& v = *s.members[0];
  const double* x = v.column.num();
  out->resize(size_t(n));
  const bool plain = v.missing_code == 0;
  for (int i = 0; i < n; ++i) {
    const double value = x[cases.row(first + i)];
    int k = -1;
    if (!std::isnan(value) && (plain || !is_user_missing(v, value))) k = index(value);
    (*out)[size_t(i)] = k < 0 ? -1 : k + offset;
  }
}

// Counts of the cases in positions [begin, end) of `cases`. Single
// variables (the common case) take a path of their own: one category per
// case, and a row variable's bases are the sums of its cells, added up
// afterwards.
struct Counter {
  const std::vector<Source>& rows;
  const std::vector<Source>& cols;
  const data::CaseList& cases;
  const double* weights;
  const Layout& l;

  void run(int begin, int end, std::vector<Cell>* cells, std::vector<Cell>* bases) const {
    std::vector<CategoryIndex> row_index, col_index;
    for (const Source& s : rows) row_index.emplace_back(s);
    for (const Source& s : cols) col_index.emplace_back(s);
    std::vector<Coded> col_codes(cols.size());
    std::vector<std::vector<int>> col_single(cols.size());
    Coded rc;
    std::vector<int> rk;
    std::vector<double> w(kBlock);
    const size_t R = size_t(l.rows);
    const size_t K = rows.size();
    Cell* cell = cells->data();
    Cell* base = bases->data();
    for (int first = begin; first < end; first += kBlock) {
      const int n = std::min(kBlock, end - first);
      for (int i = 0; i < n; ++i) {
        const double x = weights ? weights[cases.row(first + i)] : 1.0;
        w[size_t(i)] = x > 0 && std::isfinite(x) ? x : 0.0;
      }
      for (size_t c = 0; c < cols.size(); ++c) {
        if (single(cols[c])) {
          code_single(cols[c], col_index[c], cases, first, n, l.col_first[c], &col_single[c]);
        } else {
          code_block(cols[c], col_index[c], cases, first, n, &col_codes[c]);
        }
      }
      for (size_t r = 0; r < K; ++r) {
        const size_t row0 = size_t(l.row_first[r]);
        if (single(rows[r])) {
          code_single(rows[r], row_index[r], cases, first, n, int(row0), &rk);
          count_single(cell, R, rk.data(), w.data(), n, nullptr);
          for (size_t c = 0; c < cols.size(); ++c) {
            if (single(cols[c])) {
              count_single(cell, R, rk.data(), w.data(), n, col_single[c].data());
              continue;
            }
            const Coded& cc = col_codes[c];
            for (int i = 0; i < n; ++i) {
              const int k = rk[size_t(i)];
              if (k < 0 || w[size_t(i)] == 0) continue;
              for (int q = cc.off[size_t(i)]; q < cc.off[size_t(i) + 1]; ++q)
                cell[size_t(l.col_first[c] + cc.cat[size_t(q)]) * R + size_t(k)].add(w[size_t(i)]);
            }
          }
          continue;
        }
        code_block(rows[r], row_index[r], cases, first, n, &rc);
        for (int i = 0; i < n; ++i) {
          const double wt = w[size_t(i)];
          const int rb = rc.off[size_t(i)], re = rc.off[size_t(i) + 1];
          if (wt == 0 || rb == re) continue;
          add_set(cell, base, R, K, r, row0, rc, rb, re, 0, wt);
          for (size_t c = 0; c < cols.size(); ++c) {
            if (single(cols[c])) {
              const int col = col_single[c][size_t(i)];
              if (col >= 0) add_set(cell, base, R, K, r, row0, rc, rb, re, col, wt);
              continue;
            }
            const Coded& cc = col_codes[c];
            for (int q = cc.off[size_t(i)]; q < cc.off[size_t(i) + 1]; ++q)
              add_set(cell, base, R, K, r, row0, rc, rb, re, l.col_first[c] + cc.cat[size_t(q)], wt);
          }
        }
      }
    }
    // A single variable's bases: every counted case is in one of its cells.
    for (size_t r = 0; r < K; ++r) {
      if (!single(rows[r])) continue;
      for (size_t col = 0; col < size_t(l.cols); ++col) {
        Cell sum;
        for (size_t k = 0; k < rows[r].categories.size(); ++k)
          sum.merge(cell[col * R + size_t(l.row_first[r]) + k]);
        base[r + col * K].merge(sum);
      }
    }
  }

  // Rows `rk` (absolute, -1 none) against columns `col` (absolute, -1
  // none; null for Total).
  static void count_single(Cell* cell, size_t R, const int* rk, const double* w, int n,
                           const int* col) {
    for (int i = 0; i < n; ++i) {
      const int k = rk[i];
      const int c = col ? col[i] : 0;
      if (k < 0 || c < 0 || w[i] == 0) continue;
      cell[size_t(c) * R + size_t(k)].add(w[i]);
    }
  }

  static void add_set(Cell* cell, Cell* base, size_t R, size_t K, size_t r, size_t row0,
                      const Coded& rc, int rb, int re, int col, double wt) {
    base[r + size_t(col) * K].add(wt);
    Cell* column = cell + size_t(col) * R + row0;
    for (int k = rb; k < re; ++k) column[rc.cat[size_t(k)]].add(wt);
  }
};

}  // namespace

bool find_categories(Source& s, const data::CaseList& cases) {
  s.categories.clear();
  if (s.dichotomy) {
    for (size_t j = 0; j < s.members.size(); ++j) s.categories.push_back(double(j + 1));
    return true;
  }
  // Values are gathered without the missing-value test, which depends on
  // the value alone and is applied once to each distinct value at the end.
  std::vector<uint8_t> seen(kSmall, 0);
  std::vector<double> other;
  auto compact = [&] {
    std::sort(other.begin(), other.end());
    other.erase(std::unique(other.begin(), other.end()), other.end());
  };
  for (const DataVariable* v : s.members) {
    for (const ValueLabel& vl : v->value_labels) other.push_back(vl.value);
    const double* x = v->column.num();
    for (int i = 0; i < cases.count; ++i) {
      const double value = x[cases.all ? i : cases.rows[size_t(i)]];
      if (small_code(value)) {
        seen[size_t(value)] = 1;
      } else if (!std::isnan(value)) {
        other.push_back(value);
        // Compact now and then, so that a column of distinct values stops
        // early.
        if (other.size() > size_t(4 * kMaxCategories)) {
          compact();
          if (other.size() > size_t(kMaxCategories) + s.members.size() * kSmall) return false;
        }
      }
    }
  }
  compact();
  for (int k = 0; k < kSmall; ++k)
    if (seen[size_t(k)]) other.push_back(k);
  compact();
  // A value is a category when it is not missing for some member.
  for (double x : other) {
    bool counts = false;
    for (const DataVariable* v : s.members) counts = counts || !is_user_missing(*v, x);
    if (counts) s.categories.push_back(x);
  }
  return s.categories.size() <= size_t(kMaxCategories);
}

int find_categories(const std::vector<Source*>& sources, const data::CaseList& cases) {
  std::vector<uint8_t> ok(sources.size(), 1);
  auto work = [&](size_t from, size_t step) {
    for (size_t k = from; k < sources.size(); k += step) ok[k] = find_categories(*sources[k], cases);
  };
  if (cases.count < kThreadedCases || sources.size() < 2) {
    work(0, 1);
  } else {
    std::thread other([&] { work(1, 2); });
    work(0, 2);
    other.join();
  }
  for (size_t k = 0; k < sources.size(); ++k)
    if (!ok[k]) return int(k);
  return -1;
}

Tables crosstab(const std::vector<Source>& rows, const std::vector<Source>& cols,
                const data::CaseList& cases, const double* weights) {
  const Layout l = layout_of(rows, cols);
  const size_t ncells = size_t(l.rows) * size_t(l.cols);
  const size_t nbases = rows.size() * size_t(l.cols);
  Tables t;
  t.rows = l.rows;
  t.cols = l.cols;
  t.cells.assign(ncells, {});
  t.bases.assign(nbases, {});
  const Counter counter{rows, cols, cases, weights, l};
  if (cases.count < kThreadedCases) {
    counter.run(0, cases.count, &t.cells, &t.bases);
  } else {
    // The second half on a thread of its own, added in afterwards.
    const int half = cases.count / 2 / kBlock * kBlock;
    std::vector<Cell> cells2(ncells), bases2(nbases);
    std::thread other([&] { counter.run(half, cases.count, &cells2, &bases2); });
    counter.run(0, half, &t.cells, &t.bases);
    other.join();
    for (size_t k = 0; k < ncells; ++k) t.cells[k].merge(cells2[k]);
    for (size_t k = 0; k < nbases; ++k) t.bases[k].merge(bases2[k]);
  }
  for (size_t r = 0; r < rows.size(); ++r)
    for (double v : rows[r].categories) {
      t.row_source.push_back(int(r) + 1);
      t.row_value.push_back(v);
    }
  t.col_source.push_back(0);
  t.col_value.push_back(NAN);
  for (size_t c = 0; c < cols.size(); ++c)
    for (double v : cols[c].categories) {
      t.col_source.push_back(int(c) + 1);
      t.col_value.push_back(v);
    }
  return t;
}

}  // namespace vop::tab
