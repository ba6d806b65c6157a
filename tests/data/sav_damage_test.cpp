// Damaged input: truncated and corrupted files never crash or over-read;
// when the dictionary or the data cannot be read the file fails with 97 and
// the dataset stays empty.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "data/sav_dictionary.h"
#include "data/sav_reader.h"
#include "data/sav_writer.h"
#include "corpus.h"

namespace vop {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> load(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// Small files of every kind: compressed, uncompressed, zlib, big-endian.
const char* kSamples[] = {
    "generated/combined_uncompressed.sav", "generated/mrsets.sav",
    "generated/verylong_strings_compressed.sav", "pyreadstat/sample.zsav",
    "medella/BigEndian.sav", "spss_sav/comprehensive.sav",
};

fs::path sample_path(const char* name) { return test::corpus_dir() / name; }

void expect_failed_cleanly(bool ok, const Dataset& ds, const ErrorState& err) {
  if (ok) return;
  EXPECT_EQ(err.code(), kErrSpssFile);
  EXPECT_TRUE(ds.empty());
  EXPECT_EQ(ds.case_count(), 0);
  EXPECT_TRUE(ds.multiple_variables().empty());
  EXPECT_FALSE(ds.weight_name());
}

// Large data are spread into the columns on two threads; with the bar at
// zero even these small files take that path.
constexpr SavThreading kOneThread;
constexpr SavThreading kTwoThreads{0, 0};

void truncate_every_sample(const SavThreading& threads) {
  for (const char* name : kSamples) {
    const std::vector<uint8_t> full = load(sample_path(name));
    ASSERT_FALSE(full.empty()) << sample_path(name);
    SCOPED_TRACE(name);
    Dataset whole;
    ErrorState e0;
    std::vector<std::string> w;
    ASSERT_TRUE(read_sav_memory(full.data(), full.size(), whole, e0, &w));
    const size_t step = std::max<size_t>(1, full.size() / 400);
    for (size_t cut = 0; cut < full.size(); cut += step) {
      Dataset ds;
      ErrorState err;
      const bool ok = read_sav_memory(full.data(), cut, ds, err, &w, threads);
      expect_failed_cleanly(ok, ds, err);
      // Only what follows the data (a .zsav trailer) may be lost unharmed.
      if (ok) {
        EXPECT_EQ(ds.case_count(), whole.case_count()) << "cut at " << cut;
        EXPECT_EQ(ds.variable_count(), whole.variable_count());
      }
    }
  }
}

TEST(SavDamage, TruncatedFilesFail) { truncate_every_sample(kOneThread); }

TEST(SavDamage, TruncatedFilesFailOnTwoThreads) { truncate_every_sample(kTwoThreads); }

void corrupt_every_sample(const SavThreading& threads) {
  std::mt19937 rng(20240611);
  for (const char* name : kSamples) {
    const std::vector<uint8_t> full = load(sample_path(name));
    ASSERT_FALSE(full.empty()) << sample_path(name);
    SCOPED_TRACE(name);
    for (int round = 0; round < 300; ++round) {
      std::vector<uint8_t> bytes = full;
      const int flips = 1 + int(rng() % 4);
      for (int f = 0; f < flips; ++f) {
        const size_t at = rng() % bytes.size();
        // Counts and lengths live in the dictionary: damage it more often.
        const size_t pos = round % 2 ? at : at % std::min<size_t>(bytes.size(), 2048);
        bytes[pos] = uint8_t(rng());
      }
      Dataset ds;
      ErrorState err;
      std::vector<std::string> w;
      expect_failed_cleanly(read_sav_memory(bytes.data(), bytes.size(), ds, err, &w, threads), ds, err);
    }
  }
}

TEST(SavDamage, CorruptedBytesNeverCrash) { corrupt_every_sample(kOneThread); }

TEST(SavDamage, CorruptedBytesNeverCrashOnTwoThreads) { corrupt_every_sample(kTwoThreads); }

// A valid little file built in memory, to damage one field at a time.
std::vector<uint8_t> tiny_file() {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(3);
  DataVariable* v = ds.create_variable("V", true, err);
  for (int i = 0; i < 3; ++i) v->column[i] = i + 0.5;
  const fs::path p = fs::path(::testing::TempDir()) / "tiny.sav";
  EXPECT_TRUE(write_sav(p.string(), ds, err));
  return load(p);
}

void put_i32(std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(b.data() + at, &v, 4); }

TEST(SavDamage, ImpossibleCountsFailBeforeAnythingIsAllocated) {
  const std::vector<uint8_t> good = tiny_file();
  std::vector<std::string> w;
  {
    std::vector<uint8_t> b = good;
    put_i32(b, 80, 2000000000);  // far more cases than the data can hold
    Dataset ds;
    ErrorState err;
    expect_failed_cleanly(read_sav_memory(b.data(), b.size(), ds, err, &w), ds, err);
    EXPECT_EQ(err.code(), kErrSpssFile);
  }
  {
    std::vector<uint8_t> b = good;
    put_i32(b, 80, -1);  // unknown: read to the end of the data
    Dataset ds;
    ErrorState err;
    ASSERT_TRUE(read_sav_memory(b.data(), b.size(), ds, err, &w));
    EXPECT_EQ(ds.case_count(), 3);
    EXPECT_EQ(ds.variable(0).column[2], 2.5);
  }
  {
    std::vector<uint8_t> b = good;
    const char* magic = "$FL9";
    std::memcpy(b.data(), magic, 4);
    Dataset ds;
    ErrorState err;
    EXPECT_FALSE(read_sav_memory(b.data(), b.size(), ds, err, &w));
    EXPECT_EQ(err.code(), kErrSpssFile);
  }
  {
    // The variable record's label flag says a label follows whose length
    // runs past the end of the file.
    std::vector<uint8_t> b = good;
    put_i32(b, 176 + 8, 1);
    put_i32(b, 176 + 36, 0x7fffffff);
    Dataset ds;
    ErrorState err;
    expect_failed_cleanly(read_sav_memory(b.data(), b.size(), ds, err, &w), ds, err);
    EXPECT_EQ(err.code(), kErrSpssFile);
  }
}

TEST(SavDamage, MissingFileFails) {
  Dataset ds;
  ErrorState err;
  EXPECT_FALSE(read_sav("/nonexistent/file.sav", ds, err));
  EXPECT_EQ(err.code(), kErrSpssFile);
  EXPECT_TRUE(ds.empty());
}

// Every input a fuzzer ever found trouble with reads or fails cleanly.
TEST(SavDamage, KeptFuzzerFindsFailCleanly) {
  const fs::path dir = fs::path(VOP_FUZZ_REGRESSIONS) / "sav_reader_fuzz";
  int seen = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    SCOPED_TRACE(e.path().filename().string());
    const std::vector<uint8_t> bytes = load(e.path());
    Dataset ds;
    ErrorState err;
    std::vector<std::string> warnings;
    const bool ok = read_sav_memory(bytes.data(), bytes.size(), ds, err, &warnings);
    expect_failed_cleanly(ok, ds, err);
    for (int i = 0; ok && i < ds.variable_count(); ++i)
      EXPECT_EQ(ds.variable(i).column.rows(), ds.case_count());
    ++seen;
  }
  EXPECT_GT(seen, 0);
}

}  // namespace
}  // namespace vop
