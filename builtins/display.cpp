#include "builtins/display.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "builtins/number_text.h"
#include "core/output_sink.h"

namespace vop {

namespace {

constexpr int kBlockColumns = 8;   // numeric columns per block
constexpr int kFieldWidth = 10;    // one numeric field, the blank included
// Console numbers keep their own size while the largest exponent is below
// this; beyond it the scale keeps 4 integer digits in the largest field.
constexpr int kConsoleScaleExponent = 5;
constexpr int kConsoleScaleDigits = 3;
// The tab-separated form scales earlier, to one integer digit.
constexpr int kTabbedScaleExponent = 3;
// Fields are rounded (console) or truncated (tabbed) to 1/10000 of the
// scale before they are printed with 3 decimals.
constexpr int kFieldDigits = 4;
constexpr double kFieldSteps = 10000;
// The scale is read from the largest magnitude printed as "%+8.3e".
constexpr int kScaleProbeDecimals = 3;
// String display: the widest field and the width of a console line.
constexpr size_t kMaxStringField = 78;
constexpr size_t kLineWidth = 80;

struct Magnitude {
  bool found = false;
  double value = 0;
};

// The largest |x| over the elements that `counts` accepts.
template <class Counts>
Magnitude largest_magnitude(const Matrix& m, Counts counts) {
  Magnitude a;
  for (int64_t k = 0; k < m.size(); ++k) {
    const double x = m[k];
    if (!counts(x)) continue;
    a.value = a.found ? std::max(a.value, std::fabs(x)) : std::fabs(x);
    a.found = true;
  }
  return a;
}

// A common factor 10^power written above the numbers; fields count in steps
// of 1/10000 of it.
struct Scale {
  bool shown = false;
  int power = 0;
  double step = 1 / kFieldSteps;
  bool step_is_normal = true;

