// Stop inside the long data operations: reading and writing system files
// and !recode look at the run's stop request as they go, end the run with
// code 1000 and leave the dataset and the files whole; the next run runs.
//
// The stop is asked for by a builtin of the test from inside the run (as
// the Stop command would be pressed while the statement runs), so that it
// reaches the operation itself and not the executor between statements.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "script_fixture.h"

namespace vop::testing_data {
namespace {

constexpr int kCases = 300000;

class Stop : public ScriptTest {
 protected:
  Stop() {
    // stop_and_give(x): the Stop command, then x.
    interp_.family(Family::General).add({"stop_and_give", 1, 1, 1, [](Call& c) -> Value {
      c.interp().request_stop();
      return c.arg(0);
    }});
  }
  // A dataset of kCases cases: A = 1..kCases, B = 7.
  void make_data() {
    const std::string n = std::to_string(kCases);
    ok("DataAddVar([\"a\" \"b\"])\nDataAddCase(" + n + ")\nx = ones(" + n + ", 1);\nfor i = 1:" + n +
       " x(i) = i; end\nData(:, 1) = x;\nData(:, 2) = x * 0 + 7;\nclear x");
  }
  void make_file(const std::string& name) {
    make_data();
    ok("DataSave(\"" + path(name) + "\")");
  }
  // Column k (0-based) of the dataset.
  std::vector<double> column(int k) {
    const Matrix& m = ds().variable(k).column;
    return std::vector<double>(m.num(), m.num() + m.size());
  }
};

// Whether v is 1, 2, ..., kCases (compared quietly: the columns are long).
bool counts_up(const std::vector<double>& v) {
  if (v.size() != size_t(kCases)) return false;
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i] != double(i + 1)) return false;
  return true;
}

TEST_F(Stop, InsideDataOpenLeavesNoDatasetAndTheNextOpenReadsAll) {
  make_file("big.sav");
  EXPECT_EQ(code("DataOpen(stop_and_give(\"" + path("big.sav") + "\"))"), kErrStopped);
  EXPECT_EQ(ds().variable_count(), 0);
  EXPECT_EQ(ds().case_count(), 0);
  ok("DataOpen(\"" + path("big.sav") + "\")");
  EXPECT_EQ(ds().case_count(), kCases);
  EXPECT_TRUE(counts_up(column(0)));
}

TEST_F(Stop, InsideDataSaveLeavesTheFileAsItWas) {
  make_data();
  EXPECT_EQ(code("DataSave(stop_and_give(\"" + path("new.sav") + "\"))"), kErrStopped);
  EXPECT_FALSE(std::filesystem::exists(path("new.sav")));
  write_file("old.sav", "the old file");
  EXPECT_EQ(code("DataSave(stop_and_give(\"" + path("old.sav") + "\"))"), kErrStopped);
  EXPECT_EQ(file_bytes("old.sav"), "the old file");
  for (const auto& e : std::filesystem::directory_iterator(dir_))
    EXPECT_EQ(e.path().filename().string().find(".vop"), std::string::npos) << e.path() << " left behind";
  ok("DataSave(\"" + path("old.sav") + "\")");
  EXPECT_EQ(ds().case_count(), kCases);
}

TEST_F(Stop, InsideRecodeLeavesEveryVariableWhole) {
  make_data();
  // In place, and into a new variable: the rules are evaluated first, so the
  // stop reaches the recoding of the cases.
  EXPECT_EQ(code("!recode a (1 thru 200000 = stop_and_give(0))."), kErrStopped);
  EXPECT_TRUE(counts_up(column(0)));
  EXPECT_EQ(code("!recode a (else = stop_and_give(1)) into c."), kErrStopped);
  ASSERT_EQ(ds().variable_count(), 3);
  const std::vector<double> untouched = column(2);
  EXPECT_EQ(std::count_if(untouched.begin(), untouched.end(), [](double x) { return std::isnan(x); }),
            kCases);
  ok("!recode a (1 thru 200000 = 0) (else = 1) into c.");
  const std::vector<double> c = column(2);
  EXPECT_EQ(c[0], 0);
  EXPECT_EQ(c[size_t(kCases - 1)], 1);
}

// The Stop command of another thread while the run is in DataOpen or in
// the loop after it: whichever, the run ends with 1000 and the dataset is
// either whole or empty.
TEST_F(Stop, FromAnotherThreadDuringALongOpen) {
  make_file("big.sav");
  ok("DataClose()");
  interp_.queue_run();
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    interp_.request_stop();
  });
  const int result = code("DataOpen(\"" + path("big.sav") + "\")\nfor i = 1:0:0\n  x = i;\nend");
  stopper.join();
  EXPECT_EQ(result, kErrStopped);
  if (ds().case_count() != 0) EXPECT_TRUE(counts_up(column(0)));
  else EXPECT_EQ(ds().variable_count(), 0);
  ok("x = 1;");
}

// Upper-cased names belong to the transformation statement that runs:
// after one that fails or is stopped, a script-level name is read as
// written again.
TEST_F(Stop, TransformationModeEndsWithItsStatement) {
  ok("DataAddVar(\"y\")\nDataAddCase(3)\nData(:, 1) = [1; 2; 3]");
  const char* failing[] = {"!compute y = nosuch.", "!if (nosuch) y = 1.",
                           "!recode y (1 = nosuch).", "!compute x = stop_and_give(y)."};
  for (const char* statement : failing) {
    EXPECT_NE(code(statement), 0) << statement;
    EXPECT_EQ(code("v = y"), kErrUnknownName) << "after " << statement;
    clear_out();
    ok("y = [1 2; 3 4]");
    EXPECT_EQ(out().substr(0, 4), "y =\n") << out();
    ok("clear y");
  }
}

}  // namespace
}  // namespace vop::testing_data
