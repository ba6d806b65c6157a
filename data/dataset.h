// The dataset: cases (rows) by variables (columns) with the dictionary that
// describes each variable, multiple-response sets, bundles, weight and filter.
//
// Each variable's values live in an ordinary Matrix column named after the
// variable, so a script can be handed the column without a copy. Variables
// are held by pointer so that a column's address stays put while variables
// are added or removed around it; a hash index makes name lookup independent
// of the number of variables.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/matrix.h"
#include "core/workspace.h"

namespace vop {

// Longest variable name a script may give (system files allow 64 bytes).
inline constexpr size_t kMaxVariableName = 64;

// SPSS print-format type codes the program itself assigns.
inline constexpr int kFormatA = 1;  // string
inline constexpr int kFormatF = 5;  // numeric

// Missing-value rule codes (the system-file convention).
inline constexpr int kMissingNone = 0;
inline constexpr int kMissingRange = -2;          // low..high
inline constexpr int kMissingRangeAndValue = -3;  // low..high or value 3

// One value label of a variable.
struct ValueLabel {
  double value = 0;   // the labelled value
  std::string text;   // the label; owned
};

struct DataVariable {
  Matrix column;                        // case count x 1 values; its name is the variable's name
  std::optional<std::string> label;     // variable label; none when unlabelled
  std::optional<std::string> short_name;  // 8-byte name from a system file's variable record
  std::vector<std::string> segment_names;  // short names of a very long string's later segments
  std::vector<ValueLabel> value_labels; // value labels in file/insertion order
  int format_type = kFormatF;           // SPSS print-format type code
  int decimals = 2;                     // print-format decimals
  int format_width = 8;                 // print-format width
  int alignment = 1;                    // 0 left, 1 right, 2 centre
  int display_width = 7;                // column width for display
  int missing_code = kMissingNone;      // 0, 1..3, -2 or -3
  int dictionary_index = 0;             // first 8-byte slot in a system file's case record
  int string_width = 0;                 // declared width of a string; 0 for numbers / not fixed
  int measure = 2;                      // measurement level code as stored in a system file
  std::array<double, 3> missing_values{};  // values of the missing-value rule
  mutable bool lent = false;            // the column was handed to a script without a copy

  const std::string& name() const { return column.name(); }
  bool numeric() const { return column.numeric(); }
  int segment_count() const { return int(segment_names.size()); }
  int label_count() const { return int(value_labels.size()); }
};

// Kinds of multiple-response set.
enum class MultipleKind : uint8_t { Category = 0, Dichotomy = 1 };

struct MultipleVariable {
  std::string name;                     // begins with '$'
  std::optional<std::string> label;     // set label; none when unlabelled
  MultipleKind kind = MultipleKind::Category;  // category or dichotomy set
  std::vector<double> counted_values;   // counted values of a dichotomy set; finite
  std::vector<std::string> members;     // member variable names in set order

  int counted_count() const { return int(counted_values.size()); }
  int member_count() const { return int(members.size()); }
};

// A variable with the defaults of a newly created one, with `rows` cases.
// The name is taken as given (callers upper-case it where they must).
DataVariable make_variable(std::string name, bool numeric, int rows);

// True when `name` may name a new variable: 1 to 64 bytes, first byte an
// ASCII letter.
bool valid_variable_name(std::string_view name);

// True when x is finite and matches the variable's missing-value rule.
bool is_user_missing(const DataVariable& v, double x);

class Dataset {
 public:
  Dataset() = default;
  Dataset(Dataset&&) noexcept = default;
  Dataset& operator=(Dataset&&) noexcept = default;
  Dataset(const Dataset&) = delete;
  Dataset& operator=(const Dataset&) = delete;

  // --- Shape -------------------------------------------------------------
  bool empty() const { return vars_.empty(); }
  int variable_count() const { return int(vars_.size()); }
  int case_count() const { return case_count_; }
  // Sets the case count of a dataset that has no variables yet.
  void set_case_count(int n) {
    case_count_ = n < 0 ? 0 : n;
    note_change();
  }

  DataVariable& variable(int i) { return *vars_[size_t(i)]; }  // 0-based
  const DataVariable& variable(int i) const { return *vars_[size_t(i)]; }

  // --- Variables ---------------------------------------------------------
  // The variable named exactly `name`, or nullptr.
  DataVariable* find(std::string_view name);
  const DataVariable* find(std::string_view name) const;
  // Position (0-based) of the variable, or -1.
  int index_of(std::string_view name) const;

  // The column of `name`; failing that, the column of the variable that the
  // frame's alias `name` stands for (a function parameter bound to a data
  // variable's name). nullptr when neither exists.
  Matrix* find_data_variable(std::string_view name, const CallFrame* frame = nullptr);

