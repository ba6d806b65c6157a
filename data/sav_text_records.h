// Parsers for the text sub-records of a system file: multiple-response sets
// (subtype 7), long variable names (13) and very long string widths (14).
//
// They take the record's bytes and return what they found in file order;
// a malformed part is dropped and described in `warnings`, so a damaged
// record costs only itself.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/dataset.h"

namespace vop::sav {

// Sets in file order, names and members as written (the reader upper-cases
// them once they are UTF-8). Members are not checked against the variables
// here.
std::vector<MultipleVariable> parse_mrsets(std::string_view text,
                                           std::vector<std::string>& warnings);

// SHORT=LONG pairs in file order (names as written).
std::vector<std::pair<std::string, std::string>> parse_long_names(
    std::string_view text, std::vector<std::string>& warnings);

// SHORT=WIDTH entries in file order.
std::vector<std::pair<std::string, int>> parse_very_long_strings(
    std::string_view text, std::vector<std::string>& warnings);

}  // namespace vop::sav
