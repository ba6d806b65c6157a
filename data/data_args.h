// Argument rules shared by the data builtins: single texts, variable
// references (positions, names, $ multiple variables), case lists, and the
// value conversion that Data, DataGet and data-variable values apply.
#pragma once

#include <string>
#include <vector>

#include "core/builtin.h"
#include "core/errors.h"
#include "data/dataset.h"

namespace vop::data {

// Longest variable label (bytes), as a system file stores it.
inline constexpr size_t kMaxVariableLabel = 255;
// Longest value label a script may set (bytes): what a system file's
// value-label record holds without truncation in older readers.
inline constexpr size_t kMaxValueLabel = 60;

// --- Argument shapes ---------------------------------------------------------

// Argument i as one text: 77 empty, 64 numeric, 55 not 1x1. An absent
// text reads as empty.
bool one_text(Call& c, int i, std::string* out);
// The same check on an evaluated value.
bool one_text_of(const Matrix& v, ErrorState& err, std::string* out);
// A numeric vector argument: 77 empty, 63 text, 67 a matrix.
bool numeric_vector(const Matrix& v, ErrorState& err);
// A text argument (any shape): 77 empty, 64 numeric.
bool text_matrix(const Matrix& v, ErrorState& err);
// The text of a cell; absent reads as empty.
inline std::string cell_text(const StrCell& s) { return s ? *s : std::string(); }

// --- Variable references -----------------------------------------------------

// One resolved reference.
struct Ref {
  int var = -1;                         // 0-based variable position, or -1 for a set itself
  int set = -1;                         // position in the multiple-variable list, or -1
  const MultipleVariable* via = nullptr;  // the set a member was reached through
};

// How a "$name" reference is taken.
enum class SetRefs {
  Members,  // stands for its member variables, in member order
  Itself,   // stands for the multiple variable (Ref::set)
};

// Resolve a reference matrix, element by element in linear order:
// positions 1..variable count (68), names (exact, 106), "$" names of
// multiple variables (108 quoting the name); an absent text raises 98.
bool resolve_refs(const Matrix& refs, const Dataset& ds, SetRefs sets, std::vector<Ref>* out,
                  ErrorState& err);

// --- Cases -------------------------------------------------------------------

// A list of case rows: every case in order, or listed rows.
struct CaseList {
  bool all = true;            // rows 0..count-1 in order; `rows` unused
  int count = 0;              // number of cases listed
  std::vector<int> rows;      // 0-based rows when not `all`
  int row(int k) const { return all ? k : rows[size_t(k)]; }
};

// The cases that pass the filter (every case without one).
CaseList selected_cases(const Dataset& ds);
// Every case.
CaseList all_cases(const Dataset& ds);
// Case numbers from a script: a numeric (63) vector (67) of numbers in
// 1..case count (68), truncated, in the order given. Empty: no cases.
bool case_numbers(const Matrix& v, const Dataset& ds, CaseList* out, ErrorState& err);

// --- Values ------------------------------------------------------------------

// Copy the values of variable `v` at `cases` to `out`; with `convert`,
// user-missing values become NaN and a member of a dichotomy set (`via`)
// gives 1 for a counted value and 0 otherwise.
void gather_numbers(const DataVariable& v, const MultipleVariable* via, const CaseList& cases,
                    bool convert, double* out);
void gather_texts(const DataVariable& v, const CaseList& cases, StrCell* out);

// Whether values of `v` reached through `via` read exactly as stored.
bool reads_raw(const DataVariable& v, const MultipleVariable* via);

// Whether values_of may hand out a variable's own column.
enum class Lending {
  Never,      // always a new unnamed matrix (what a builtin returns)
  OwnColumn,  // the column itself when nothing about it changes (a bare name)
};

// A matrix of the referenced variables at `cases`, one column per
// reference, converted or raw. All references must be of one kind (71).
// With Lending::OwnColumn the variable's own column is lent (no copy) when
// one reference covers every case in order and reads raw.
Value values_of(const Dataset& ds, const std::vector<Ref>& refs, const CaseList& cases,
                bool convert, ErrorState& err, Lending lending = Lending::Never);

}  // namespace vop::data