  // A new variable at the end, with the creation defaults and case count
  // rows; the name is upper-cased. Raises 98 for a bad name, 99 when taken.
  DataVariable* create_variable(std::string_view name, bool numeric, ErrorState& err);

  // Append a variable built elsewhere (a reader); its column must have case
  // count rows and its name must be new. Returns false (nothing changes)
  // otherwise.
  bool append_variable(DataVariable&& v);
  // The same, placed before position `pos` (0-based; variable count appends).
  bool insert_variable(int pos, DataVariable&& v);
  // Several at once, in their order, before `pos`: the index is rebuilt
  // once (not at all when they go at the end). False, with nothing changed,
  // when a name is taken or repeated or a column has the wrong shape.
  bool insert_variables(int pos, std::vector<DataVariable>&& vs);

  // --- Cases -------------------------------------------------------------
  // Insert `count` cases before case `pos` (0-based; case count appends):
  // new numeric cells NaN, new string cells absent.
  void insert_cases(int pos, int count);
  // Delete the cases whose entry in `drop` (case count long) is non-zero.
  void delete_cases(const std::vector<uint8_t>& drop);

  // Remove the variable at position i; clears the weight or filter it was.
  void remove_variable(int i);
  // The same, handing the variable to the caller instead of freeing it.
  std::unique_ptr<DataVariable> take_variable(int i);

  // Rename the variable at position i (the name must be new).
  bool rename_variable(int i, std::string name);

  // --- Selection and weighting ------------------------------------------
  // The weight variable's name, if weighted.
  const std::optional<std::string>& weight_name() const { return weight_name_; }
  // Weight by the variable `name` (78 when it does not exist).
  bool set_weight(std::string_view name, ErrorState& err);
  // Store a weight name as a file gave it, without checking.
  void set_weight_name(std::optional<std::string> name) {
    weight_name_ = std::move(name);
    note_change();
  }
  void clear_weight() {
    weight_name_.reset();
    note_change();
  }

  const DataVariable* filter() const { return filter_; }
  bool set_filter(std::string_view name, ErrorState& err);
  void clear_filter() {
    filter_ = nullptr;
    note_change();
  }
  // Make `v` the filter: a variable of the list, or a temporary one outside
  // it that the caller keeps alive while it is the filter.
  void set_filter_variable(const DataVariable* v) {
    filter_ = v;
    note_change();
  }
  // True when no filter is set or the filter's value is finite and not 0.
  bool is_selected(int row) const;

  // --- Multiple variables, bundles, file name ---------------------------
  std::vector<MultipleVariable>& multiple_variables() { return multiple_; }
  const std::vector<MultipleVariable>& multiple_variables() const { return multiple_; }
  std::vector<Matrix>& bundles() { return bundles_; }
  const std::vector<Matrix>& bundles() const { return bundles_; }
  const std::optional<std::string>& file_name() const { return file_name_; }
  void set_file_name(std::optional<std::string> f) {
    file_name_ = std::move(f);
    note_change();
  }

  // Raises 75 and returns false when no data is loaded.
  bool require_data(ErrorState& err) const;

  // Counts removals of variables (and closes): a caller holding a column
  // across code that may change the dataset compares it before and after
  // to know whether the column may have gone.
  uint64_t removals() const { return removals_; }

  // Counts changes of the dataset's shape and dictionary: opened or closed,
  // variables or cases added, removed or renamed, labels, missing-value
  // rules, multiple-response sets, weight and filter. Values written into
  // existing cells do not count, so a run pays nothing per case. A window
  // that shows the dataset compares it after a run to know whether to
  // refresh. The member functions above count their own changes; code that
  // edits a variable's dictionary entries in place calls note_change.
  uint64_t generation() const { return generation_; }
  void note_change() { ++generation_; }

  // Free everything and return to the empty state.
  void close();

 private:
  void rebuild_index();

  std::vector<std::unique_ptr<DataVariable>> vars_;  // variables in order; owned
  NameMap<int> index_;                     // variable name -> position in vars_
  int case_count_ = 0;                     // rows of every column
  std::vector<MultipleVariable> multiple_;  // multiple-response sets; owned
  std::vector<Matrix> bundles_;            // string columns of set names; owned
  std::optional<std::string> weight_name_;  // weight variable's name; none = unweighted
  const DataVariable* filter_ = nullptr;   // filter variable; points into vars_
  std::optional<std::string> file_name_;   // file last opened from
  uint64_t removals_ = 0;                  // variables removed so far, closes included
  uint64_t generation_ = 0;                // changes of shape and dictionary so far
};

}  // namespace vop
