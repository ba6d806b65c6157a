// Reading and writing a large system file with our reader and writer: wall
// time, throughput and peak memory, to set beside the peers' figures
// (bench/peers in the shared folder: PSPP, libreadstat).
//
//   sav_bench gen FILE [CASES]   write a survey-like file (100 numeric and
//                                5 string variables; 1,000,000 cases)
//   sav_bench read FILE          read it; time, MB/s, peak RSS vs decoded size
//   sav_bench read FILE N        read it N times in one process
//   sav_bench write FILE OUT [N] read FILE, then time writing it to OUT (N times)
//   sav_bench                    all three on 200,000 cases in a temporary
//                                folder (what scripts/bench runs)
//
// bench/sav_vs_peers.sh runs it on a file PSPP wrote, beside the peers.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "core/errors.h"
#include "data/dataset.h"
#include "data/sav_reader.h"
#include "data/sav_writer.h"

namespace {

constexpr int kDefaultCases = 1000000;
constexpr int kNumeric = 100;
constexpr int kStringWidths[5] = {24, 24, 32, 32, 40};

double now_s() {
  using clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

// User plus system CPU seconds of the process so far: on a shared machine
// it shows the work done even when other processes take the cores.
double cpu_s() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
         double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

double peak_rss_mib() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return double(ru.ru_maxrss) / 1024.0;
}

double file_mb(const char* path) {
  struct stat st{};
  return stat(path, &st) == 0 ? double(st.st_size) / 1e6 : 0;
}

// Bytes the dataset's values take in memory: 8 per number, the text and the
// cell per string.
double decoded_mib(const vop::Dataset& ds) {
  double bytes = 0;
  for (int i = 0; i < ds.variable_count(); ++i) {
    const vop::DataVariable& v = ds.variable(i);
    if (v.numeric()) {
      bytes += 8.0 * ds.case_count();
      continue;
    }
    bytes += double(sizeof(vop::StrCell)) * ds.case_count();
    for (int r = 0; r < ds.case_count(); ++r) {
      const vop::StrCell& s = v.column.sat(r, 0);
      if (s && s->size() > 15) bytes += double(s->capacity() + 1);  // beyond the inline buffer
    }
  }
  return bytes / (1024.0 * 1024.0);
}

std::string numbered(const char* prefix, int n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

int generate(const char* path, int cases) {
  vop::Dataset ds;
  vop::ErrorState err;
  ds.set_case_count(cases);
  std::mt19937_64 rng(20240601);
  std::uniform_real_distribution<double> u(0, 1);
  for (int j = 0; j < kNumeric; ++j) {
    vop::DataVariable* v = ds.create_variable(j == 0 ? "ID" : j == 1 ? "WT" : numbered("Q", j - 1), true, err);
    v->label = numbered("Question ", j);
    for (int k = 1; k <= 5; ++k) v->value_labels.push_back({double(k), numbered("Level ", k)});
    for (int r = 0; r < cases; ++r) {
      double x;
      if (j == 0) x = r + 1;
      else if (j == 1) x = 0.4 + 2.1 * u(rng);
      else if (j % 10 == 3) x = std::round(std::exp(8 + u(rng)) * 100) / 100;  // incomes
      else x = u(rng) < 0.05 ? NAN : std::floor(1 + 5 * u(rng));           // Likert items
      v->column[r] = x;
    }
  }
  for (int k = 0; k < 5; ++k) {
    vop::DataVariable* v = ds.create_variable(numbered("S", k + 1), false, err);
    v->string_width = kStringWidths[k];
    for (int r = 0; r < cases; ++r) {
      const int len = int(u(rng) * kStringWidths[k]);
      v->column.sat(r, 0) = std::string(size_t(len), char('a' + r % 26));
    }
  }
  ds.set_weight("WT", err);
  const double t0 = now_s();
  if (!vop::write_sav(path, ds, err)) return std::fprintf(stderr, "write failed\n"), 1;
  std::printf("generated %s: %d cases, %.1f MB in %.2f s\n", path, cases, file_mb(path), now_s() - t0);
  return 0;
}

int read(const char* path) {
  vop::Dataset ds;
  vop::ErrorState err;
  const double t0 = now_s(), c0 = cpu_s();
  if (!vop::read_sav(path, ds, err)) return std::fprintf(stderr, "read failed: %d\n", err.code()), 1;
  const double t = now_s() - t0, c = cpu_s() - c0;
  const double mb = file_mb(path);
  const double decoded = decoded_mib(ds);
  std::printf("read %s: %d cases x %d variables, %.1f MB in %.3f s (CPU %.3f s) = %.0f MB/s\n",
              path, ds.case_count(), ds.variable_count(), mb, t, c, mb / t);
  std::printf("peak RSS %.0f MiB, decoded data %.0f MiB, ratio %.2f\n", peak_rss_mib(), decoded,
              peak_rss_mib() / decoded);
  const double f0 = now_s();
  ds.close();
  std::printf("freeing the dataset: %.3f s\n", now_s() - f0);
  return 0;
}

// Writes to a new file, then over the file just written: replacing a file
// goes through a temporary and a rename, and on ext4 the rename makes the
// file system allocate the new file's blocks at once.
int write(const char* in, const char* out, int times = 1) {
  vop::Dataset ds;
  vop::ErrorState err;
  if (!vop::read_sav(in, ds, err)) return std::fprintf(stderr, "read failed: %d\n", err.code()), 1;
  for (int i = 0; i < times; ++i) {
    for (const char* how : {"new file", "replacing it"}) {
      if (how[0] == 'n') std::remove(out);
      const double t0 = now_s(), c0 = cpu_s();
      if (!vop::write_sav(out, ds, err)) return std::fprintf(stderr, "write failed\n"), 1;
      const double t = now_s() - t0, c = cpu_s() - c0;
      std::printf("wrote %s (%s): %.1f MB in %.3f s (CPU %.3f s) = %.0f MB/s\n", out, how, file_mb(out),
                  t, c, file_mb(out) / t);
    }
  }
  return 0;
}

// Generate, read and write a smaller file in a fresh temporary folder.
int self_contained() {
  constexpr int kQuickCases = 200000;
  char dir[] = "/tmp/sav_benchXXXXXX";
  if (!mkdtemp(dir)) return std::perror("mkdtemp"), 1;
  const std::string gen = std::string(dir) + "/gen.sav", out = std::string(dir) + "/out.sav";
  int rc = generate(gen.c_str(), kQuickCases);
  if (rc == 0) rc = read(gen.c_str());
  if (rc == 0) rc = write(gen.c_str(), out.c_str());
  std::remove(gen.c_str());
  std::remove(out.c_str());
  rmdir(dir);
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) return self_contained();
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "gen" && argc >= 3) return generate(argv[2], argc > 3 ? std::atoi(argv[3]) : kDefaultCases);
  if (mode == "read" && argc == 3) return read(argv[2]);
  if (mode == "read" && argc == 4) {  // read N times in one process
    for (int i = std::atoi(argv[3]); i > 0; --i)
      if (int rc = read(argv[2])) return rc;
    return 0;
  }
  if (mode == "write" && (argc == 4 || argc == 5))  // optionally N times in one process
    return write(argv[2], argv[3], argc == 5 ? std::atoi(argv[4]) : 1);
  std::fprintf(stderr, "usage: sav_bench gen FILE [CASES] | read FILE [N] | write FILE OUT [N]\n");
  return 2;
}
