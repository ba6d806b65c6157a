// Tab-delimited data files: one line per case, fields separated by tabs, no
// header. Only values travel; names, dictionary, multiple variables, weight
// and filter are neither written nor read.
#pragma once

#include <string>
#include <string_view>

#include "core/errors.h"
#include "data/dataset.h"

namespace vop {

// The file DataSaveTab writes for `name`: a name ending in ".sav" (any
// case) gets 't' and 'b' in place of its third-last and last characters
// (data.SAV -> data.tAb); any other name gets ".tab" appended.
std::string tab_file_name(std::string_view name);

// Write the cases of `ds` to `path`: numbers in fixed notation with six
// decimals, an empty field for NaN and +-Inf and for an absent text.
// Raises 97 when the file cannot be written; an old file stays intact.
bool write_tab(const std::string& path, const Dataset& ds, ErrorState& err);

// Close `ds` and fill it from the tab file `path`: variables V1, V2, ...,
// a column numeric unless some non-empty field in it is not a number.
// Raises 97 (dataset left empty) when the file cannot be read.
bool read_tab(const std::string& path, Dataset& ds, ErrorState& err);

}  // namespace vop
