// Reading the text tables that PSPP prints (DISPLAY DICTIONARY, LIST,
// MRSETS), so that tests can compare our reader with PSPP's own report.
//
// Columns are found from the table's border line ("+----+---+"), counted in
// characters (UTF-8 code points), so cells may contain '|' and non-ASCII text.
#pragma once

#include <string>
#include <vector>

namespace vop::testing {

struct PsppTable {
  std::string title;                           // the line above the table, trimmed
  std::vector<std::string> header;             // column titles, trimmed
  std::vector<std::vector<std::string>> rows;  // body cells, trimmed
  std::vector<bool> group_start;               // per row: a rule line precedes it
};

// Every table of the report, in order (the first part only of tables that
// PSPP split because they are wider than its page).
std::vector<PsppTable> parse_pspp_tables(const std::string& text);

// The first table with this title, or nullptr.
const PsppTable* find_table(const std::vector<PsppTable>& tables, const std::string& title);

// Index of the column with this title, or -1.
int column_of(const PsppTable& t, const std::string& title);

}  // namespace vop::testing
