// The variables panel's list made from a dataset's dictionary.
#pragma once

#include <QList>

#include "shell/widgets/variables_panel.h"

namespace vop {
class Dataset;
}

// Every variable of `dataset` in file order: name, label, width (0 for a
// numeric variable) and value labels, each value written as a plain number
// ("1", "2.5").
QList<VariableInfo> dataset_variables(const vop::Dataset& dataset);
