#include "shell/widgets/dataset_variables.h"

#include <algorithm>

#include "data/dataset.h"

namespace {

// Shortest text that reads back as the same value, up to 15 digits.
QString value_text(double value) { return QString::number(value, 'g', 15); }

}  // namespace

QList<VariableInfo> dataset_variables(const vop::Dataset& dataset) {
  QList<VariableInfo> list;
  list.reserve(dataset.variable_count());
  for (int i = 0; i < dataset.variable_count(); ++i) {
    const vop::DataVariable& v = dataset.variable(i);
    VariableInfo info;
    info.name = QString::fromStdString(v.name());
    if (v.label) info.label = QString::fromStdString(*v.label);
    // A string variable made by a script has no declared width; its print
    // format's width stands in, and it is never 0 (0 means numeric).
    if (!v.numeric()) info.width = v.string_width > 0 ? v.string_width : std::max(1, v.format_width);
    for (const vop::ValueLabel& l : v.value_labels)
      info.value_labels.append({value_text(l.value), QString::fromStdString(l.text)});
    list.append(info);
  }
  return list;
}
