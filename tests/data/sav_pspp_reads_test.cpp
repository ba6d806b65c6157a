// PSPP, an independent reader, opens every file our writer makes: the
// rewritten corpus and datasets built here for the hard cases
// (compression-code limits, very long strings with a UTF-8 character across
// a segment seam, labels cut at their limits, every kind of missing-value
// rule, multiple-response sets, a weight, Serbian text). PSPP must
// read each without a complaint, and its dictionary and every value must
// agree with the dataset we wrote. Skipped where PSPP is not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "data/dataset.h"
#include "data/name_case.h"
#include "data/sav_reader.h"
#include "data/sav_writer.h"
#include "pspp_compare.h"
#include "pspp_report.h"
#include "sav_compare.h"
#include "corpus.h"
#include "file_text.h"

namespace vop {
namespace {

using test::corpus_dir;
using test::slurp;

namespace fs = std::filesystem;

// Scratch folder of this test process, so that runs side by side (ctest -j,
// other checkouts) never share a file.
fs::path scratch_dir() {
  const fs::path dir = fs::path(::testing::TempDir()) / ("pspp_reads_" + std::to_string(getpid()));
  fs::create_directories(dir);
  return dir;
}

bool have_pspp() {
  static const bool found = std::system("command -v pspp >/dev/null 2>&1") == 0;
  return found;
}

std::string upper(const std::string& s) { return upper_name(s); }

// What PSPP made of one file: its report tables, its complaints and the
// data as CSV with every number written exactly.
struct PsppView {
  int status = -1;
  std::string report;
  std::string complaints;
  std::string csv;
};

PsppView pspp_view(const fs::path& sav, bool has_mrsets) {
  const fs::path dir = sav.parent_path();
  const std::string stem = sav.stem().string();
  const fs::path syntax = dir / (stem + ".sps");
  const fs::path report = dir / (stem + ".txt");
  const fs::path errors = dir / (stem + ".err");
  const fs::path csv = dir / (stem + ".csv");
  {
    std::ofstream s(syntax);
    s << "SYSFILE INFO FILE='" << sav.string() << "'.\n"
      << "GET FILE='" << sav.string() << "'.\n"
      << "DISPLAY DICTIONARY.\n";
    if (has_mrsets) s << "MRSETS /DISPLAY NAME=ALL.\n";
    s << "SAVE TRANSLATE /OUTFILE='" << csv.string()
      << "' /TYPE=CSV /REPLACE /FIELDNAMES /TEXTOPTIONS FORMAT=PLAIN.\n";
  }
  // The -O options shape the -o output before them; the page is wide
  // enough that the longest label (255 bytes) does not wrap.
  const std::string cmd = "pspp -o '" + report.string() +
                          "' -O format=txt -O width=600 -O box=ascii -e '" + errors.string() +
                          "' '" + syntax.string() + "' >/dev/null 2>&1";
  PsppView v;
  v.status = std::system(cmd.c_str());
  v.report = slurp(report);
  v.complaints = slurp(errors);
  v.csv = slurp(csv);
  for (const fs::path& p : {syntax, report, errors, csv}) fs::remove(p);
  return v;
}

// PSPP's warnings and errors, without the file name and offset that start
// each, so that complaints about two files can be compared.
std::set<std::string> complaints(const std::string& log) {
  std::set<std::string> out;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    const size_t at = line.find(": ", line.find("offset"));
    out.insert(line.find("offset") != std::string::npos && at != std::string::npos
                   ? line.substr(at + 2)
                   : line);
  }
  return out;
}

// What PSPP says when it merely opens a file; `name` keeps the scratch
// files apart from those of tests running beside this one.
std::set<std::string> complaints_on_opening(const fs::path& sav, const std::string& name) {
  const fs::path dir = scratch_dir();
  const fs::path syntax = dir / (name + ".open.sps");
  const fs::path errors = dir / (name + ".open.err");
  std::ofstream(syntax) << "GET FILE='" << sav.string() << "'.\n";
  const std::string cmd = "pspp -o /dev/null -O format=txt -e '" + errors.string() + "' '" +
                          syntax.string() + "' >/dev/null 2>&1";
  (void)std::system(cmd.c_str());
  std::set<std::string> out = complaints(slurp(errors));
  fs::remove(syntax);
  fs::remove(errors);
  return out;
}

// RFC 4180 records: fields separated by commas, quoted fields may hold
// commas, doubled quotes and line ends.
std::vector<std::vector<std::string>> parse_csv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += '"', ++i;
      else if (c == '"') quoted = false;
      else field += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      row.push_back(std::move(field));
      field.clear();
      rows.push_back(std::move(row));
      row.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty() || !row.empty()) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

