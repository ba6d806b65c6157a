// Cross-tabulation: weighted and unweighted counts of row variables
// against a banner of column variables, in one pass over the cases.
//
// Either side may hold single variables or multiple-response sets. A case
// counts once in every row category it gives and every column category it
// gives; the Total column (column 0) holds every case that gives a row
// category. A multiple-response set gives the categories any of its
// members give (a category set: the members' values; a dichotomy set: the
// members whose value is a counted value, as member numbers 1..k). Missing
// values (NaN and user-missing) give no category; a case whose weight is
// missing, zero or negative is left out.
#pragma once

#include <string>
#include <vector>

#include "data/data_args.h"
#include "data/dataset.h"

namespace vop::tab {

// One variable or multiple-response set of a table.
struct Source {
  std::string name;                             // as the script gave it
  std::vector<const DataVariable*> members;     // one for a single variable
  bool dichotomy = false;                       // members are the categories
  std::vector<double> counted;                  // a dichotomy set's counted values
  std::vector<double> categories;               // ascending; set by find_categories
};

// Most categories one source may have: a guard against tabulating an
// identifier by mistake.
inline constexpr int kMaxCategories = 10000;

// The categories of `s`: the values its members take at `cases` and the
// values their labels name, without missing values, in ascending order
// (for a dichotomy set the member numbers). False when there are more
// than kMaxCategories.
bool find_categories(Source& s, const data::CaseList& cases);
// The same for several sources (on two threads for a large file): the
// position of the first that has too many, or -1.
int find_categories(const std::vector<Source*>& sources, const data::CaseList& cases);

// Sums of one cell: weights, cases, squared weights.
struct Cell {
  double w = 0, u = 0, w2 = 0;
  void add(double weight) {
    w += weight;
    u += 1;
    w2 += weight * weight;
  }
  void merge(const Cell& o) {
    w += o.w;
    u += o.u;
    w2 += o.w2;
  }
};

struct Tables {
  int rows = 0;                   // categories of every row source, in order
  int cols = 0;                   // Total, then the categories of every column source
  std::vector<Cell> cells;        // rows x cols, column by column
  std::vector<Cell> bases;        // row sources x cols, column by column
  std::vector<int> row_source;    // 1-based source of each row
  std::vector<double> row_value;  // its category value
  std::vector<int> col_source;    // 0 for Total, else the 1-based column source
  std::vector<double> col_value;  // NaN for Total
};

// Count `rows` against `cols` (categories already found) at `cases`;
// `weights` is the weight column (case count long) or null.
Tables crosstab(const std::vector<Source>& rows, const std::vector<Source>& cols,
                const data::CaseList& cases, const double* weights);

}  // namespace vop::tab