  // x in steps of the scale.
  double steps(double x) const {
    if (step_is_normal) return x / step;
    // The step is below the smallest normal double (all numbers tiny):
    // multiply by its inverse in two halves that both stay in range.
    const int k = kFieldDigits - power;
    const int half = k / 2;
    return x * std::pow(10.0, half) * std::pow(10.0, k - half);
  }
};

Scale scale_of_power(int power) {
  Scale s;
  s.shown = true;
  s.power = power;
  const double factor = std::pow(10.0, power);
  s.step = factor / kFieldSteps;
  s.step_is_normal = std::isnormal(factor) && std::isnormal(s.step);
  return s;
}

// "%2.1e *" of 10^power, written from the power itself so that it stays
// right where 10^power is too small for a double.
void append_scale_line(std::string& line, int power) {
  line += "1.0e";
  line += power < 0 ? '-' : '+';
  const std::string digits = std::to_string(std::abs(power));
  line.append(digits.size() < 3 ? 3 - digits.size() : 0, '0');
  line += digits;
  line += " *";
}

void write_block_title(OutputSink& out, int first, int last) {
  out.WriteLine("Kolone " + std::to_string(first + 1) + " do " + std::to_string(last));
}

// One console field of x.
void append_console_field(std::string& line, double x, const Scale& scale) {
  if (std::isnan(x)) return append_padded(line, "NaN", kFieldWidth, false);
  if (std::isinf(x)) return append_padded(line, x > 0 ? "Inf" : "-Inf", kFieldWidth, false);
  line += ' ';
  if (!scale.shown && x == std::floor(x)) return append_fixed(line, x, kFieldWidth - 1, 0, false);
  const double y = scale.steps(x);
  const double up = std::ceil(y);
  const double down = std::floor(y);
  const double steps = up - y < y - down ? up : down;  // ties go down
  append_fixed(line, steps / kFieldSteps, kFieldWidth - 1, 3, false);
}

void display_numbers(const Matrix& m, OutputSink& out) {
  std::string line;
  Scale scale;
  const Magnitude a = largest_magnitude(m, [](double x) { return std::isfinite(x); });
  if (a.found) {
    const int e = printed_exponent(a.value, kScaleProbeDecimals);
    if (std::abs(e) >= kConsoleScaleExponent) {
      scale = scale_of_power(e - kConsoleScaleDigits);
      append_scale_line(line, scale.power);
      out.WriteLine(line);
    }
  }
  for (int first = 0; first < m.cols(); first += kBlockColumns) {
    const int last = std::min(first + kBlockColumns, m.cols());
    if (m.cols() > kBlockColumns) write_block_title(out, first, last);
    for (int i = 0; i < m.rows(); ++i) {
      line.clear();
      for (int j = first; j < last; ++j) append_console_field(line, m.at(i, j), scale);
      out.WriteLine(line);
    }
  }
}

// An element wider than the (capped) field: shown in pieces, the first of
// the field's width and the next ones a line wide; the last piece carries
// the element's tail and the rest of the row.
void append_long_string(std::string& line, const std::string& text, OutputSink& out) {
  line.assign(text, 0, kMaxStringField);
  size_t shown = kMaxStringField;
  while (text.size() - shown > kLineWidth) {
    out.WriteLine(line);
    line.assign(text, shown, kLineWidth);
    shown += kLineWidth;
  }
  line.append(text, shown);
}

void display_strings(const Matrix& m, OutputSink& out) {
  size_t width = 0;
  for (int64_t k = 0; k < m.size(); ++k)
    if (const StrCell& cell = m.str()[k]) width = std::max(width, cell->size());
  width = std::min(width, kMaxStringField);
  // Two characters of each field are a margin the console line keeps.
  const int per_block = std::max<int>(1, int(kLineWidth / (width + 2)));

  std::string line;
  for (int first = 0; first < m.cols(); first += per_block) {
    const int last = std::min(first + per_block, m.cols());
    if (m.cols() > per_block) write_block_title(out, first, last);
    for (int i = 0; i < m.rows(); ++i) {
      line.clear();
      for (int j = first; j < last; ++j) {
        const StrCell& cell = m.sat(i, j);
        if (!cell) continue;
        if (cell->size() > width) append_long_string(line, *cell, out);
        else append_padded(line, *cell, int(width), true);
      }
      out.WriteLine(line);
    }
  }
}

// A label of a string label matrix, empty outside it or when absent.
std::string_view label_at(const Matrix* labels, int r, int c) {
  if (labels == nullptr || r >= labels->rows() || c >= labels->cols()) return {};
  const StrCell& cell = labels->sat(r, c);
  return cell ? std::string_view(*cell) : std::string_view();
}

void append_tabbed_number(std::string& line, double x, const Scale& scale) {
  if (std::isnan(x)) line += "NaN";
  else if (std::isinf(x)) line += x > 0 ? "Inf" : "-Inf";
  else append_fixed(line, std::trunc(scale.steps(x)) / kFieldSteps, 0, 3, false);
}

}  // namespace

void display_matrix(const Matrix& m, bool with_header, OutputSink& out) {
  if (with_header) out.WriteLine(m.has_name() ? m.name() + " =" : std::string("ans ="));
  if (m.empty()) {
    out.WriteLine("[]");
    return;
  }
  if (m.numeric()) display_numbers(m, out);
  else display_strings(m, out);
}

void display_matrix_tabbed(const Matrix& m, const Matrix* row_labels,
                           const Matrix* column_labels, OutputSink& out) {
  if (m.empty()) {
    out.WriteText("[]\n");
    return;
  }
  if (row_labels != nullptr && row_labels->numeric()) row_labels = nullptr;
  if (column_labels != nullptr && column_labels->numeric()) column_labels = nullptr;

  std::string line;
  Scale scale;
  if (m.numeric()) {
    const Magnitude a = largest_magnitude(m, [](double x) { return !std::isnan(x); });
    const int e = a.found && std::isfinite(a.value)
                      ? printed_exponent(a.value, kScaleProbeDecimals)
                      : 0;
    if (std::abs(e) >= kTabbedScaleExponent) {
      scale = scale_of_power(e);
      append_scale_line(line, scale.power);
      line += '\n';
      out.WriteText(line);
    }
  }
  const int label_columns = row_labels ? row_labels->cols() : 0;
  if (column_labels != nullptr) {
    for (int r = 0; r < column_labels->rows(); ++r) {
      line.assign(size_t(label_columns), '\t');
      for (int j = 0; j < column_labels->cols(); ++j) {
        if (j > 0) line += '\t';
        line.append(label_at(column_labels, r, j));
      }
      line += '\n';
      out.WriteText(line);
    }
  }
  for (int i = 0; i < m.rows(); ++i) {
    line.clear();
    for (int c = 0; c < label_columns; ++c) line.append(label_at(row_labels, i, c)) += '\t';
    for (int j = 0; j < m.cols(); ++j) {
      if (j > 0) line += '\t';
      if (m.numeric()) append_tabbed_number(line, m.at(i, j), scale);
      else if (const StrCell& cell = m.sat(i, j)) line += *cell;
    }
    line += '\n';
    out.WriteText(line);
  }
}

}  // namespace vop
