#include "output/table.h"

#include <cmath>

#include "core/errors.h"

namespace vop {

namespace {

// Border values beyond this are no code of the model; clamping keeps the
// conversion to int defined.
constexpr double kBorderClamp = 1e6;

std::string_view text_of(const StrCell& cell) {
  return cell ? std::string_view(*cell) : std::string_view();
}

bool absent(const Matrix* m) { return m == nullptr || m->size() == 0; }

std::optional<Colour> colour_at(const Matrix* m, int r, int c) {
  if (!m) return std::nullopt;
  return colour_from_value(m->at(r, c));
}

std::optional<int> border_at(const Matrix* m, int line) {
  if (!m) return std::nullopt;
  const double v = (*m)[line];
  if (!std::isfinite(v)) return std::nullopt;
  return int(std::trunc(std::fmax(-kBorderClamp, std::fmin(kBorderClamp, v))));
}

// A colour part: (h + R) x (v + C) numbers.
bool check_colours(const Matrix* m, int grid_rows, int grid_cols, ErrorState& err) {
  if (m->rows() != grid_rows || m->cols() != grid_cols) return err.raise(kErrDims);
  if (!m->numeric()) return err.raise(kErrNumeric);
  return true;
}

// A border part: exactly `lines` numbers in any shape.
bool check_borders(const Matrix* m, int lines, ErrorState& err) {
  if (m->size() != lines) return err.raise(kErrDims);
  if (!m->numeric()) return err.raise(kErrNumeric);
  return true;
}

}  // namespace

std::string_view Table::cell_text(int i, int c) const { return text_of(parts_.data->sat(i, c)); }

std::string_view Table::row_label(int i, int j) const {
  if (!parts_.row_labels) return {};
  return text_of(parts_.row_labels->sat(i, j));
}

std::string_view Table::col_label(int k, int c) const {
  if (!parts_.col_labels) return {};
  return text_of(parts_.col_labels->sat(k, c));
}

std::optional<Colour> Table::text_colour(int r, int c) const { return colour_at(parts_.text_colours, r, c); }
std::optional<Colour> Table::back_colour(int r, int c) const { return colour_at(parts_.back_colours, r, c); }
std::optional<int> Table::h_border(int line) const { return border_at(parts_.h_borders, line); }
std::optional<int> Table::v_border(int line) const { return border_at(parts_.v_borders, line); }

std::optional<Table> CheckTable(const TableParts& given, ErrorState& err) {
  // The first absent part ends the list.
  TableParts p = given;
  const Matrix** order[] = {&p.data, &p.row_labels, &p.col_labels, &p.text_colours,
                            &p.back_colours, &p.h_borders, &p.v_borders};
  bool ended = false;
  for (const Matrix** part : order) {
    if (!*part) ended = true;
    if (ended) *part = nullptr;
  }
  if (!p.data) {
    err.raise(kErrMissingArgs);
    return std::nullopt;
  }

  Table t;
  t.rows_ = p.data->rows();
  t.cols_ = p.data->cols();

  // Headings count only with at least one row.
  if (p.row_labels && p.row_labels->rows() == 0) p.row_labels = nullptr;
  if (p.row_labels) {
    if (p.row_labels->rows() != t.rows_) return err.raise(kErrDims), std::nullopt;
    if (p.row_labels->numeric()) return err.raise(kErrString), std::nullopt;
    t.head_cols_ = p.row_labels->cols();
  }
  if (p.col_labels && p.col_labels->rows() == 0) p.col_labels = nullptr;
  if (p.col_labels) {
    if (p.col_labels->cols() != t.cols_) return err.raise(kErrDims), std::nullopt;
    if (p.col_labels->numeric()) return err.raise(kErrString), std::nullopt;
    t.head_rows_ = p.col_labels->rows();
  }

  // Empty optional parts count as absent.
  for (const Matrix** part : {&p.text_colours, &p.back_colours, &p.h_borders, &p.v_borders})
    if (absent(*part)) *part = nullptr;
  for (const Matrix* colours : {p.text_colours, p.back_colours})
    if (colours && !check_colours(colours, t.grid_rows(), t.grid_cols(), err)) return std::nullopt;
  if (p.h_borders && !check_borders(p.h_borders, t.grid_rows() + 1, err)) return std::nullopt;
  if (p.v_borders && !check_borders(p.v_borders, t.grid_cols() + 1, err)) return std::nullopt;

  t.parts_ = p;
  return t;
}

}  // namespace vop
