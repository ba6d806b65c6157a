#include "output/table.h"

#include <cmath>

#include "core/errors.h"

namespace vop {

namespace {

// Border values beyond this are no code of the model; clamping keeps the
// conversion to int defined.
constexpr double kBorderClamp = 1e6;

std::string text_of(const StrCell& cell) { return cell ? *cell : std::string(); }

bool absent(const Matrix* m) { return m == nullptr || m->size() == 0; }

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

// --- Conversion into the document model -------------------------------------

std::vector<DocCell> body_of(const Matrix& m) {
  std::vector<DocCell> cells;
  cells.reserve(size_t(m.size()));
  for (int i = 0; i < m.rows(); ++i)
    for (int c = 0; c < m.cols(); ++c) {
      if (m.numeric()) cells.emplace_back(m.at(i, c));
      else if (const StrCell& s = m.sat(i, c)) cells.emplace_back(*s);
      else cells.emplace_back();
    }
  return cells;
}

std::vector<std::string> labels_of(const Matrix* m) {
  std::vector<std::string> labels;
  if (!m) return labels;
  labels.reserve(size_t(m->size()));
  for (int r = 0; r < m->rows(); ++r)
    for (int c = 0; c < m->cols(); ++c) labels.push_back(text_of(m->sat(r, c)));
  return labels;
}

std::vector<std::optional<Colour>> colours_of(const Matrix* m) {
  std::vector<std::optional<Colour>> colours;
  if (!m) return colours;
  colours.reserve(size_t(m->size()));
  for (int r = 0; r < m->rows(); ++r)
    for (int c = 0; c < m->cols(); ++c) colours.push_back(colour_from_value(m->at(r, c)));
  return colours;
}

std::vector<std::optional<int>> borders_of(const Matrix* m) {
  std::vector<std::optional<int>> codes;
  if (!m) return codes;
  codes.reserve(size_t(m->size()));
  for (int64_t k = 0; k < m->size(); ++k) {
    const double v = (*m)[k];
    if (std::isfinite(v)) codes.push_back(int(std::trunc(std::fmax(-kBorderClamp, std::fmin(kBorderClamp, v)))));
    else codes.push_back(std::nullopt);
  }
  return codes;
}

}  // namespace

std::optional<DocTable> CheckTable(const TableParts& given, ErrorState& err) {
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

  TableShape shape;
  shape.rows = p.data->rows();
  shape.cols = p.data->cols();

  // Headings count only with at least one row.
  if (p.row_labels && p.row_labels->rows() == 0) p.row_labels = nullptr;
  if (p.row_labels) {
    if (p.row_labels->rows() != shape.rows) return err.raise(kErrDims), std::nullopt;
    if (p.row_labels->numeric()) return err.raise(kErrString), std::nullopt;
    shape.head_cols = p.row_labels->cols();
  }
  if (p.col_labels && p.col_labels->rows() == 0) p.col_labels = nullptr;
  if (p.col_labels) {
    if (p.col_labels->cols() != shape.cols) return err.raise(kErrDims), std::nullopt;
    if (p.col_labels->numeric()) return err.raise(kErrString), std::nullopt;
    shape.head_rows = p.col_labels->rows();
  }

  // Empty optional parts count as absent.
  for (const Matrix** part : {&p.text_colours, &p.back_colours, &p.h_borders, &p.v_borders})
    if (absent(*part)) *part = nullptr;
  const int grid_rows = shape.head_rows + shape.rows, grid_cols = shape.head_cols + shape.cols;
  for (const Matrix* colours : {p.text_colours, p.back_colours})
    if (colours && !check_colours(colours, grid_rows, grid_cols, err)) return std::nullopt;
  if (p.h_borders && !check_borders(p.h_borders, grid_rows + 1, err)) return std::nullopt;
  if (p.v_borders && !check_borders(p.v_borders, grid_cols + 1, err)) return std::nullopt;

  DocTable t;
  t.shape = shape;
  t.numeric_body = p.data->numeric();
  t.cells = body_of(*p.data);
  t.row_labels = labels_of(p.row_labels);
  t.col_labels = labels_of(p.col_labels);
  t.text_colours = colours_of(p.text_colours);
  t.back_colours = colours_of(p.back_colours);
  t.h_borders = borders_of(p.h_borders);
  t.v_borders = borders_of(p.v_borders);
  return t;
}

}  // namespace vop
