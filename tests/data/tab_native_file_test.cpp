// The tab-delimited and native file formats, byte for byte, through the
// builtins that use them and the readers' failures.
#include <cstring>

#include "data/native_file.h"
#include "data/tab_file.h"
#include "script_fixture.h"

namespace vop::testing_data {
namespace {

using TabFile = ScriptTest;
using NativeFile = ScriptTest;

TEST_F(TabFile, ColumnsAreTypedByTheirFields) {
  write_file("a.tab", "1\ta\n2.5\tb\n");
  ok("DataOpenTab(\"" + path("a.tab") + "\")\nn = [nvar ncase]\nx = Data(:, 1)\ny = Data(:, 2)\nnames = GetVarName(1:2)");
  EXPECT_TRUE(SameNumbers(nums("n"), {2, 2}));
  EXPECT_TRUE(SameNumbers(nums("x"), {1, 2.5}));
  EXPECT_EQ(texts("y"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(texts("names"), (std::vector<std::string>{"V1", "V2"}));
  EXPECT_EQ(out().find("successfully"), std::string::npos);  // no load report
}

TEST_F(TabFile, NumbersShortLinesAndLineEnds) {
  // 1e3 is a number, 12abc turns its column to text; a short line is
  // filled; a CR before the newline is part of the line end; the last line
  // counts without a newline.
  write_file("b.tab", " 1e3\t12abc\t-.5\r\n7\n\t\tx\n+4.\t5");
  ok("DataOpenTab(\"" + path("b.tab") + "\")\nn = [nvar ncase]\na = DataX(:, 1)\nb = DataX(:, 2)\nc = DataX(:, 3)");
  EXPECT_TRUE(SameNumbers(nums("n"), {3, 4}));
  EXPECT_TRUE(SameNumbers(nums("a"), {1000, 7, kNan, 4}));
  EXPECT_EQ(texts("b"), (std::vector<std::string>{"12abc", "<absent>", "<absent>", "5"}));
  EXPECT_EQ(texts("c"), (std::vector<std::string>{"-.5", "<absent>", "x", "<absent>"}));
}

TEST_F(TabFile, AFieldOfAnyLengthReads) {
  const std::string big(300000, 'q');
  write_file("c.tab", "1\t" + big + "\n");
  ok("DataOpenTab(\"" + path("c.tab") + "\")\ns = DataX(1, 2)");
  ASSERT_EQ(texts("s").size(), 1u);
  EXPECT_EQ(texts("s")[0], big);
}

TEST_F(TabFile, WritesFixedNumbersAndEmptyFields) {
  ok("DataAddVar(\"a\")\nDataAddCVar(\"s\")\nDataAddVar(\"z\")\nDataAddCase(3)\n"
     "Data(:, 1) = [1; NaN; -Inf]\nData(1, 2) = \"x y\"\nData(3, 2) = \"\"\nData(:, 3) = [0.1234567; 2; 1e6]\n"
     "DataSaveTab(\"" + path("out.sav") + "\")");
  EXPECT_EQ(file_bytes("out.tab"), "1.000000\tx y\t0.123457\n\t\t2.000000\n\t\t1000000.000000\n");
  // Reading it back gives the values, the absent and empty texts both absent.
  ok("DataOpenTab(\"" + path("out.tab") + "\")\na = DataX(:, 1)\ns = DataX(:, 2)");
  EXPECT_TRUE(SameNumbers(nums("a"), {1, kNan, kNan}));
  EXPECT_EQ(texts("s"), (std::vector<std::string>{"x y", "<absent>", "<absent>"}));
}

TEST_F(TabFile, OutputNameRule) {
  EXPECT_EQ(tab_file_name("data.sav"), "data.tab");
  EXPECT_EQ(tab_file_name("data.SAV"), "data.tAb");
  EXPECT_EQ(tab_file_name("data"), "data.tab");
  EXPECT_EQ(tab_file_name(".sav"), ".tab");
  EXPECT_EQ(tab_file_name("sav"), "sav.tab");
  EXPECT_EQ(tab_file_name("x.tab"), "x.tab.tab");
  // Without a name, the stored file name is used.
  ok("DataAddVar(\"a\")\nDataAddCase(1)\nDataSave(\"" + path("d.SAV") + "\")\nDataSaveTab()");
  EXPECT_EQ(file_bytes("d.tAb"), "\n");
}

TEST_F(TabFile, FailuresLeaveNoData) {
  ok("DataAddVar(\"a\")");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(code("DataOpenTab(\"" + path("missing.tab") + "\")"), kErrSpssFile);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Izgubljeni stari podaci\n");
  EXPECT_TRUE(ds().empty());
  EXPECT_EQ(ds().case_count(), 0);
  // Saving where no file can be made.
  ok("DataAddVar(\"a\")");
  EXPECT_EQ(code("DataSaveTab(\"" + path("no/such/dir/x") + "\")"), kErrSpssFile);
  // With no data loaded, opening writes nothing to standard output.
  ok("DataClose");
  write_file("e.tab", "1\n");
  ::testing::internal::CaptureStdout();
  ok("DataOpenTab(\"" + path("e.tab") + "\")");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

// --- Native file -------------------------------------------------------------

std::string bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s += char(x);
  return s;
}
std::string f64(double x) {
  std::string s(8, '\0');
  std::memcpy(s.data(), &x, 8);
  return s;
}

TEST_F(NativeFile, EmptyDatasetLayout) {
  Dataset empty;
  ErrorState err;
  ASSERT_TRUE(write_native(path("empty.vop"), empty, err));
  EXPECT_EQ(file_bytes("empty.vop"), "VOP" + bytes({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + "0");
  Dataset back;
  ASSERT_TRUE(read_native(path("empty.vop"), back, err));
  EXPECT_TRUE(back.empty());
}

TEST_F(NativeFile, VariableAndDataLayout) {
  ok("DataAddVar(\"x\")\nDataAddCase(1)\nData(1, 1) = 1.5\nDataSave(\"" + path("one.vop") + "\", \"vop\")");
  const std::string want = "VOP" + bytes({1, 0}) + bytes({1, 0, 0, 0}) + bytes({1, 0, 0, 0}) +
                           bytes({0, 0}) +                      // weight name
                           bytes({1, 0}) + bytes({1, 0}) + "X" +  // numeric, name
                           bytes({0, 0}) +                      // label
                           bytes({5, 0, 0, 0, 8, 0, 0, 0, 2, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}) +
                           f64(0) + f64(0) + f64(0) + bytes({0, 0, 0, 0}) + "0" + f64(1.5);
  EXPECT_EQ(file_bytes("one.vop"), want);
}

TEST_F(NativeFile, RoundTripKeepsWhatTheSystemFileWouldReshape) {
  const std::string long_label(100, 'L');
  ok("DataAddVar([\"q1\" \"q2\" \"w\"])\nDataAddCVar(\"name\")\nDataAddCase(3)\n"
     "Data(:, 1:3) = [1 2 1; 2 9 2; 3 1 0.5]\nData(1, 4) = \"Ana\"\nData(2, 4) = \"\"\n"
     "SetVarLabel(\"Q1\", \"First\")\nSetNumLabel(\"Q1\", [2 1], [\"two\" \"one\"])\n"
     "SetMissVal(\"Q2\", -3, [5 8 9])\nDataAddMVar(\"$m\", [\"Q1\" \"Q2\"], [1 2])\n"
     "DataAddMVar(\"$c\", 1:2)\nSetVarLabel(\"$m\", \"Set\")\nDataWeight(\"W\")");
  // Value labels over the 60 bytes a script may set come from system files.
  ds().find("Q1")->value_labels[0].text = long_label;
  ok("DataSave(\"" + path("r.vop") + "\", \"VOP\")\nDataClose\n"
     "DataOpen(\"" + path("r.vop") + "\", \"Vop\")\n"
     "[l, v] = GetNumLabel(\"Q1\")\n[c, m] = GetMissVal(\"Q2\")\nk = GetMulVal(\"$m\")\n"
     "sets = GetMVar()\ns = DataX(:, 4)\nw = wgh_name\nx = DataX(:, 1:3)\nlab = GetVarLabel([\"Q1\" \"$m\"])");
  EXPECT_EQ(texts("l"), (std::vector<std::string>{long_label, "two"}));
  EXPECT_TRUE(SameNumbers(nums("v"), {1, 2}));
  EXPECT_TRUE(SameNumbers(nums("c"), {-3}));
  EXPECT_TRUE(SameNumbers(nums("m"), {5, 8, 9}));
  EXPECT_TRUE(SameNumbers(nums("k"), {1, 2}));
  EXPECT_EQ(texts("sets"), (std::vector<std::string>{"$c", "$m"}));
  EXPECT_EQ(texts("s"), (std::vector<std::string>{"Ana", "<absent>", "<absent>"}));
  EXPECT_EQ(texts("w"), (std::vector<std::string>{"W"}));
  EXPECT_TRUE(SameNumbers(nums("x"), {1, 2, 3, 2, 9, 1, 1, 2, 0.5}));
  EXPECT_EQ(texts("lab"), (std::vector<std::string>{"First", "Set"}));
  EXPECT_NE(out().find("Data weighted by:           W\n"), std::string::npos) << out();
}

TEST_F(NativeFile, DamagedFilesFailAndLeaveNoData) {
  ok("DataAddVar([\"a\" \"b\"])\nDataAddCVar(\"s\")\nDataAddCase(2)\nData(:, 3) = [\"x\"; \"yz\"]\n"
     "DataAddMVar(\"$m\", 1:2, 1)\nDataSave(\"" + path("good.vop") + "\", \"vop\")");
  const std::string good = file_bytes("good.vop");
  // Every truncation fails cleanly.
  for (size_t n = 0; n < good.size(); ++n) {
    write_file("cut.vop", good.substr(0, n));
    EXPECT_EQ(code("DataOpen(\"" + path("cut.vop") + "\", \"vop\")"), kErrSpssFile) << n;
    EXPECT_TRUE(ds().empty()) << n;
    EXPECT_EQ(ds().case_count(), 0) << n;
  }
  // No magic, an absurd case count, a bad multiple-variable marker.
  std::string bad = good;
  bad[0] = 'X';
  write_file("bad.vop", bad);
  EXPECT_EQ(code("DataOpen(\"" + path("bad.vop") + "\", \"vop\")"), kErrSpssFile);
  bad = good;
  bad[5] = bad[6] = bad[7] = '\x7f';
  write_file("bad.vop", bad);
  EXPECT_EQ(code("DataOpen(\"" + path("bad.vop") + "\", \"vop\")"), kErrSpssFile);
  EXPECT_EQ(code("DataOpen(\"" + path("nothing.vop") + "\", \"vop\")"), kErrSpssFile);
  EXPECT_EQ(out().find("SPSS Data successfully loaded"), std::string::npos);
  // The good file still reads.
  ok("DataOpen(\"" + path("good.vop") + "\", \"vop\")\ns = DataX(:, 3)");
  EXPECT_EQ(texts("s"), (std::vector<std::string>{"x", "yz"}));
}

TEST_F(NativeFile, AFailedSaveKeepsTheOldFile) {
  ok("DataAddCVar(\"s\")\nDataAddCase(1)\nData(1, 1) = \"kept\"\nDataSave(\"" + path("k.vop") + "\", \"vop\")");
  const std::string before = file_bytes("k.vop");
  // A text too long for its length field cannot be written.
  ds().variable(0).column.str()[0] = std::string(70000, 'x');
  EXPECT_EQ(code("DataSave(\"" + path("k.vop") + "\", \"vop\")"), kErrSpssFile);
  EXPECT_EQ(file_bytes("k.vop"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

}  // namespace
}  // namespace vop::testing_data
