// Scripts on the corpus of real system files: open with the load report, query and
// change through the builtins, save as system, native and tab files and
// read each back.
#include <filesystem>

#include "script_fixture.h"

namespace vop::testing_data {
namespace {

using CorpusScripts = ScriptTest;

// The values of every variable, for comparing a dataset before and after a
// round trip.
struct Snapshot {
  std::vector<std::string> names;
  std::vector<std::vector<double>> numbers;        // per variable; empty for strings
  std::vector<std::vector<std::string>> texts;     // per variable; absent reads as ""
};

Snapshot snapshot(const Dataset& ds) {
  Snapshot s;
  for (int i = 0; i < ds.variable_count(); ++i) {
    const DataVariable& v = ds.variable(i);
    s.names.push_back(v.name());
    s.numbers.emplace_back();
    s.texts.emplace_back();
    for (int r = 0; r < ds.case_count(); ++r) {
      if (v.numeric()) s.numbers.back().push_back(v.column[r]);
      else s.texts.back().push_back(v.column.str()[r] ? *v.column.str()[r] : "");
    }
  }
  return s;
}

bool near(double a, double b, double tolerance) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b || std::fabs(a - b) <= tolerance;
}

// Files with strings, labels, missing values, long names and sets.
const char* const kFiles[] = {
    "pspp/personnel.sav",         "generated/mrsets.sav",           "generated/missing_values.sav",
    "generated/long_names.sav",   "savreaderwriter/Employee_data.sav", "pyreadstat/sample_missing.sav",
    "readspss/testdata.sav",      "pspp/physiology.sav",
};

TEST_F(CorpusScripts, ThreeFormatsReadBack) {
  for (const char* rel : kFiles) {
    const std::string file = corpus_file(rel);
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    SCOPED_TRACE(rel);
    clear_out();
    ASSERT_NO_FATAL_FAILURE(ok("DataOpen(\"" + file + "\")"));
    EXPECT_EQ(out().substr(0, file.size() + 1), std::string(file.size(), '*') + "\n");
    EXPECT_NE(out().find("\nSPSS Data successfully loaded\nNumber of variables: "), std::string::npos);
    const Snapshot before = snapshot(ds());
    const int sets = int(ds().multiple_variables().size());

    ok("DataSave(\"" + path("copy.sav") + "\")\nDataSave(\"" + path("copy.vop") + "\", \"vop\")\n"
       "DataSaveTab(\"" + path("copy.sav") + "\")");
    for (const char* back : {"DataOpen(\"copy.sav\")", "DataOpen(\"copy.vop\", \"vop\")"}) {
      std::string script = back;
      script.replace(script.find("copy"), 4, path("copy"));
      ok(script);
      const Snapshot after = snapshot(ds());
      EXPECT_EQ(after.names, before.names) << back;
      EXPECT_EQ(after.texts, before.texts) << back;
      ASSERT_EQ(after.numbers.size(), before.numbers.size());
      for (size_t v = 0; v < before.numbers.size(); ++v)
        for (size_t r = 0; r < before.numbers[v].size(); ++r)
          EXPECT_TRUE(near(after.numbers[v][r], before.numbers[v][r], 0)) << back << " " << before.names[v];
      EXPECT_EQ(int(ds().multiple_variables().size()), sets) << back;
    }

    // The tab file keeps the values: numbers to six decimals, texts as
    // written (a text column of numbers reads back as numbers).
    ok("DataClose\nDataOpenTab(\"" + path("copy.tab") + "\")");
    const Snapshot tab = snapshot(ds());
    ASSERT_EQ(tab.names.size(), before.names.size());
    for (size_t v = 0; v < before.names.size(); ++v) {
      if (!before.numbers[v].empty() || !tab.texts[v].empty()) {
        if (!before.numbers[v].empty() && !tab.numbers[v].empty()) {
          for (size_t r = 0; r < before.numbers[v].size(); ++r) {
            const double want = std::isfinite(before.numbers[v][r]) ? before.numbers[v][r] : NAN;
            EXPECT_TRUE(near(tab.numbers[v][r], want, 5e-7 * std::max(1.0, std::fabs(want))))
                << before.names[v] << " case " << r;
          }
        } else if (before.numbers[v].empty() && !tab.texts[v].empty()) {
          EXPECT_EQ(tab.texts[v], before.texts[v]) << before.names[v];
        }
      }
    }
  }
}

TEST_F(CorpusScripts, QueryChangeSaveAndReopen) {
  const std::string file = corpus_file("pspp/personnel.sav");
  ASSERT_TRUE(std::filesystem::exists(file)) << file;
  ASSERT_NO_FATAL_FAILURE(ok("DataOpen(\"" + file + "\")\n"
     "n = [nvar ncase]\nsexl = GetNumLabel(\"SEX\", [1 0])\nlab = GetVarLabel(\"SALARY\")\n"
     "pay = Data(1:2, \"SALARY\")\n"
     "!compute k = salary / 1000.\n!recode sex (0 = 2) into sex2.\n!if (sex == 1) women = salary.\n"
     "SetVarLabel(\"K\", \"Salary in thousands\")\nSetNumLabel(\"SEX2\", [2 1], [\"Male\" \"Female\"])\n"
     "SetMissVal(\"K\", 1, [0 0 0])\nDataWeight(\"K\")\nDataDelVar(\"DOB\")\n"
     "DataSave(\"" + path("changed.sav") + "\")\nDataClose\n"
     "DataOpen(\"" + path("changed.sav") + "\")\n"
     "m = [nvar ncase]\nnames = GetVarName(1:nvar)\nk = DataX(1:2, \"K\")\nw = wgh_name\n"
     "[l, v] = GetNumLabel(\"SEX2\")\nkl = GetVarLabel(\"K\")\nc = GetMissVal(\"K\")\n"
     "women = DataX(:, \"WOMEN\")\nsex = DataX(:, \"SEX\")"));
  EXPECT_TRUE(SameNumbers(nums("n"), {6, 56}));
  EXPECT_EQ(texts("sexl"), (std::vector<std::string>{"Female", "Male"}));
  EXPECT_EQ(texts("lab"), (std::vector<std::string>{"Annual salary before tax"}));
  EXPECT_NEAR(nums("pay")[0], 27345.48125, 1e-4);
  EXPECT_TRUE(SameNumbers(nums("m"), {8, 56}));
  EXPECT_EQ(texts("names"), (std::vector<std::string>{"FIRSTNAME", "LASTNAME", "SEX", "OCCUPATION",
                                                      "SALARY", "K", "SEX2", "WOMEN"}));
  EXPECT_NEAR(nums("k")[0], nums("pay")[0] / 1000, 1e-12);
  EXPECT_EQ(texts("w"), (std::vector<std::string>{"K"}));
  EXPECT_EQ(texts("l"), (std::vector<std::string>{"Female", "Male"}));
  EXPECT_EQ(texts("kl"), (std::vector<std::string>{"Salary in thousands"}));
  EXPECT_TRUE(SameNumbers(nums("c"), {1}));
  const std::vector<double> women = nums("women"), sex = nums("sex");
  ASSERT_EQ(women.size(), 56u);
  for (size_t r = 0; r < women.size(); ++r) EXPECT_EQ(std::isnan(women[r]), sex[r] != 1) << r;
  EXPECT_NE(out().find("Data weighted by:           K\n"), std::string::npos);
}

TEST_F(CorpusScripts, WeightedMeansOfManyColumns) {
  const std::string file = corpus_file("pspp/nhtsa.sav");
  ASSERT_TRUE(std::filesystem::exists(file)) << file;
  ASSERT_NO_FATAL_FAILURE(ok("DataOpen(\"" + file + "\")\nm = cmean(Data(:, 1:10))\nDataAddVar(\"w\")\n!compute w = 2.\n"
     "DataWeight(\"W\")\nmw = cmean(Data(:, 1:10), wgh)"));
  // A constant weight leaves the means as they were.
  const std::vector<double> m = nums("m"), mw = nums("mw");
  ASSERT_EQ(m.size(), 10u);
  ASSERT_EQ(mw.size(), 10u);
  for (size_t k = 0; k < m.size(); ++k) EXPECT_TRUE(near(m[k], mw[k], 1e-9 * std::fabs(m[k]))) << k;
}

}  // namespace
}  // namespace vop::testing_data