// Every value PSPP read equals the one we wrote: numbers exactly (dates and
// other displays are written by PSPP in their own notation, so only F and
// unformatted numbers are compared), strings without trailing spaces.
void compare_data(const Dataset& ds, const std::string& csv) {
  const auto rows = parse_csv(csv);
  ASSERT_FALSE(rows.empty()) << "PSPP wrote no data";
  const auto& names = rows[0];
  ASSERT_EQ(int(names.size()), ds.variable_count());
  ASSERT_EQ(int(rows.size()) - 1, ds.case_count());
  for (size_t c = 0; c < names.size(); ++c) {
    const DataVariable& v = ds.variable(int(c));
    ASSERT_EQ(upper(names[c]), v.name());
    if (v.numeric() && v.format_type != kFormatF) continue;
    for (int r = 0; r < ds.case_count(); ++r) {
      const std::string& cell = rows[size_t(r) + 1][c];
      if (v.numeric()) {
        const double x = v.column[r];
        if (std::isnan(x)) {
          EXPECT_TRUE(cell.empty() || cell == " " || cell == ".")
              << v.name() << " case " << r + 1 << ": " << cell;
          continue;
        }
        char* end = nullptr;
        const double p = std::strtod(cell.c_str(), &end);
        EXPECT_TRUE(!cell.empty() && *end == '\0' && p == x)
            << v.name() << " case " << r + 1 << ": PSPP " << cell << ", ours " << x;
      } else {
        std::string ours = v.column.sat(r, 0).value_or("");
        ours.erase(ours.find_last_not_of(' ') + 1);
        std::string theirs = cell;
        theirs.erase(theirs.find_last_not_of(' ') + 1);
        EXPECT_EQ(theirs, ours) << v.name() << " case " << r + 1;
      }
    }
  }
}

// Write ds and have PSPP read the file. PSPP is compared with the file as
// our reader sees it, which in turn must equal ds up to the writer's
// documented cuts (labels at 255 bytes, value labels at 60).
void expect_pspp_agrees(Dataset& ds, const std::string& name,
                        const std::set<std::string>& tolerated = {}) {
  ErrorState err;
  const fs::path sav = scratch_dir() / (name + ".sav");
  ASSERT_TRUE(write_sav(sav.string(), ds, err)) << err.code();
  Dataset written;
  std::vector<std::string> warnings;
  ASSERT_TRUE(read_sav(sav.string(), written, err, &warnings)) << err.code();
  EXPECT_TRUE(warnings.empty()) << warnings[0];
  testing::expect_same_dataset(ds, written);
  const PsppView v = pspp_view(sav, !ds.multiple_variables().empty());
  fs::remove(sav);
  std::error_code ec;
  fs::remove(sav.parent_path(), ec);  // the scratch folder, once empty
  EXPECT_EQ(v.status, 0);
  for (const std::string& c : complaints(v.complaints))
    EXPECT_TRUE(tolerated.count(c)) << "PSPP complained: " << c;
  const std::vector<testing::PsppTable> tables = testing::parse_pspp_tables(v.report);
  testing::compare_file_info(written, tables);
  testing::compare_variables(written, tables);
  testing::compare_value_labels(written, tables);
  testing::compare_mrsets(written, tables);
  compare_data(written, v.csv);
  if (::testing::Test::HasFailure()) ADD_FAILURE() << "PSPP's report:\n" << v.report;
}

class PsppReadsOurFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_pspp()) GTEST_SKIP() << "pspp is not installed";
  }
};

TEST_F(PsppReadsOurFiles, NumbersAtTheCompressionLimitsAndMissingValues) {
  Dataset ds;
  ErrorState err;
  const std::vector<double> values = {-100, -99, 0, 1, 150, 151, 152, 0.5, -0.25, 1e10, -1e-300,
                                      1e300, 123456789.125, NAN, -1.5e-7, 3};
  ds.set_case_count(int(values.size()));
  DataVariable* x = ds.create_variable("X", true, err);
  for (int r = 0; r < ds.case_count(); ++r) x->column[r] = values[size_t(r)];
  x->label = "Values around the one-byte codes";
  x->decimals = 3;
  x->format_width = 12;

  // One variable per kind of missing-value rule.
  struct MissingCase {
    const char* name;
    int code;
    std::array<double, 3> v;
  };
  const MissingCase cases[] = {{"M1", 1, {9, 0, 0}},
                        {"M3", 3, {7, 8, 9}},
                        {"MRANGE", kMissingRange, {-1e300, 0, 0}},
                        {"MRANGEV", kMissingRangeAndValue, {100, 200, -1}}};
  for (const MissingCase& s : cases) {
    DataVariable* m = ds.create_variable(s.name, true, err);
    m->missing_code = s.code;
    m->missing_values = s.v;
    m->decimals = 0;
    for (int r = 0; r < ds.case_count(); ++r) m->column[r] = r % 5 == 4 ? NAN : r * 7.0 - 1;
  }
  DataVariable* lab = ds.create_variable("LABELLED", true, err);
  lab->label = std::string(300, 'L');  // cut to 255 bytes
  lab->value_labels = {{1, "one"}, {2, std::string(70, 'w')}, {-5, "negative"}, {99, ""}};
  lab->decimals = 0;
  for (int r = 0; r < ds.case_count(); ++r) lab->column[r] = r % 3;
  expect_pspp_agrees(ds, "numbers");
}

