// CrossTab against PSPP's CROSSTABS on the bundled survey, unweighted and
// weighted: every count (PSPP prints them with eight decimals when the
// weight's format asks for it) and every column percent (one decimal).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "../data/script_fixture.h"

namespace vop::testing_data {
namespace {

const char* kRows[] = {"Q1", "Q2", "Q3", "Q4", "Q5"};
const char* kCols[] = {"SEX", "REGION"};

std::vector<std::string> split_csv(const std::string& line) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (char ch : line) {
    if (ch == '"') {
      quoted = !quoted;
    } else if (ch == ',' && !quoted) {
      out.emplace_back();
    } else {
      out.back() += ch;
    }
  }
  return out;
}

// One PSPP table: counts and column percents by row and column label.
struct PsppTable {
  std::vector<std::string> col_labels;  // the last is "Total"
  std::map<std::pair<std::string, std::string>, std::pair<double, double>> cells;
};

std::vector<PsppTable> read_tables(const std::string& csv) {
  std::vector<PsppTable> tables;
  std::istringstream in(csv);
  std::string line, row_label;
  int header = 0;
  while (std::getline(in, line)) {
    if (line.rfind("Table: ", 0) == 0) {
      if (line.find("Summary") != std::string::npos) {
        header = -1;
        continue;
      }
      tables.emplace_back();
      header = 2;
      continue;
    }
    if (header < 0 || tables.empty() || line.empty()) continue;
    auto f = split_csv(line);
    if (header > 0) {
      if (--header == 0) {
        tables.back().col_labels.assign(f.begin() + 3, f.end());
        tables.back().col_labels.back() = "Total";
      }
      continue;
    }
    if (f.size() < 4) continue;
    if (!f[0].empty() && f[1].empty()) row_label = "Total";  // PSPP's total row
    if (!f[1].empty()) row_label = f[1];
    const bool count = f[2] == "Count";
    for (size_t k = 3; k < f.size(); ++k) {
      auto& cell = tables.back().cells[{row_label, tables.back().col_labels[k - 3]}];
      (count ? cell.first : cell.second) = std::stod(f[k]);
    }
  }
  return tables;
}

class PsppCrosstabsTest : public ScriptTest {
 protected:
  std::string survey() const { return std::string(VOP_SOURCE_DIR) + "/examples/survey.sav"; }

  std::string pspp(bool weighted) {
    const std::string sps = path("crosstabs.sps");
    std::ofstream(sps) << "GET FILE=\"" << survey() << "\".\n"
                       << "FORMATS weight (F16.8).\n"
                       << (weighted ? "WEIGHT BY weight.\n" : "")
                       << "CROSSTABS /TABLES=q1 q2 q3 q4 q5 BY sex region /CELLS=COUNT COLUMN.\n";
    std::string out;
    if (FILE* p = ::popen(("pspp -O format=csv '" + sps + "' 2>&1").c_str(), "r")) {
      char buf[4096];
      size_t got;
      while ((got = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, got);
      ::pclose(p);
    }
    return out;
  }

  std::string label(const char* var, double value) {
    for (const ValueLabel& vl : ds().find(var)->value_labels)
      if (vl.value == value) return vl.text;
    return "?";
  }

  void compare(bool weighted) {
    if (std::system("pspp --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "pspp is not installed";
    const std::vector<PsppTable> tables = read_tables(pspp(weighted));
    ASSERT_EQ(tables.size(), 10u);
    ok("DataOpen(\"" + survey() + "\");");
    if (weighted) ok("DataWeight(\"WEIGHT\");");
    int t = 0;
    for (const char* row : kRows) {
      ok(std::string("[n, base, un, ubase, eb, rk, ck] = CrossTab(\"") + row +
         "\", [\"SEX\" \"REGION\"]);");
      const Matrix& n = var("n");
      const Matrix& base = var("base");
      const Matrix& rk = var("rk");
      const Matrix& ck = var("ck");
      for (int c = 0; c < 2; ++c, ++t) {
        SCOPED_TRACE(std::string(row) + " by " + kCols[c] + (weighted ? ", weighted" : ""));
        int checked = 0;
        for (int j = 0; j < ck.rows(); ++j) {
          const int source = int(ck.num()[j]);
          if (source != 0 && source != c + 1) continue;
          const std::string col = source == 0 ? "Total" : label(kCols[c], ck.num()[j + ck.rows()]);
          for (int i = 0; i < rk.rows(); ++i) {
            const double ours = n.num()[i + j * n.rows()];
            const auto it = tables[size_t(t)].cells.find({label(row, rk.num()[i + rk.rows()]), col});
            if (it == tables[size_t(t)].cells.end()) {
              EXPECT_EQ(ours, 0) << "row " << i << " column " << col;  // PSPP shows no empty rows
              continue;
            }
            EXPECT_NEAR(ours, it->second.first, 5e-9) << "row " << i << " column " << col;
            EXPECT_NEAR(100 * ours / base.num()[j], it->second.second, 0.05 + 1e-9)
                << "row " << i << " column " << col;
            ++checked;
          }
        }
        EXPECT_GE(checked, 10);
      }
    }
  }
};

TEST_F(PsppCrosstabsTest, Unweighted) { compare(false); }
TEST_F(PsppCrosstabsTest, Weighted) { compare(true); }

}  // namespace
}  // namespace vop::testing_data
