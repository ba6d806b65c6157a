// Comparing a dataset with what PSPP reports for the same file (its
// DISPLAY DICTIONARY, SYSFILE INFO, MRSETS and LIST tables): the tests that
// read PSPP's reports of the corpus files and the tests that have PSPP read
// the files we write share these checks.
#pragma once

#include <string>
#include <vector>

#include "data/dataset.h"
#include "pspp_report.h"

namespace vop::testing {

// "Variables", "Cases" and "Weight" of the File Information table.
void compare_file_info(const Dataset& ds, const std::vector<PsppTable>& tables);
// Names, kinds, widths, labels, formats and numeric missing values.
void compare_variables(const Dataset& ds, const std::vector<PsppTable>& tables);
// Value labels of numeric variables shown in F format.
void compare_value_labels(const Dataset& ds, const std::vector<PsppTable>& tables);
// Multiple-response sets: label, kind, counted value and members.
void compare_mrsets(const Dataset& ds, const std::vector<PsppTable>& tables);
// The first cases as LIST shows them (numbers to their print decimals).
void compare_cases(const Dataset& ds, const std::vector<PsppTable>& tables);

}  // namespace vop::testing
