#include "builtins/cumulative.h"

#include "builtins/arg_checks.h"

namespace vop::builtins {

namespace {

struct CumEntry {
  std::string_view name;  // builtin name
  CumRuns runs;           // how the elements are split into runs
};

constexpr CumEntry kCumulatives[] = {
    {"cum", CumRuns::Plain}, {"ccum", CumRuns::Columns}, {"rcum", CumRuns::Rows},
    {"mcum", CumRuns::All}};

// Writes the running sums of `in` into `out`; the two may be the same
// storage, since each element is read before it is written.
void accumulate(CumRuns runs, const double* in, double* out, int64_t rows, int64_t cols) {
  if (runs == CumRuns::Plain) runs = (rows == 1 || cols == 1) ? CumRuns::All : CumRuns::Columns;
  const int64_t n = rows * cols;
  switch (runs) {
    case CumRuns::All: {
      double s = 0;
      for (int64_t k = 0; k < n; ++k) out[k] = s += in[k];
      break;
    }
    case CumRuns::Columns:
      for (int64_t j = 0; j < cols; ++j) {
        double s = 0;
        for (int64_t i = j * rows; i < (j + 1) * rows; ++i) out[i] = s += in[i];
      }
      break;
    case CumRuns::Rows:
      // Column by column, so that memory is read in order: each column adds
      // the running sums of the one before it.
      for (int64_t i = 0; i < rows && cols > 0; ++i) out[i] = in[i];
      for (int64_t j = 1; j < cols; ++j)
        for (int64_t i = 0; i < rows; ++i) out[i + j * rows] = out[i + (j - 1) * rows] + in[i + j * rows];
      break;
    case CumRuns::Plain:
      break;
  }
}

}  // namespace

std::optional<CumRuns> find_cumulative(std::string_view name) {
  for (const auto& e : kCumulatives)
    if (e.name == name) return e.runs;
  return std::nullopt;
}

std::optional<Matrix> cumulative(CumRuns runs, const Matrix& x, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  auto out = new_matrix(x.rows(), x.cols(), true, Matrix::Fill::None, err);
  if (!out) return std::nullopt;
  accumulate(runs, x.num(), out->num(), x.rows(), x.cols());
  return out;
}

std::optional<Matrix> cumulative(CumRuns runs, Matrix&& x, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  accumulate(runs, x.num(), x.num(), x.rows(), x.cols());
  x.clear_name();
  return std::move(x);
}

}  // namespace vop::builtins
