// The data builtins through scripts: argument rules and their codes,
// references, selection and conversion, the dictionary builtins, multiple
// variables and bundles, weight and filter, the load report, and data
// variables as names and assignment targets.
#include "script_fixture.h"

namespace vop::testing_data {
namespace {

using DataBuiltins = ScriptTest;

// A small dataset: numeric A (1..4), B, string S; no filter, no weight.
constexpr char kSmall[] =
    "DataAddVar([\"a\" \"b\"])\nDataAddCVar(\"s\")\nDataAddCase(4)\n"
    "Data(:, 1) = [1; 2; 3; 4]\nData(:, 2) = [10; 20; 30; 40]\nData(:, 3) = [\"w\"; \"x\"; \"y\"; \"z\"]\n";

TEST_F(DataBuiltins, CountsAreCheckedFirst) {
  EXPECT_EQ(code("highest(1)"), kErrTooManyArgs);
  EXPECT_EQ(code("DataOpen()"), kErrMissingArgs);
  EXPECT_EQ(code("[a, b] = nvar"), kErrTooManyResults);
  EXPECT_EQ(code("x = DataClose"), kErrTooManyResults);
  EXPECT_EQ(code("[a, b] = GetNumLabel(\"A\", 1)"), kErrNoData);  // no data comes before the pair
}

TEST_F(DataBuiltins, WithoutDataMostFailAndTheListedOnesAnswer) {
  for (const char* call :
       {"DataSave()", "DataSaveTab()", "DataClose", "DataAddMVar(\"$m\", 1)", "DataAddCase(1)",
        "DataDelCase(1)", "DataDelVar(1)", "GetVarName(1)", "SetVarName(1, \"x\")", "GetVarLabel(1)",
        "SetVarLabel(1, \"x\")", "GetNumLabel(1)", "SetNumLabel(1, 1, \"x\")", "GetMissVal(1)",
        "SetMissVal(1, 0, [])", "GetMulVal(\"$m\")", "GetMVar()", "DataAddBMVar(\"$m\")",
        "DataGetBMVar()", "DataDelBMVar()", "GetVarPos(\"A\")", "!compute x = 1.",
        "!if (1) x = 1.", "!recode x (1 = 2)."}) {
    EXPECT_EQ(code(call), kErrNoData) << call;
  }
  ok("n = [ncase nvar nmvar]\nd = Data\nx = DataX(:, 1)\n[g, h] = DataGet(:, 1, 2)\nw = wgh\nf = filter\n"
     "wn = wgh_name\nfn = filter_name\nr = [lo lowest hi highest]\nDataWeight()\nDataSelect()");
  EXPECT_TRUE(SameNumbers(nums("n"), {0, 0, 0}));
  for (const char* empty : {"d", "x", "g", "h", "w", "f"}) EXPECT_TRUE(var(empty).empty()) << empty;
  EXPECT_EQ(texts("wn"), (std::vector<std::string>{"<absent>"}));
  EXPECT_EQ(texts("fn"), (std::vector<std::string>{"<absent>"}));
  EXPECT_TRUE(SameNumbers(nums("r"), {-kInf, -kInf, kInf, kInf}));
  EXPECT_EQ(code("DataWeight(\"A\")"), kErrNoVariable);
  EXPECT_NE(out().find("Wrong reference of non-existing variable 'A' in Data"), std::string::npos);
}

TEST_F(DataBuiltins, TextArgumentsAndReferences) {
  EXPECT_EQ(code("DataOpen(5)"), kErrString);
  EXPECT_EQ(code("DataOpen([\"a\" \"b\"])"), kErrScalar);
  EXPECT_EQ(code("DataOpen([])"), kErrNotEmpty);
  ok(kSmall);
  EXPECT_EQ(code("Data(:, 0)"), kErrRange);
  EXPECT_EQ(code("Data(:, 4)"), kErrRange);
  EXPECT_EQ(code("Data(:, \"a\")"), 106);  // names are exact
  EXPECT_EQ(code("Data(:, \"$none\")"), 108);
  EXPECT_NE(out().find("Unknown multiple variable '$none'"), std::string::npos);
  EXPECT_EQ(code("x = [\"A\"; \"B\"]\nx(3) = \"S\"\nx(5) = \"A\"\nGetVarName(x)"), kErrBadVarName);
  EXPECT_EQ(code("Data(:, [1 3])"), kErrTypes);
  EXPECT_EQ(code("Data(0, 1)"), kErrRange);
  EXPECT_EQ(code("Data(\"1\", 1)"), kErrNumeric);
  EXPECT_EQ(code("Data([1 2; 3 4], 1)"), kErrVector);
  ok("x = Data([4 1 1], [\"B\" \"A\"])\nn = GetVarName([3 1])\nm = GetVarName([\"B\" \"A\"])");
  EXPECT_TRUE(SameNumbers(nums("x"), {40, 10, 10, 4, 1, 1}));
  EXPECT_EQ(texts("n"), (std::vector<std::string>{"S", "A"}));
  EXPECT_EQ(texts("m"), (std::vector<std::string>{"B", "A"}));
}

TEST_F(DataBuiltins, FilterSelectsFiniteNonZeroCases) {
  ok(std::string(kSmall) + "DataAddVar(\"f\")\nData(:, \"F\") = [1; 0; NaN; 2]\nDataSelect(\"F\")\n"
     "x = Data(:, \"A\")\nall = Data([1 2 3], \"A\")\nraw = DataX(:, \"A\")\n[p, q] = DataGet(:, \"A\", \"S\")\n"
     "f = filter\nfn = filter_name\nDataSelect(\"\")\nz = Data(:, \"A\")");
  EXPECT_TRUE(SameNumbers(nums("x"), {1, 4}));
  EXPECT_TRUE(SameNumbers(nums("all"), {1, 2, 3}));  // case numbers ignore the filter
  EXPECT_TRUE(SameNumbers(nums("raw"), {1, 2, 3, 4}));
  EXPECT_TRUE(SameNumbers(nums("p"), {1, 4}));
  EXPECT_EQ(texts("q"), (std::vector<std::string>{"w", "z"}));
  EXPECT_TRUE(SameNumbers(nums("f"), {1, 0, kNan, 2}));  // the whole column
  EXPECT_EQ(texts("fn"), (std::vector<std::string>{"F"}));
  EXPECT_TRUE(SameNumbers(nums("z"), {1, 2, 3, 4}));
  // Infinities deselect, a negative fraction selects.
  ok("Data(:, \"F\") = [Inf; -0.5; -Inf; 0]\nDataSelect(\"F\")\ny = Data(:, \"A\")");
  EXPECT_TRUE(SameNumbers(nums("y"), {2}));
  // Assignments reach the selected cases only.
  EXPECT_EQ(code("Data(:, \"B\") = [1; 2]"), kErrDims);
  ok("Data(:, \"B\") = 0\nB = 5\nb = DataX(:, \"B\")");
  EXPECT_TRUE(SameNumbers(nums("b"), {10, 5, 30, 40}));
}

TEST_F(DataBuiltins, MissingValuesAndDichotomiesConvert) {
  ok(std::string(kSmall) + "Data(:, 1) = [1; 2; 9; 4]\nSetMissVal(\"A\", -3, [1 3 9])\n"
     "x = Data(:, \"A\")\nraw = DataX(:, \"A\")\nData(:, 2) = [1; 2; NaN; 1]\n"
     "DataAddMVar(\"$d\", [\"A\" \"B\"], 1)\nd = Data(:, \"$d\")\nc = $d");
  EXPECT_TRUE(SameNumbers(nums("x"), {kNan, kNan, kNan, 4}));  // 2 in the range, 9 the discrete value
  EXPECT_TRUE(SameNumbers(nums("raw"), {1, 2, 9, 4}));
  // A: its user-missing values become NaN (it has a missing-value rule); B: NaN
  // stays NaN (no rule), counted 1 gives 1, others 0.
  EXPECT_TRUE(SameNumbers(nums("d"), {kNan, kNan, kNan, 0, 1, 0, kNan, 1}));
  EXPECT_TRUE(SameNumbers(nums("c"), nums("d")));
  ok("Data(:, 1) = [Inf; NaN; 1; 5]\nd = Data(:, \"$d\")");
  const std::vector<double> d = nums("d");
  // +-Inf and NaN of a variable with a missing-value rule become NaN.
  EXPECT_TRUE(SameNumbers(std::vector<double>(d.begin(), d.begin() + 4), {kNan, kNan, kNan, 0}));
}

TEST_F(DataBuiltins, SetMissValRules) {
  ok(kSmall);
  EXPECT_EQ(code("SetMissVal(\"A\", -2, [5 3 0])"), 114);
  EXPECT_EQ(code("SetMissVal(\"A\", 4, [1 2 3])"), 112);
  EXPECT_EQ(code("SetMissVal(\"A\", 2, [1 1 0])"), 114);
  EXPECT_EQ(code("SetMissVal(\"A\", 1, [NaN 0 0])"), 113);
  EXPECT_EQ(code("SetMissVal(\"A\", 1, [1 2])"), kErrDims);
  ok("SetMissVal([\"A\" \"B\"], [1 -2], [7 0 0; 1 5 0])\n[c, v] = GetMissVal([\"A\" \"B\"])\n"
     "SetMissVal(\"A\", 0, [])\nc2 = GetMissVal([\"A\" \"B\"])");
  EXPECT_TRUE(SameNumbers(nums("c"), {1, -2}));
  EXPECT_TRUE(SameNumbers(nums("v"), {7, 1, kNan, 5, kNan, kNan}));
  EXPECT_TRUE(SameNumbers(nums("c2"), {0, -2}));
}

TEST_F(DataBuiltins, ValueLabels) {
  ok(std::string(kSmall) + "SetNumLabel(\"A\", [2 1], [\"two\" \"one\"])\nSetNumLabel(\"A\", 1.5, \"half\")\n"
     "[l, v] = GetNumLabel(\"A\")\nm = GetNumLabel(\"A\", [1 7])\nx = [\"gone\"]\nx(2) = \"still\"\n"
     "y = [\"one\"; \"\"]\ny(2) = \"ONE\"\n");
  EXPECT_EQ(texts("l"), (std::vector<std::string>{"one", "half", "two"}));
  EXPECT_TRUE(SameNumbers(nums("v"), {1, 1.5, 2}));
  EXPECT_EQ(texts("m"), (std::vector<std::string>{"one", "<absent>"}));
  // An absent label removes the value's label; an existing value is relabelled.
  ok("t = [\"x\" \"ONE\"]\nt(3) = \"y\"\nu = [\"x\" \"ONE\" \"y\"]\n"
     "lab = strcat(\"\", u)\nSetNumLabel(\"A\", [2 1], [\"x\" \"ONE\"])\n"
     "r = [\"q\"]\nr(3) = \"z\"\nSetNumLabel(\"A\", [7 1.5 9], r')\n[l, v] = GetNumLabel(\"A\")");
  EXPECT_TRUE(SameNumbers(nums("v"), {1, 2, 7, 9}));
  EXPECT_EQ(texts("l"), (std::vector<std::string>{"ONE", "x", "q", "z"}));
  EXPECT_EQ(code("SetNumLabel(\"S\", 1, \"x\")"), 101);
  EXPECT_EQ(code("GetNumLabel(\"S\")"), 101);
  EXPECT_EQ(code("SetNumLabel(\"A\", NaN, \"x\")"), 102);
  EXPECT_EQ(code("SetNumLabel(\"A\", Inf, \"x\")"), 102);
  EXPECT_EQ(code("SetNumLabel(\"A\", 3, \"" + std::string(61, 'x') + "\")"), kErrBadVarName);
  EXPECT_EQ(code("SetNumLabel(\"A\", [1 2], \"x\")"), kErrDims);
}

TEST_F(DataBuiltins, VariableLabels) {
  ok(std::string(kSmall) + "SetVarLabel([\"A\" \"B\"], \"both\")\nSetVarLabel(\"S\", \"text\")\n"
     "DataAddMVar(\"$m\", 1:2)\nSetVarLabel(\"$m\", \"set\")\nl = GetVarLabel([\"A\" \"S\" \"$m\"])");
  EXPECT_EQ(texts("l"), (std::vector<std::string>{"both", "text", "set"}));
  EXPECT_EQ(code("SetVarLabel(\"A\", \"" + std::string(256, 'x') + "\")"), 117);
  EXPECT_NE(out().find("The label  '" + std::string(256, 'x') + "' exceeds maximum of 255 characters."),
            std::string::npos);
  EXPECT_EQ(code("SetVarLabel([\"A\" \"B\"], [\"1\" \"2\" \"3\"])"), kErrDims);
}

TEST_F(DataBuiltins, AddingVariablesAndCases) {
  ok(std::string(kSmall) + "DataAddVar([\"p\" \"q\"], 2)\nDataAddCVar(\"t\", \"A\")\nn = GetVarName(1:nvar)\n"
     "DataAddCase(2, 2)\nDataAddCase(-3)\nDataAddCase\na = DataX(:, \"A\")\ns = DataX(:, \"S\")");
  EXPECT_EQ(texts("n"), (std::vector<std::string>{"T", "A", "P", "Q", "B", "S"}));
  EXPECT_TRUE(SameNumbers(nums("a"), {1, kNan, kNan, 2, 3, 4, kNan}));
  EXPECT_EQ(texts("s")[1], "<absent>");
  EXPECT_EQ(texts("s")[3], "x");
  EXPECT_EQ(code("DataAddVar(\"1x\")"), kErrBadVarName);
  EXPECT_EQ(code("DataAddVar(\"_x\")"), kErrBadVarName);
  EXPECT_EQ(code("DataAddVar(\"" + std::string(65, 'v') + "\")"), kErrBadVarName);
  EXPECT_EQ(code("DataAddVar([\"r\" \"r\"])"), kErrDuplicateVar);
  EXPECT_TRUE(ds().find("R"));  // the first keeps its change
  EXPECT_EQ(code("DataAddVar(\"u\", [1 2])"), kErrScalar);
  EXPECT_EQ(code("DataAddVar(\"u\", 99)"), kErrRange);
  EXPECT_EQ(code("DataAddVar(\"u\", \"NOPE\")"), 106);
  EXPECT_EQ(code("DataAddVar(5)"), kErrString);
  EXPECT_EQ(code("DataAddCase(1, 0)"), kErrRange);
  EXPECT_EQ(code("DataAddCase(\"1\")"), kErrNumeric);
  ok("DataDelCase([7 1 1])\na = DataX(:, \"A\")");
  EXPECT_TRUE(SameNumbers(nums("a"), {kNan, kNan, 2, 3, 4}));
  EXPECT_EQ(code("DataDelCase(6)"), kErrRange);
}

TEST_F(DataBuiltins, DataBuiltFromNothing) {
  ok("DataAddCVar(\"name\")\nn = [nvar ncase]\nDataAddCase(2)\nDataAddVar(\"x\")\nx = DataX(:, 2)");
  EXPECT_TRUE(SameNumbers(nums("n"), {1, 0}));
  EXPECT_TRUE(SameNumbers(nums("x"), {kNan, kNan}));
}

TEST_F(DataBuiltins, DeletingVariablesUpdatesSetsWeightAndFilter) {
  ok(std::string(kSmall) + "DataAddVar(\"c\")\nDataAddMVar(\"$two\", [\"A\" \"B\"])\n"
     "DataAddMVar(\"$three\", [\"A\" \"B\" \"C\"])\nDataWeight(\"B\")\nDataSelect(\"A\")\n"
     "DataDelVar(\"B\")\nsets = GetMVar()\nm = GetVarName(\"$three\")\nw = wgh_name\nf = filter_name\n"
     "DataDelVar(\"$three\")\nk = [nvar nmvar]\nDataDelVar(1)\nf2 = filter_name");
  EXPECT_EQ(texts("sets"), (std::vector<std::string>{"$three"}));
  EXPECT_EQ(texts("m"), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(texts("w"), (std::vector<std::string>{"<absent>"}));
  EXPECT_EQ(texts("f"), (std::vector<std::string>{"A"}));
  EXPECT_TRUE(SameNumbers(nums("k"), {3, 0}));
  EXPECT_EQ(texts("f2"), (std::vector<std::string>{"<absent>"}));
}

TEST_F(DataBuiltins, RenamingVariablesAndSets) {
  ok(std::string(kSmall) + "DataAddMVar(\"$m\", [\"A\" \"B\"])\nDataAddMVar(\"$n\", [\"A\" \"B\"])\n"
     "DataAddBMVar([\"$m\" \"$n\"])\nDataWeight(\"A\")\n"
     "SetVarName([\"A\" \"$m\"], [\"first\" \"$renamed\"])\nnames = GetVarName(\"$renamed\")\n"
     "w = wgh_name\nb = DataGetBMVar()\nSetVarName(\"B\", \"b\")");
  EXPECT_EQ(texts("names"), (std::vector<std::string>{"FIRST", "B"}));
  EXPECT_EQ(texts("w"), (std::vector<std::string>{"FIRST"}));
  EXPECT_EQ(texts("b"), (std::vector<std::string>{"$renamed", "$n"}));
  EXPECT_EQ(code("SetVarName(\"B\", \"S\")"), kErrDuplicateVar);
  EXPECT_EQ(code("SetVarName(\"$n\", \"x\")"), 109);
  EXPECT_EQ(code("SetVarName(\"$n\", \"$renamed\")"), 110);
  EXPECT_NE(out().find("Multiple variable with name '$renamed' is already defined."), std::string::npos);
  EXPECT_EQ(code("SetVarName([\"B\" \"S\"], \"x\")"), kErrDims);
  EXPECT_EQ(code("SetVarName(\"B\", 5)"), kErrString);
}

TEST_F(DataBuiltins, MultipleVariablesAndPositions) {
  ok(std::string(kSmall) + "DataAddMVar(\"$c\", [1 2])\nDataAddMVar(\"$d\", [\"$c\"], [1 1 3])\n"
     "[names, kinds, labels] = GetMVar()\nk = GetMulVal(\"$d\")\nc = GetMulVal(\"$c\")\n"
     "by = GetMVar(\"B\")\nnone = GetMVar(\"S\")\np = GetVarPos([\"B\" \"$c\" \"$d\" \"nope\"])\nn = nmvar");
  EXPECT_EQ(texts("names"), (std::vector<std::string>{"$d", "$c"}));  // new sets go first
  EXPECT_TRUE(SameNumbers(nums("kinds"), {2, 1}));
  EXPECT_TRUE(SameNumbers(nums("k"), {1, 3}));  // duplicates dropped
  EXPECT_TRUE(var("c").empty());
  EXPECT_EQ(texts("by"), (std::vector<std::string>{"$d", "$c"}));
  EXPECT_TRUE(var("none").empty());
  EXPECT_TRUE(SameNumbers(nums("p"), {2, -2, -1, 0}));
  EXPECT_TRUE(SameNumbers(nums("n"), {2}));
  EXPECT_EQ(code("DataAddMVar(\"m\", 1:2)"), 109);
  EXPECT_EQ(code("DataAddMVar(\"$m\", 1:2, [1 NaN])"), 111);
  EXPECT_EQ(code("GetVarPos(1)"), kErrString);
  ok("DataAddMVar(\"$c\", 1)\nn = nmvar\nm = GetVarName(\"$c\")");  // replaced, still one
  EXPECT_TRUE(SameNumbers(nums("n"), {2}));
  EXPECT_EQ(texts("m"), (std::vector<std::string>{"A"}));
}

TEST_F(DataBuiltins, Bundles) {
  ok(std::string(kSmall) + "DataAddMVar(\"$x\", 1:2)\nDataAddMVar(\"$y\", 1:2)\nDataAddMVar(\"$z\", 1)\n"
     "e = DataGetBMVar()\nDataAddBMVar([\"$x\" \"$y\"])\nDataAddBMVar([\"$y\"; \"$x\"])\n"
     "all = DataGetBMVar()\nwhere = DataGetBMVar([\"$y\" \"$z\"])\nDataDelBMVar(1)\nleft = DataGetBMVar()\n"
     "DataDelBMVar()\nnone = DataGetBMVar()");
  EXPECT_TRUE(var("e").empty());
  EXPECT_EQ(texts("all"), (std::vector<std::string>{"$x", "$y", "$y", "$x"}));
  EXPECT_TRUE(SameNumbers(nums("where"), {1, 0}));
  EXPECT_EQ(texts("left"), (std::vector<std::string>{"$y", "$x"}));
  EXPECT_TRUE(var("none").empty());
  EXPECT_EQ(code("DataAddBMVar([\"$x\" \"y\"])"), 109);
  EXPECT_EQ(code("DataAddBMVar([\"$x\" \"$q\"])"), 108);
  EXPECT_EQ(code("DataAddBMVar([\"$x\" \"$x\"])"), 115);
  EXPECT_EQ(code("DataAddBMVar([\"$x\" \"$z\"])"), 116);
  EXPECT_NE(out().find("Multiple variable '$z'"), std::string::npos);
  EXPECT_EQ(code("DataDelBMVar(\"1\")"), kErrNumeric);
  EXPECT_EQ(code("DataDelBMVar(1)"), kErrRange);
}

TEST_F(DataBuiltins, WeightAndFilterValues) {
  ok(std::string(kSmall) + "DataWeight(\"B\")\nw = wgh\nw2 = wgh(2:3)\nDataAddVar(\"f\")\n"
     "Data(:, \"F\") = [0; 1; 1; 0]\nDataSelect(\"F\")\nwf = wgh\nwf2 = wgh(2)\nf = filter(1:2)\nn = wgh_name");
  EXPECT_TRUE(SameNumbers(nums("w"), {10, 20, 30, 40}));
  EXPECT_TRUE(SameNumbers(nums("w2"), {20, 30}));
  EXPECT_TRUE(SameNumbers(nums("wf"), {20, 30}));
  EXPECT_TRUE(SameNumbers(nums("wf2"), {30}));
  EXPECT_TRUE(SameNumbers(nums("f"), {0, 1}));
  EXPECT_EQ(texts("n"), (std::vector<std::string>{"B"}));
  EXPECT_EQ(code("DataSelect(\"nope\")"), kErrNoVariable);
  EXPECT_EQ(code("wgh(1, 1, 1)"), 66);
  ok("DataWeight()\nw = wgh");
  EXPECT_TRUE(var("w").empty());
}

TEST_F(DataBuiltins, LoadReportAndStoredName) {
  EXPECT_EQ(code(std::string(kSmall) + "DataSave()"), kErrSpssFile);  // no stored name yet
  const std::string file = path("s.sav");
  ok("DataSave(\"" + file + "\")\nDataClose\nDataOpen(\"" + file + "\")");
  const std::string stars(file.size(), '*');
  EXPECT_NE(out().find(stars + "\n" + file + "\n\nSPSS Data successfully loaded\n"
                       "Number of variables:        3\nNumber of observations:     4\n"
                       "Data is not weighted.\n\n"),
            std::string::npos)
      << out();
  clear_out();
  ok("DataWeight(\"B\")\nDataSave()\nDataOpen(\"" + file + "\", \"sav\")");
  EXPECT_EQ(out(), stars + "\n" + file + "\n\nSPSS Data successfully loaded\n"
                   "Number of variables:        3\nNumber of observations:     4\n"
                   "Data weighted by:           B\n\n");
  set_report_saves(interp_, true);
  clear_out();
  ok("DataSave()");
  EXPECT_EQ(out(), "\nSPSS Dataset with 3 vars and 4 cases successfully saved.\n");
  // A failed open leaves no data and writes no report.
  clear_out();
  EXPECT_EQ(code("DataOpen(\"" + path("none.sav") + "\")"), kErrSpssFile);
  EXPECT_TRUE(ds().empty());
  EXPECT_EQ(out().find("successfully"), std::string::npos);
}

TEST_F(DataBuiltins, DataVariablesAsNames) {
  ok(std::string(kSmall) + "x = A\ny = A(2:3)\nz = B'\ne = [vext([\"A\" \"a\" \"x\"]) ext(\"x\") vdef(A) def(S) mdef(A)]\n"
     "A = 7\nB(2) = -1\nData(4, \"A\") = 0\nData(1:2, [\"A\" \"B\"]) = [5 6; 7 8]\nS(1) = \"new\"\n"
     "a = DataX(:, 1)\nb = DataX(:, 2)\ns = DataX(:, 3)\n$ab = 1");
  EXPECT_TRUE(SameNumbers(nums("x"), {1, 2, 3, 4}));
  EXPECT_TRUE(SameNumbers(nums("y"), {2, 3}));
  EXPECT_TRUE(SameNumbers(nums("z"), {10, 20, 30, 40}));
  EXPECT_TRUE(SameNumbers(nums("e"), {1, 0, 0, 1, 1, 1, 0}));
  EXPECT_TRUE(SameNumbers(nums("a"), {5, 7, 7, 0}));
  EXPECT_TRUE(SameNumbers(nums("b"), {6, 8, 30, 40}));
  EXPECT_EQ(texts("s")[0], "new");
  EXPECT_EQ(code("A = []"), 94);
  EXPECT_EQ(code("A(1) = []"), 94);
  EXPECT_EQ(code("Data(1, 1) = []"), 94);
  EXPECT_EQ(code("A = \"text\""), kErrTypes);
  EXPECT_EQ(code("A = [1; 2]"), kErrDims);
  EXPECT_EQ(code("A(9) = 1"), kErrRange);
  EXPECT_EQ(code("A(1, 2) = 1"), kErrRange);
  EXPECT_EQ(code("Data(1:2, 1) = [1 2 3]"), kErrDims);
  EXPECT_EQ(code("Data(1, \"S\") = 1"), kErrTypes);
  // Data variables are seen at the script level only.
  write_file("readsa.s", "function r = readsa()\n r = A;\nend\n");
  interp_.add_search_dir(dir_.string());
  EXPECT_EQ(code("x = readsa()"), kErrUnknownName);
  // A workspace variable hides the data variable, and takes assignments.
  ok("Q = 3\nDataAddVar(\"q\")\nQ = 4\nw = Q\nq = DataX(:, \"Q\")");
  EXPECT_TRUE(SameNumbers(nums("w"), {4}));
  EXPECT_TRUE(SameNumbers(nums("q"), {kNan, kNan, kNan, kNan}));
}

TEST_F(DataBuiltins, AColumnLentToAnExpressionOutlivesItsDeletionByAFunction) {
  write_file("dropa.s", "function r = dropa()\n DataDelVar(\"A\");\n r = 1;\nend\n");
  write_file("closeall.s", "function r = closeall()\n DataClose;\n r = 0;\nend\n");
  interp_.add_search_dir(dir_.string());
  ok(std::string(kSmall) + "y = A + dropa()\nn = nvar\nz = B + closeall()\nm = nvar");
  EXPECT_TRUE(SameNumbers(nums("y"), {2, 3, 4, 5}));
  EXPECT_TRUE(SameNumbers(nums("n"), {2}));
  EXPECT_TRUE(SameNumbers(nums("z"), {10, 20, 30, 40}));
  EXPECT_TRUE(SameNumbers(nums("m"), {0}));
}

TEST_F(DataBuiltins, DataFunctionsGiveUnnamedValuesAndABareNameItsColumn) {
  ok(std::string(kSmall) + "DataWeight(\"B\")\nDataAddVar(\"f\")\nData(:, \"F\") = [1; 1; 1; 1]\n"
     "DataSelect(\"F\")");
  // Each value-giving builtin shows under "ans =" and leaves its value in ans.
  struct Case {
    const char* call;
    std::vector<double> want;
  };
  const Case cases[] = {
      {"Data(:, 1)", {1, 2, 3, 4}},   {"Data(:, \"A\")", {1, 2, 3, 4}},
      {"DataX(:, 1)", {1, 2, 3, 4}},  {"DataX(:, \"B\")", {10, 20, 30, 40}},
      {"DataGet(:, \"A\")", {1, 2, 3, 4}}, {"wgh", {10, 20, 30, 40}},
      {"wgh(2:3)", {20, 30}},         {"filter", {1, 1, 1, 1}},
      {"filter(:)", {1, 1, 1, 1}},
  };
  auto ans = [&] {
    const Matrix& m = interp_.workspace().ans();
    return std::vector<double>(m.num(), m.num() + (m.numeric() ? m.size() : 0));
  };
  for (const Case& k : cases) {
    clear_out();
    ok("Data(1, 2)\n" + std::string(k.call));
    for (const char* name : {"A =", "B =", "F ="}) EXPECT_EQ(out().find(name), std::string::npos) << k.call;
    EXPECT_NE(out().find("ans =\n", 1), std::string::npos) << k.call << "\n" << out();
    EXPECT_TRUE(SameNumbers(ans(), k.want)) << k.call;
  }
  clear_out();
  ok("DataGet(:, \"S\")");
  EXPECT_EQ(out().substr(0, 6), "ans =\n") << out();
  const Matrix& s = interp_.workspace().ans();
  ASSERT_FALSE(s.numeric());
  EXPECT_EQ(s.rows(), 4);
  EXPECT_EQ(s.str()[3], "z");

  // A bare name is the variable itself, shown under its name; ans stays.
  ok("Data(:, 2)\nDataSelect()");
  clear_out();
  ok("A");
  EXPECT_EQ(out().substr(0, 4), "A =\n") << out();
  EXPECT_TRUE(SameNumbers(ans(), {10, 20, 30, 40}));
}

TEST_F(DataBuiltins, ValuesTakenFromTheDatasetAreCopies) {
  ok(std::string(kSmall) + "DataWeight(\"B\")\nDataSelect(\"A\")\n"
     "x = Data(:, 1)\ny = DataX(:, \"B\")\nz = DataGet(:, \"A\")\nw = wgh\nf = filter\ns = DataX(:, 3)\n"
     "Data(:, 1) = [5; 6; 7; 8]\nData(:, 2) = [0; 0; 0; 0]\nS(1) = \"changed\"\n");
  EXPECT_TRUE(SameNumbers(nums("x"), {1, 2, 3, 4}));
  EXPECT_TRUE(SameNumbers(nums("y"), {10, 20, 30, 40}));
  EXPECT_TRUE(SameNumbers(nums("z"), {1, 2, 3, 4}));
  EXPECT_TRUE(SameNumbers(nums("w"), {10, 20, 30, 40}));
  EXPECT_TRUE(SameNumbers(nums("f"), {1, 2, 3, 4}));
  EXPECT_EQ(texts("s")[0], "w");
  // And the other way round: changing what was taken leaves the data alone.
  ok("x(1) = 100\ny(2) = 100\nz(3) = 100\nw(4) = 100\nf(1) = 0\ns(2) = \"new\"\n"
     "a = DataX(:, 1)\nb = DataX(:, 2)\nt = DataX(:, 3)");
  EXPECT_TRUE(SameNumbers(nums("a"), {5, 6, 7, 8}));
  EXPECT_TRUE(SameNumbers(nums("b"), {0, 0, 0, 0}));
  EXPECT_EQ(texts("t"), (std::vector<std::string>{"changed", "x", "y", "z"}));
  // Deleting the variables after taking their values keeps the values.
  ok("DataDelVar([\"A\" \"B\"])\nn = nvar");
  EXPECT_TRUE(SameNumbers(nums("n"), {1}));
  EXPECT_TRUE(SameNumbers(nums("z"), {1, 2, 100, 4}));
}

TEST_F(DataBuiltins, CasesChangedByALaterArgumentAreNotReadStale) {
  write_file("dropcases.s", "function r = dropcases()\n DataDelCase([2 3 4]);\n r = 1;\nend\n");
  interp_.add_search_dir(dir_.string());
  ok(kSmall);
  EXPECT_EQ(code("x = Data(4, dropcases())"), kErrRange);
  ok("DataClose\n" + std::string(kSmall));
  EXPECT_EQ(code("x = DataGet(1:4, 1, dropcases())"), kErrRange);
  ok("DataClose\n" + std::string(kSmall));
  // ":" stands for the cases there are once every argument has run.
  ok("x = DataX(:, dropcases())");
  EXPECT_TRUE(SameNumbers(nums("x"), {1}));
}

}  // namespace
}  // namespace vop::testing_data
