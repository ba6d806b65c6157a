#include "builtins/chart_args.h"

#include <cmath>

#include "builtins/arg_checks.h"
#include "core/errors.h"
#include "document/doc_table.h"

namespace vop {

namespace {

using builtins::index_of;
using builtins::text_of;

constexpr int kPaletteColours = 56;
constexpr double kLargestSize = 1584;  // points: 22 inches

// Labels keep their text; the merge marks of table headings name no label.
std::string label_text(const StrCell& cell) {
  const std::string_view t = text_of(cell);
  return t == kMergeUp || t == kMergeLeft ? std::string() : std::string(t);
}

// Evaluates argument i when the call gives it; false after an error. `*v`
// receives it when it has rows, and stays empty otherwise.
bool optional_arg(Call& c, int i, Value* v) {
  if (i >= c.argc()) return true;
  Value got = c.arg(i);
  if (!got) return false;
  if (!got->empty()) *v = std::move(got);
  return true;
}

}  // namespace

ChartPlacement chart_placement(std::string_view name) {
  if (name.starts_with('l')) return ChartPlacement::PairLeft;
  if (name.starts_with('r')) return ChartPlacement::PairRight;
  return ChartPlacement::Single;
}

std::optional<ChartRequest> read_chart_args(Call& c, ChartKind kind) {
  ErrorState& err = c.err();
  auto fail = [&err](int code) {
    err.raise(code);
    return std::nullopt;
  };
  ChartRequest chart;
  chart.kind = kind;
  chart.placement = chart_placement(c.name());
  DocTable& t = chart.table;

  Value data = c.arg(0);
  if (!data) return std::nullopt;
  if (data->numeric() && !data->empty()) return fail(kErrString);
  const int rows = data->empty() ? 0 : data->rows();
  const int cols = data->empty() ? 0 : data->cols();
  t.shape.rows = rows;
  t.shape.cols = cols;
  t.cells.reserve(size_t(rows) * size_t(cols));
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) t.cells.emplace_back(label_text(data->sat(i, j)));

  Value row_labels;
  if (!optional_arg(c, 1, &row_labels)) return std::nullopt;
  if (row_labels) {
    if (row_labels->rows() != rows || row_labels->cols() != 1) return fail(kErrDims);
    if (row_labels->numeric()) return fail(kErrString);
    t.shape.head_cols = 1;
    for (int i = 0; i < rows; ++i) t.row_labels.push_back(label_text(row_labels->sat(i, 0)));
  }

  Value col_labels;
  if (!optional_arg(c, 2, &col_labels)) return std::nullopt;
  if (col_labels) {
    if (col_labels->cols() != cols) return fail(kErrDims);
    if (col_labels->numeric()) return fail(kErrString);
    t.shape.head_rows = col_labels->rows();
    for (int h = 0; h < col_labels->rows(); ++h)
      for (int j = 0; j < cols; ++j) t.col_labels.push_back(label_text(col_labels->sat(h, j)));
  }

  Value settings;
  if (!optional_arg(c, 3, &settings)) return std::nullopt;
  if (settings) {
    if (!settings->numeric()) return fail(kErrNumeric);
    chart.sheet_settings.assign(settings->num(), settings->num() + settings->size());
  }

  Value columns;
  if (!optional_arg(c, 4, &columns)) return std::nullopt;
  if (columns) {
    if (!columns->numeric()) return fail(kErrNumeric);
    for (int64_t k = 0; k < columns->size(); ++k) {
      const std::optional<int> at = index_of((*columns)[k], cols, err);
      if (!at) return std::nullopt;
      chart.data_columns.push_back(*at + 1);
    }
  }

  Value colours;
  if (!optional_arg(c, 5, &colours)) return std::nullopt;
  if (colours) {
    if (!colours->numeric()) return fail(kErrNumeric);
    if (colours->size() != rows) return fail(kErrDims);
    for (int64_t k = 0; k < colours->size(); ++k) {
      const std::optional<int> at = index_of((*colours)[k], kPaletteColours, err);
      if (!at) return std::nullopt;
      chart.row_colours.push_back(*at + 1);
    }
  }

  Value size;
  if (!optional_arg(c, 6, &size)) return std::nullopt;
  if (size) {
    if (!size->numeric()) return fail(kErrNumeric);
    if (size->size() != 2) return fail(kErrScalar);
    for (int k = 0; k < 2; ++k) {
      const double v = (*size)[k];
      if (!(v > 0 && v <= kLargestSize)) return fail(kErrRange);
    }
    chart.height = (*size)[0];
    chart.width = (*size)[1];
  }

  Value unit;
  if (!optional_arg(c, 7, &unit)) return std::nullopt;
  if (unit) {
    if (unit->numeric()) return fail(kErrString);
    if (unit->size() != 1) return fail(kErrScalar);
    const std::string_view text = text_of(unit->sat(0, 0));
    chart.unit = text.empty() ? 0 : text.front();
  }
  return chart;
}

std::string chart_placeholder(ChartPlacement placement, int white) {
  constexpr const char* kSingle = "{\\s0\\qc\\f0\\fs16 [KIFARG]\\par\\par}";
  switch (placement) {
    case ChartPlacement::Single: return kSingle;
    case ChartPlacement::PairRight: return {};
    case ChartPlacement::PairLeft: break;
  }
  // Two cells side by side, 7,740 twips each, framed in white so that no
  // border shows.
  const std::string border = "\\brdrs\\brdrw15\\brdrcf" + std::to_string(white);
  std::string s = "{\\trowd\\trqc\\trgaph108\n";
  for (const char* right : {"7740", "15480"}) {
    for (const char side : {'t', 'l', 'b', 'r'}) s += std::string("\\clbrdr") + side + border + "\n";
    s += std::string("\\cellx") + right + "\n";
  }
  s += "\\intbl{\\s0\\qc\\f0\\fs16 [KIFARG]\\cell}";
  s += "{\\s0\\qc\\f0\\fs16 [KIFARG]\\cell}\\row}\n\n";
  s += "{\\s0\\ql\\f0\\fs16\\par }\n";
  return s;
}

}  // namespace vop
