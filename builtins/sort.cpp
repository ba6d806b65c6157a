// An index sort: the key column is ordered once into a permutation, then
// every column is gathered through it, so rows stay together and each
// column is read once.
//
// Numeric keys are mapped to unsigned integers that order as the numbers
// do and sorted by a least-significant-digit radix sort: linear time, and
// stable, so equal keys keep their original order. Survey columns hold few
// distinct values, whose low mantissa bits are all alike; the passes over
// digits that every key shares are skipped, so a column of codes costs two
// passes. String keys use a comparison sort with the position as tie-break.
#include "builtins/sort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

#include "builtins/arg_checks.h"

namespace vop::builtins {

int compare_cells(const StrCell& a, const StrCell& b) {
  if (!a || !b) return int(bool(a)) - int(bool(b));
  return std::strcmp(a->c_str(), b->c_str());
}

namespace {

// Below this many keys a comparison sort beats the fixed cost of the radix
// passes (clearing and scanning their histograms).
constexpr int64_t kRadixMinKeys = 4096;
// Byte digits: eight passes over 64 bits. Wider digits make fewer passes
// but scatter each one into thousands of places at once, which measured
// slower (11-bit digits took 1.5x as long on a million random keys).
constexpr int kDigitBits = 8;
constexpr int kDigits = (64 + kDigitBits - 1) / kDigitBits;
constexpr size_t kBuckets = size_t(1) << kDigitBits;
constexpr uint64_t kDigitMask = kBuckets - 1;

// An unsigned integer that orders as the number does: a negative number
// has all its bits flipped, any other only its sign bit. Both zeros are one
// key and every NaN takes the largest key, after every number.
uint64_t ordered_bits(double x) {
  if (std::isnan(x)) return ~uint64_t(0);
  if (x == 0) x = 0.0;
  const uint64_t b = std::bit_cast<uint64_t>(x);
  return (b >> 63) ? ~b : b | (uint64_t(1) << 63);
}

std::vector<int32_t> comparison_order(const double* keys, int64_t n) {
  std::vector<std::pair<uint64_t, int32_t>> items(static_cast<size_t>(n));
  for (int64_t i = 0; i < n; ++i) items[size_t(i)] = {ordered_bits(keys[i]), int32_t(i)};
  std::sort(items.begin(), items.end());
  std::vector<int32_t> order(static_cast<size_t>(n));
  for (int64_t i = 0; i < n; ++i) order[size_t(i)] = items[size_t(i)].second;
  return order;
}

std::vector<int32_t> radix_order(const double* keys, int64_t n) {
  const size_t len = size_t(n);
  std::vector<uint64_t> key(len), key_next(len);
  std::vector<int32_t> order(len), order_next(len);
  // All histograms in one read of the keys.
  std::vector<std::array<uint32_t, kBuckets>> counts(kDigits);
  for (auto& c : counts) c.fill(0);
  for (size_t i = 0; i < len; ++i) {
    const uint64_t k = ordered_bits(keys[i]);
    key[i] = k;
    order[i] = int32_t(i);
    for (int d = 0; d < kDigits; ++d) ++counts[size_t(d)][(k >> (d * kDigitBits)) & kDigitMask];
  }
  for (int d = 0; d < kDigits; ++d) {
    auto& c = counts[size_t(d)];
    const int shift = d * kDigitBits;
    // A digit that every key shares leaves the order as it is.
    if (c[(key[0] >> shift) & kDigitMask] == uint32_t(n)) continue;
    uint32_t start = 0;
    for (uint32_t& b : c) start += std::exchange(b, start);
    for (size_t i = 0; i < len; ++i) {
      const uint32_t to = c[(key[i] >> shift) & kDigitMask]++;
      key_next[to] = key[i];
      order_next[to] = order[i];
    }
    key.swap(key_next);
    order.swap(order_next);
  }
  return order;
}

}  // namespace

std::vector<int32_t> ascending_order(const double* keys, int64_t n) {
  return n < kRadixMinKeys ? comparison_order(keys, n) : radix_order(keys, n);
}

std::vector<int32_t> ascending_order(const StrCell* keys, int64_t n) {
  std::vector<int32_t> order(static_cast<size_t>(n));
  for (int64_t i = 0; i < n; ++i) order[size_t(i)] = int32_t(i);
  std::sort(order.begin(), order.end(), [keys](int32_t a, int32_t b) {
    const int c = compare_cells(keys[a], keys[b]);
    return c < 0 || (c == 0 && a < b);
  });
  return order;
}

namespace {

// How X is sorted: the contiguous key and the segments that move with it.
struct SortPlan {
  int64_t key_start = 0;  // linear index of the first key element
  int64_t length = 0;     // number of keys, and elements per segment
  int64_t segments = 0;   // segments permuted alike (columns, or the one row)
};

std::optional<SortPlan> plan_sort(const Matrix& x, const Matrix* k, ErrorState& err) {
  if (!k) {
    if (x.rows() == 1) return SortPlan{0, x.cols(), 1};
    return SortPlan{0, x.rows(), x.cols()};
  }
  if (!need_numeric(*k, err) || !need_scalar(*k, err)) return std::nullopt;
  auto col = index_of((*k)[0], x.cols(), err);
  if (!col) return std::nullopt;
  return SortPlan{int64_t(*col) * x.rows(), x.rows(), x.cols()};
}

std::vector<int32_t> order_of(const Matrix& x, const SortPlan& plan, SortOrder dir) {
  auto order = x.numeric() ? ascending_order(x.num() + plan.key_start, plan.length)
                           : ascending_order(x.str() + plan.key_start, plan.length);
  if (dir == SortOrder::Descending) std::reverse(order.begin(), order.end());
  return order;
}

Matrix permutation_column(const std::vector<int32_t>& order) {
  Matrix perm(int(order.size()), 1, true, Matrix::Fill::None);
  for (size_t i = 0; i < order.size(); ++i) perm[int64_t(i)] = order[i] + 1;
  return perm;
}

// dst segment s, element i = src segment s, element order[i]. Elements are
// moved out of a mutable source (the in-place sort's own segment) and
// copied from a const one.
template <class S, class T>
void gather(S* src, T* dst, const std::vector<int32_t>& order, const SortPlan& plan) {
  for (int64_t s = 0; s < plan.segments; ++s) {
    S* from = src + s * plan.length;
    T* to = dst + s * plan.length;
    for (int64_t i = 0; i < plan.length; ++i) to[i] = std::move(from[order[size_t(i)]]);
  }
}

// Positions are kept as 32-bit integers to halve the sort's memory; a
// matrix dimension is an int, so every position fits.
static_assert(sizeof(int) <= sizeof(int32_t));

}  // namespace

std::optional<SortResult> sort_rows(const Matrix& x, const Matrix* k, SortOrder dir,
                                    ErrorState& err, CancelToken cancel) {
  if (x.size() == 0) return SortResult{x.clone(), Matrix(x.rows(), 1, true)};
  auto plan = plan_sort(x, k, err);
  if (!plan) return std::nullopt;
  const auto order = order_of(x, *plan, dir);
  auto out = new_matrix(x.rows(), x.cols(), x.numeric(),
                        x.numeric() ? Matrix::Fill::None : Matrix::Fill::Absent, err);
  if (!out) return std::nullopt;
  const SortPlan one{0, plan->length, 1};
  for (int64_t s = 0; s < plan->segments; ++s) {
    if (cancel.stop_requested()) return err.raise(kErrStopped), std::nullopt;
    const int64_t at = s * plan->length;
    if (x.numeric()) gather(x.num() + at, out->num() + at, order, one);
    else gather(x.str() + at, out->str() + at, order, one);
  }
  return SortResult{std::move(*out), permutation_column(order)};
}

std::optional<Matrix> sort_rows_in_place(Matrix& x, const Matrix* k, SortOrder dir,
                                         ErrorState& err, CancelToken cancel) {
  if (x.size() == 0) return Matrix(x.rows(), 1, true);
  auto plan = plan_sort(x, k, err);
  if (!plan) return std::nullopt;
  const auto order = order_of(x, *plan, dir);
  if (cancel.stop_requested()) return err.raise(kErrStopped), std::nullopt;
  // One segment at a time through a scratch segment.
  SortPlan one{0, plan->length, 1};
  if (x.numeric()) {
    std::vector<double> scratch(static_cast<size_t>(plan->length));
    for (int64_t s = 0; s < plan->segments; ++s) {
      double* seg = x.num() + s * plan->length;
      gather(seg, scratch.data(), order, one);
      std::copy(scratch.begin(), scratch.end(), seg);
    }
  } else {
    std::vector<StrCell> scratch(static_cast<size_t>(plan->length));
    for (int64_t s = 0; s < plan->segments; ++s) {
      StrCell* seg = x.str() + s * plan->length;
      gather(seg, scratch.data(), order, one);
      std::move(scratch.begin(), scratch.end(), seg);
    }
  }
  return permutation_column(order);
}

}  // namespace vop::builtins
