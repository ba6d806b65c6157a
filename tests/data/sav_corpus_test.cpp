// Every system file of the corpus is read and compared with what PSPP
// reports for it (FILE.pspp.txt beside each file): files PSPP reads must give
// the same variables, labels, missing values, value labels, multiple-response
// sets, weight and first cases; files PSPP refuses must fail with code 97.
// Then each readable file is written and read back unchanged.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>

#include "data/dataset.h"
#include "data/sav_dictionary.h"
#include "data/sav_format.h"
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
using testing::PsppTable;

// Files PSPP reported on: the report says what the reader must find.
std::vector<std::string> corpus_files() { return test::corpus_files(true); }

class SavCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(SavCorpus, ReadsAsPsppReportsIt) {
  const fs::path file = corpus_dir() / GetParam();
  const std::string report = slurp(file.string() + ".pspp.txt");
  const std::vector<PsppTable> tables = testing::parse_pspp_tables(report);
  Dataset ds;
  ErrorState err;
  std::vector<std::string> warnings;
  const bool ok = read_sav(file.string(), ds, err, &warnings);
  if (!testing::find_table(tables, "File Information")) {
    EXPECT_FALSE(ok);
    EXPECT_EQ(err.code(), kErrSpssFile);
    EXPECT_TRUE(ds.empty());
    EXPECT_EQ(ds.case_count(), 0);
    return;
  }
  ASSERT_TRUE(ok) << "error " << err.code();
  testing::compare_file_info(ds, tables);
  testing::compare_variables(ds, tables);
  testing::compare_value_labels(ds, tables);
  testing::compare_mrsets(ds, tables);
  testing::compare_cases(ds, tables);
}

TEST_P(SavCorpus, RoundTripKeepsTheDataset) {
  const fs::path file = corpus_dir() / GetParam();
  Dataset ds;
  ErrorState err;
  std::vector<std::string> warnings;
  if (!read_sav(file.string(), ds, err, &warnings)) GTEST_SKIP() << "not readable";
  const fs::path out = fs::path(::testing::TempDir()) / ("roundtrip_" + file.filename().string());
  ASSERT_TRUE(write_sav(out.string(), ds, err)) << err.code();
  Dataset back;
  ASSERT_TRUE(read_sav(out.string(), back, err, &warnings)) << err.code();
  testing::expect_same_dataset(ds, back);
  fs::remove(out);
}

// Large data are spread into the columns on two threads; with the bar at
// zero every file takes that path, and must read exactly as on one.
TEST_P(SavCorpus, TwoThreadsReadAsOne) {
  const fs::path file = corpus_dir() / GetParam();
  Dataset one, two;
  ErrorState e1, e2;
  std::vector<std::string> w1, w2;
  const bool ok1 = read_sav(file.string(), one, e1, &w1);
  const bool ok2 = read_sav(file.string(), two, e2, &w2, {}, SavThreading{0, 0});
  ASSERT_EQ(ok1, ok2);
  EXPECT_EQ(w1, w2);
  if (!ok1) return;
  ASSERT_EQ(one.variable_count(), two.variable_count());
  ASSERT_EQ(one.case_count(), two.case_count());
  for (int i = 0; i < one.variable_count(); ++i) {
    const DataVariable& a = one.variable(i);
    const DataVariable& b = two.variable(i);
    ASSERT_EQ(a.name(), b.name());
    ASSERT_EQ(a.numeric(), b.numeric());
    for (int r = 0; r < one.case_count(); ++r) {
      if (a.numeric())
        ASSERT_EQ(std::bit_cast<uint64_t>(a.column[r]), std::bit_cast<uint64_t>(b.column[r]))
            << a.name() << " case " << r + 1;
      else
        ASSERT_EQ(a.column.sat(r, 0), b.column.sat(r, 0)) << a.name() << " case " << r + 1;
    }
  }
}

// The writer encodes large data on two threads; with the bar at zero every
// file takes that path, and the bytes must be those written on one (but
// for the creation date and time in the header).
TEST_P(SavCorpus, TwoThreadsWriteAsOne) {
  constexpr size_t kStampFrom = 92, kStampTo = 109;  // creation date and time
  const fs::path file = corpus_dir() / GetParam();
  Dataset ds;
  ErrorState err;
  std::vector<std::string> warnings;
  if (!read_sav(file.string(), ds, err, &warnings)) GTEST_SKIP() << "not readable";
  const fs::path one = fs::path(::testing::TempDir()) / ("one_" + file.filename().string());
  const fs::path two = fs::path(::testing::TempDir()) / ("two_" + file.filename().string());
  ASSERT_TRUE(write_sav(one.string(), ds, err));
  const bool ok = write_sav(two.string(), ds, err, nullptr, {}, SavThreading{0, 0});
  ASSERT_TRUE(ok);
  std::string a = slurp(one), b = slurp(two);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_GT(a.size(), kStampTo);
  std::fill(a.begin() + kStampFrom, a.begin() + kStampTo, '\0');
  std::fill(b.begin() + kStampFrom, b.begin() + kStampTo, '\0');
  EXPECT_TRUE(a == b) << "first difference at byte "
                      << std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin();
  fs::remove(one);
  fs::remove(two);
}

INSTANTIATE_TEST_SUITE_P(Files, SavCorpus, ::testing::ValuesIn(corpus_files()), test::corpus_test_name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SavCorpus);

// The file lists $brands, $transport, $satisfied and $colors (string
// members, so dropped); each set read goes to the head of the list.
TEST(SavCorpusSets, ReadInReverseOfTheFileOrder) {
  const fs::path file = corpus_dir() / "generated" / "mrsets.sav";
  ASSERT_TRUE(fs::exists(file)) << file;
  Dataset ds;
  ErrorState err;
  std::vector<std::string> warnings;
  ASSERT_TRUE(read_sav(file.string(), ds, err, &warnings));
  std::vector<std::string> names;
  for (const MultipleVariable& m : ds.multiple_variables()) names.push_back(m.name);
  EXPECT_EQ(names, (std::vector<std::string>{"$SATISFIED", "$TRANSPORT", "$BRANDS"}));
}

// The files come with the tests: a corpus that went missing would leave the
// tests above with nothing to run.
TEST(SavCorpusPresent, FilesAreThere) { EXPECT_GE(corpus_files().size(), 40u) << corpus_dir(); }

}  // namespace
}  // namespace vop
