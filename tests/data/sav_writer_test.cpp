// The writer's layout, checked on the bytes it writes, and its failures.
#include "data/sav_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "data/sav_dictionary.h"
#include "data/sav_reader.h"
#include "sav_compare.h"
#include "file_text.h"

namespace vop {
namespace {

using test::slurp;

namespace fs = std::filesystem;

std::string temp_path(const std::string& name) {
  return (fs::path(::testing::TempDir()) / name).string();
}

int32_t i32_at(const std::string& b, size_t at) {
  int32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

// A small dataset with a number, a string and a very long string.
Dataset sample() {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(2);
  DataVariable* a = ds.create_variable("A", true, err);
  a->column[0] = 1;
  a->column[1] = std::nan("");
  a->label = "Numbers";
  a->value_labels.push_back({1, std::string(70, 'x')});
  a->missing_code = 1;
  a->missing_values[0] = 9;
  DataVariable* s = ds.create_variable("S", false, err);
  s->column.sat(0, 0) = "hello world";
  DataVariable* l = ds.create_variable("LONGTEXT", false, err);
  l->string_width = 300;
  l->column.sat(1, 0) = std::string(299, 'z') + "!";
  ds.create_variable("EMPTY", false, err);
  ds.multiple_variables().push_back(
      MultipleVariable{"$M", std::string("Set"), MultipleKind::Dichotomy, {1}, {"A"}});
  ds.set_weight("A", err);
  return ds;
}

TEST(SavWriter, HeaderAndVariableRecords) {
  Dataset ds = sample();
  ErrorState err;
  const std::string path = temp_path("layout.sav");
  ASSERT_TRUE(write_sav(path, ds, err));
  const std::string b = slurp(path);
  ASSERT_GT(b.size(), 176u);
  EXPECT_EQ(b.substr(0, 4), "$FL2");
  EXPECT_EQ(b.substr(4, 60).find("@(#) SPSS DATA FILE MS Windows Release 12.0 spssio32.dll-Vop"), 0u);
  EXPECT_EQ(i32_at(b, 64), 2);
  // Slots: A 1, S (width 11) 2, LONGTEXT (300) 32 + 6, EMPTY (width 1) 1.
  EXPECT_EQ(i32_at(b, 68), 1 + 2 + 38 + 1);
  EXPECT_EQ(i32_at(b, 72), 1);
  EXPECT_EQ(i32_at(b, 76), 1);  // weight is slot 1
  EXPECT_EQ(i32_at(b, 80), 2);
  EXPECT_EQ(ds.find("S")->string_width, 11);
  EXPECT_EQ(ds.find("EMPTY")->string_width, 1);
  EXPECT_EQ(ds.find("LONGTEXT")->dictionary_index, 3);
  // The unnamed short names follow the variable's position.
  EXPECT_NE(b.find("VAR00002"), std::string::npos);
  EXPECT_NE(b.find("VAR00003=longtext"), std::string::npos);
  EXPECT_NE(b.find(std::string("VAR00003=300\0\t", 14)), std::string::npos);
  EXPECT_NE(b.find("$M=D8 1        3 Set VAR00001\n"), std::string::npos);
  EXPECT_NE(b.find("UTF-8"), std::string::npos);
  // The value label is cut to 60 bytes.
  EXPECT_NE(b.find(std::string(1, char(60)) + std::string(60, 'x')), std::string::npos);
  EXPECT_EQ(b.find(std::string(61, 'x')), std::string::npos);
}

TEST(SavWriter, WhatItWritesReadsBack) {
  Dataset ds = sample();
  ErrorState err;
  const std::string path = temp_path("back.sav");
  ASSERT_TRUE(write_sav(path, ds, err));
  Dataset back;
  std::vector<std::string> w;
  ASSERT_TRUE(read_sav(path, back, err, &w)) << err.code();
  testing::expect_same_dataset(ds, back);
  EXPECT_EQ(back.find("A")->value_labels[0].text, std::string(60, 'x'));
  EXPECT_EQ(back.find("LONGTEXT")->column.sat(1, 0), std::string(299, 'z') + "!");
  EXPECT_EQ(back.find("S")->short_name, "VAR00002");
}

std::vector<std::string> set_names(const Dataset& ds) {
  std::vector<std::string> names;
  for (const MultipleVariable& m : ds.multiple_variables()) names.push_back(m.name);
  return names;
}

TEST(SavWriter, SetsAreWrittenInListOrderAndReadBackReversed) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(1);
  for (const char* name : {"A", "B"}) ds.create_variable(name, true, err);
  for (const char* name : {"$FIRST", "$SECOND", "$THIRD"})
    ds.multiple_variables().push_back(MultipleVariable{name, {}, MultipleKind::Category, {}, {"A", "B"}});
  const std::string path = temp_path("setorder.sav");
  ASSERT_TRUE(write_sav(path, ds, err));
  const std::string b = slurp(path);
  const size_t first = b.find("$FIRST="), second = b.find("$SECOND="), third = b.find("$THIRD=");
  ASSERT_NE(third, std::string::npos);
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  // Each set read goes to the head of the list.
  Dataset back;
  ASSERT_TRUE(read_sav(path, back, err));
  EXPECT_EQ(set_names(back), (std::vector<std::string>{"$THIRD", "$SECOND", "$FIRST"}));
  // So a second round trip restores the first order.
  ASSERT_TRUE(write_sav(path, back, err));
  Dataset again;
  ASSERT_TRUE(read_sav(path, again, err));
  EXPECT_EQ(set_names(again), (std::vector<std::string>{"$FIRST", "$SECOND", "$THIRD"}));
  fs::remove(path);
}

TEST(SavWriter, SegmentNamesStayUniqueInTheFile) {
  // Two very long strings read from a file whose segments shared names
  // (some writers do that): readers rename a duplicate, which would cut the
  // second string apart, so the writer names that segment afresh.
  Dataset ds;
  ErrorState err;
  ds.set_case_count(1);
  for (const char* name : {"FIRST", "SECOND"}) {
    DataVariable* v = ds.create_variable(name, false, err);
    v->string_width = 300;
    v->segment_names = {"SEG0"};
    v->column.sat(0, 0) = std::string(280, name[0]) + "|end";
  }
  const std::string path = temp_path("segments.sav");
  ASSERT_TRUE(write_sav(path, ds, err));
  const std::string b = slurp(path);
  const size_t first = b.find("SEG0    ");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(b.find("SEG0    ", first + 1), std::string::npos);
  Dataset back;
  ASSERT_TRUE(read_sav(path, back, err));
  testing::expect_same_dataset(ds, back);
}

TEST(SavWriter, ManyCasesCrossBufferBoundaries) {
  Dataset ds;
  ErrorState err;
  const int n = 200003;  // the last chunk of cases is not a whole command block
  ds.set_case_count(n);
  DataVariable* x = ds.create_variable("X", true, err);
  DataVariable* s = ds.create_variable("S", false, err);
  for (int i = 0; i < n; ++i) {
    x->column[i] = i % 7 == 0 ? std::nan("") : i * 0.5;
    if (i % 3) s->column.sat(i, 0) = std::to_string(i);
  }
  // Once on one thread, once on two (the bars at zero), reading each back
  // both ways.
  for (const bool two : {false, true}) {
    SCOPED_TRACE(two ? "two threads" : "one thread");
    const SavThreading threads = two ? SavThreading{0, 0} : SavThreading{};
    const std::string path = temp_path(two ? "many2.sav" : "many1.sav");
    const bool wrote = write_sav(path, ds, err, nullptr, {}, threads);
    Dataset back;
    const bool read = wrote && read_sav(path, back, err, nullptr, {}, threads);
    ASSERT_TRUE(read);
    testing::expect_same_dataset(ds, back);
  }
  // The same bytes after the creation date and time.
  EXPECT_EQ(slurp(temp_path("many1.sav")).substr(109), slurp(temp_path("many2.sav")).substr(109));
}

TEST(SavWriter, FailedWriteIsAnErrorAndKeepsTheOldFile) {
  Dataset ds = sample();
  ErrorState err;
  EXPECT_FALSE(write_sav("/nonexistent-dir/x.sav", ds, err));
  EXPECT_EQ(err.code(), kErrSpssFile);

  // A directory that cannot be written: the old file stays as it was.
  const fs::path dir = fs::path(::testing::TempDir()) / "readonly_dir";
  fs::create_directories(dir);
  const std::string target = (dir / "old.sav").string();
  { std::ofstream(target) << "previous contents"; }
  chmod(dir.c_str(), 0555);
  ErrorState e2;
  const bool wrote = write_sav(target, ds, e2);
  chmod(dir.c_str(), 0755);
  if (geteuid() != 0) {  // root writes anywhere
    EXPECT_FALSE(wrote);
    EXPECT_EQ(e2.code(), kErrSpssFile);
    EXPECT_EQ(slurp(target), "previous contents");
  }
  size_t leftovers = 0;
  for (const auto& e : fs::directory_iterator(dir)) leftovers += e.path().filename() != "old.sav";
  EXPECT_EQ(leftovers, 0u);
}

// A stream on which every write fails for want of space: the full device,
// when this machine has one that behaves as such (a plain file of that
// name, or a device that takes writes, would let the test pass for nothing).
std::FILE* open_full_device() {
  constexpr const char* kFull = "/dev/full";
  std::error_code ec;
  if (!fs::is_character_file(kFull, ec)) return nullptr;
  std::FILE* probe = std::fopen(kFull, "wb");
  if (!probe) return nullptr;
  const bool full = (std::fputc('x', probe) == EOF) | (std::fclose(probe) == EOF);
  return full ? std::fopen(kFull, "wb") : nullptr;
}

TEST(SavWriter, DiskFullIsAnError) {
  std::FILE* full = open_full_device();
  if (!full) GTEST_SKIP() << "no full device (/dev/full as a character device that refuses writes)";
  // Writing through a full device must fail, not report success.
  Dataset ds = sample();
  ErrorState err;
  std::FILE* saved = stdout;
  stdout = full;
  const bool ok = write_sav("stdout", ds, err);
  std::fclose(stdout);
  stdout = saved;
  EXPECT_FALSE(ok);
  EXPECT_EQ(err.code(), kErrSpssFile);
}

}  // namespace
}  // namespace vop