TEST_F(PsppReadsOurFiles, StringsOfEveryWidthAndSerbianText) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(5);
  // č is two bytes; placed at 254 it straddles the first segment seam.
  const std::string across = std::string(254, 'a') + "č" + std::string(40, 'b') + " kraj";
  const struct {
    const char* name;
    int width;
    std::vector<std::string> values;
  } strings[] = {
      {"S1", 1, {"a", "", "b", " ", "z"}},
      {"S8", 8, {"12345678", "a b", "", "x", "  lead"}},
      {"S9", 9, {"123456789", "Đorđe", "", "Ž", "šš"}},
      {"S255", 255, {std::string(255, 'q'), "", "end", std::string(200, 'x'), "Niš"}},
      {"S256", 256, {std::string(256, 'r'), "short", "", across.substr(0, 256), "Čačak"}},
      {"OPŠTINA_ČLAN", 300, {across, "", "Požarevac", std::string(299, 'y') + "!", "čćđšž"}},
      {"S1000", 1000, {std::string(1000, 'm'), "", across + across + across, "a", "Užice"}},
  };
  for (const auto& s : strings) {
    DataVariable* v = ds.create_variable(s.name, false, err);
    ASSERT_NE(v, nullptr) << s.name;
    v->string_width = s.width;
    v->label = std::string("Tekst širine ") + std::to_string(s.width);
    for (int r = 0; r < 5; ++r) v->column.sat(r, 0) = s.values[size_t(r)];
  }
  DataVariable* absent = ds.create_variable("NOTHING", false, err);
  absent->label = "Never given";
  DataVariable* ocena = ds.create_variable("ocena", true, err);
  ocena->label = "Ocena usluge (1 = loše, 5 = odlično)";
  ocena->value_labels = {{1, "Veoma loše"}, {3, "Srednje – ni dobro ni loše"}, {5, "Odlično, čćđšž"}};
  ocena->decimals = 0;
  for (int r = 0; r < 5; ++r) ocena->column[r] = r + 1;
  expect_pspp_agrees(ds, "strings");
}

TEST_F(PsppReadsOurFiles, MultipleResponseSetsAndWeight) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(4);
  const char* names[] = {"BRAND1", "BRAND2", "OWN_CAR", "OWN_BIKE", "SAT1", "SAT2", "WEIGHT_OF_CASE"};
  for (const char* n : names) {
    DataVariable* v = ds.create_variable(n, true, err);
    v->decimals = 0;
    for (int r = 0; r < 4; ++r) v->column[r] = r % 2 ? 11 : 1 + r;
  }
  ds.find("WEIGHT_OF_CASE")->decimals = 2;
  ds.find("WEIGHT_OF_CASE")->column[2] = 0.75;
  ds.multiple_variables() = {
      {"$BRANDS", std::string("Brands mentioned"), MultipleKind::Category, {}, {"BRAND1", "BRAND2"}},
      {"$OWNS", std::string("Owns, čćđšž"), MultipleKind::Dichotomy, {1}, {"OWN_CAR", "OWN_BIKE"}},
      {"$SAT", std::nullopt, MultipleKind::Dichotomy, {11}, {"SAT1", "SAT2"}},
  };
  ASSERT_TRUE(ds.set_weight("WEIGHT_OF_CASE", err));
  expect_pspp_agrees(ds, "mrsets");
}

TEST_F(PsppReadsOurFiles, LongNamesSharingTheirFirstBytes) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(2);
  const char* names[] = {"INCOME_2020_GROSS", "INCOME_2020_NET", "INCOME_2021_GROSS"};
  for (int i = 0; i < 3; ++i) ds.create_variable(names[i], true, err)->column[0] = i;
  ds.create_variable(std::string(64, 'Z'), false, err)->column.sat(1, 0) = "last";
  expect_pspp_agrees(ds, "longnames");
}

// Every readable file of the corpus, as our writer rewrites it.
class PsppReadsRewrittenCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(PsppReadsRewrittenCorpus, AgreesWithTheDatasetWritten) {
  if (!have_pspp()) GTEST_SKIP() << "pspp is not installed";
  Dataset ds;
  ErrorState err;
  std::vector<std::string> warnings;
  const fs::path original = corpus_dir() / GetParam();
  if (!read_sav(original.string(), ds, err, &warnings)) GTEST_SKIP() << "not readable";
  const std::string name = test::name_of("corpus_" + GetParam());
  // What PSPP finds wrong with the original (a format it does not accept,
  // say) it may find in the rewritten file too, since the dataset keeps it.
  expect_pspp_agrees(ds, name, complaints_on_opening(original, name));
}

INSTANTIATE_TEST_SUITE_P(Files, PsppReadsRewrittenCorpus, ::testing::ValuesIn(test::corpus_files(false)),
                         test::corpus_test_name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PsppReadsRewrittenCorpus);

}  // namespace
}  // namespace vop
