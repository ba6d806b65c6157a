// Names with letters beyond ASCII: the one upper-casing of names, names
// read from files in a legacy code page, and the same names written in
// scripts, DataAddVar and the transformation statements.
#include <cstring>

#include "data/name_case.h"
#include "data/sav_reader.h"
#include "data/sav_writer.h"
#include "file_text.h"
#include "script_fixture.h"

namespace vop::testing_data {
namespace {

TEST(NameCase, LettersOfTheLatinGreekAndCyrillicBlocks) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"opština", "OPŠTINA"},      {"čćđšž_x1", "ČĆĐŠŽ_X1"},   {"општина", "ОПШТИНА"},
      {"ѓѕјљњќџ", "ЃЅЈЉЊЌЏ"},      {"σίσυφος", "ΣΊΣΥΦΟΣ"},    {"àÿ", "ÀŸ"},
      {"ǆǉ", "ǄǇ"},                {"ạệ", "ẠỆ"},              {"ı", "I"},
      {"ȿ", "\u2C7E"},             {"straße", "STRAßE"},      {"ALREADY_Ž", "ALREADY_Ž"},
      {"€x", "€X"},                {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(upper_name(c.in), c.out) << c.in;
    std::string s = c.in;
    to_upper_name(s);
    EXPECT_EQ(s, c.out) << c.in;
  }
  // Bytes that are not UTF-8 stay: a legacy code page's letters, a cut
  // sequence, an overlong form, an encoded surrogate.
  for (const std::string bad : {"op\x9atina", "ab\xc5", "\xc0\xafz", "\xed\xa0\x80q", "\xe3\xb3"}) {
    std::string want = bad;
    for (char& ch : want)
      if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
    EXPECT_EQ(upper_name(bad), want);
  }
}

// A system file in a legacy code page, made by writing `ds` and then
// replacing the ASCII stand-ins of its names by the code page's bytes (of
// the same length) and the encoding record by `encoding`.
void write_legacy_sav(const std::string& path, Dataset& ds, const std::string& encoding,
                      const std::vector<std::pair<std::string, std::string>>& bytes_for) {
  ErrorState err;
  ASSERT_TRUE(write_sav(path, ds, err));
  std::string b = test::slurp(path);
  for (const auto& [from, to] : bytes_for) {
    ASSERT_EQ(from.size(), to.size());
    for (size_t at = b.find(from); at != std::string::npos; at = b.find(from, at + 1))
      b.replace(at, from.size(), to);
  }
  auto record = [](const std::string& text) {
    const int32_t head[4] = {7, 20, 1, int32_t(text.size())};
    return std::string(reinterpret_cast<const char*>(head), sizeof head) + text;
  };
  const std::string utf8 = record("UTF-8");
  const size_t at = b.find(utf8);
  ASSERT_NE(at, std::string::npos);
  b.replace(at, utf8.size(), record(encoding));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << b;
}

using LegacyNames = ScriptTest;

// "opština" as windows-1250 writes it; the variable record holds the
// capitals, the long-name record the written form.
const std::vector<std::pair<std::string, std::string>> kCp1250 = {
    {"OPQTINA", "OP\x8aTINA"}, {"opqtina", "op\x9atina"}};

void make_cp1250(const std::string& path) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(3);
  DataVariable* v = ds.create_variable("OPQTINA", true, err);
  v->short_name = "OPQTINA";
  for (int r = 0; r < 3; ++r) v->column[r] = r + 1;
  DataVariable* w = ds.create_variable("B", true, err);
  w->short_name = "B";
  ds.multiple_variables().push_back(
      MultipleVariable{"$SET", {}, MultipleKind::Category, {}, {"OPQTINA", "B"}});
  ds.set_weight("OPQTINA", err);
  write_legacy_sav(path, ds, "windows-1250", kCp1250);
}

