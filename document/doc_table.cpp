#include "document/doc_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "document/output_event.h"

namespace vop {

double DocTable::number(int i, int c) const {
  const double* x = std::get_if<double>(&cell(i, c));
  return x ? *x : NAN;
}

std::string_view DocTable::cell_text(int i, int c) const {
  const std::string* s = std::get_if<std::string>(&cell(i, c));
  return s ? std::string_view(*s) : std::string_view();
}

std::vector<LabelSpan> DocTable::col_label_spans() const {
  return layout_labels(head_rows(), cols(), [&](int k, int c) { return col_label(k, c); });
}

std::vector<LabelSpan> DocTable::row_label_spans() const {
  return layout_labels(rows(), head_cols(), [&](int i, int j) { return row_label(i, j); });
}

std::vector<LabelSpan> DocTable::body_spans() const {
  return layout_labels(rows(), cols(), [&](int i, int c) { return cell_text(i, c); },
                       /*across_only=*/true);
}

void RecordingConsumer::consume(OutputEvent&& event) {
  if (const auto* run = std::get_if<TextRun>(&event)) shown += run->text;
  else if (const auto* table = std::get_if<TableBlock>(&event)) shown += table->plain_text;
  events.push_back(std::move(event));
}

std::optional<int> DocTable::largest_exponent() const {
  double a = -1;
  for (int i = 0; i < rows(); ++i)
    for (int c = 0; c < cols(); ++c)
      if (const double x = number(i, c); !std::isnan(x)) a = std::fmax(a, std::fabs(x));
  if (a < 0) return std::nullopt;
  if (std::isinf(a)) return 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%+8.4e", a);
  const char* e = std::strchr(buf, 'e');
  return e ? int(std::strtol(e + 1, nullptr, 10)) : 0;
}

}  // namespace vop
