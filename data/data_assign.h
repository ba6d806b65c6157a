// Assigning values into the dataset: a data variable by name (script-level
// assignments and the transformation statements) and Data(i, j) = value.
#pragma once

#include <string_view>

#include "core/interpreter.h"
#include "data/data_session.h"

namespace vop::data {

// What a missing target of an assignment becomes.
enum class MissingTarget {
  Fail,    // the caller made sure it exists; a vanished one raises 106
  Create,  // made at the end of the list with the value's kind (transformations)
};

// name = value or name(i) = value (i and an optional second index ":" or 1
// written on `target`, a Name node; null or without arguments for no
// index). The value reaches the cases that pass the filter: a 1x1 value
// every one of them, a column with one row per selected case in order, or,
// with a case index, a column with one row per indexed case. Kinds must
// agree (71), shapes fit (70); an empty value raises 94. A string longer
// than a fixed string width widens it.
bool assign_variable_values(DataSession& s, std::string_view name, const ExprNode* target,
                            Value value, MissingTarget missing, ErrorState& err);

// variable = value at the cases that pass the filter, for a variable that
// may stand outside the list (the temporary filter of !if).
bool assign_selected(Dataset& ds, DataVariable& v, Value value, ErrorState& err);

// Data(i, j) = value: i selects cases (":" the cases that pass the filter,
// or case numbers), j variables (":" all, or references). A 1x1 value fills
// every cell, any other must be cases x variables (70).
bool assign_data_cells(DataSession& s, const ExprNode& target, Value value, ErrorState& err);

}  // namespace vop::data