TEST_F(LegacyNames, ReaderUpperCasesNamesAsTheirCodePageDoes) {
  ASSERT_NO_FATAL_FAILURE(make_cp1250(path("cp1250.sav")));
  Dataset& d = ds();
  ErrorState err;
  ASSERT_TRUE(read_sav(path("cp1250.sav"), d, err));
  ASSERT_EQ(d.variable_count(), 2);
  EXPECT_EQ(d.variable(0).name(), "OPŠTINA");
  EXPECT_EQ(d.variable(0).short_name, "OPŠTINA");
  EXPECT_EQ(d.weight_name(), "OPŠTINA");
  ASSERT_EQ(d.multiple_variables().size(), 1u);
  EXPECT_EQ(d.multiple_variables()[0].members, (std::vector<std::string>{"OPŠTINA", "B"}));

  // Cyrillic in windows-1251. The bytes of "ГІ" happen to form a valid UTF-8
  // letter (ò), so names must not be upper-cased before they are decoded.
  Dataset cyr;
  cyr.set_case_count(1);
  for (const char* name : {"OPWTINA", "GJRKA"}) cyr.create_variable(name, true, err)->short_name = name;
  ASSERT_NO_FATAL_FAILURE(write_legacy_sav(
      path("cp1251.sav"), cyr, "windows-1251",
      {{"OPWTINA", "\xce\xcf\xd8\xd2\xc8\xcd\xc0"}, {"opwtina", "\xee\xef\xf8\xf2\xe8\xed\xe0"},
       {"GJRKA", "\xc3\xb2\xd0\xca\xc0"}, {"gjrka", "\xe3\xb3\xf0\xea\xe0"}}));
  ASSERT_TRUE(read_sav(path("cp1251.sav"), d, err));
  ASSERT_EQ(d.variable_count(), 2);
  EXPECT_EQ(d.variable(0).name(), "ОПШТИНА");
  EXPECT_EQ(d.variable(0).short_name, "ОПШТИНА");
  EXPECT_EQ(d.variable(1).name(), "ГІРКА");
  EXPECT_EQ(d.variable(1).short_name, "ГІРКА");
}

TEST_F(LegacyNames, ScriptsReachTheNameInEitherCase) {
  ASSERT_NO_FATAL_FAILURE(make_cp1250(path("cp1250.sav")));
  ok("DataOpen(\"" + path("cp1250.sav") + "\")\n"
     "!compute dvaput = opština * 2.\n!compute triput = OPŠTINA * 3.\n"
     "!if (opština > 1) kuća = 1.\n!recode opština (1 = 10) (else = copy) into novo.\n"
     "d = DataX(:, \"DVAPUT\")\nt = DataX(:, \"TRIPUT\")\nk = DataX(:, \"KUĆA\")\n"
     "n = DataX(:, \"NOVO\")\nx = OPŠTINA\ny = Data(:, \"OPŠTINA\")");
  EXPECT_TRUE(SameNumbers(nums("d"), {2, 4, 6}));
  EXPECT_TRUE(SameNumbers(nums("t"), {3, 6, 9}));
  EXPECT_TRUE(SameNumbers(nums("k"), {kNan, 1, 1}));
  EXPECT_TRUE(SameNumbers(nums("n"), {10, 2, 3}));
  EXPECT_TRUE(SameNumbers(nums("x"), {1, 2, 3}));
  EXPECT_TRUE(SameNumbers(nums("y"), {1, 2, 3}));
  // Outside the statements a name is used as written.
  EXPECT_EQ(code("z = opština"), kErrUnknownName);
  // DataAddVar: a name must begin with an ASCII letter; the rest is upper-cased.
  EXPECT_EQ(code("DataAddVar(\"žena\")"), kErrBadVarName);
  ok("DataAddVar([\"kuća2\" \"ulica_čž\"])\nSetVarName(\"KUĆA2\", \"kućica\")\n"
     "!compute ulica_čž = opština + 100.\nu = ULICA_ČŽ");
  EXPECT_TRUE(ds().find("KUĆICA"));
  EXPECT_TRUE(SameNumbers(nums("u"), {101, 102, 103}));
  EXPECT_EQ(code("DataAddVar(\"Kućica\")"), kErrDuplicateVar);
}

}  // namespace
}  // namespace vop::testing_data
