// Reading and writing a large system file with our reader and writer: wall
// time, throughput and peak memory, to set beside the peers' figures
// (bench/peers in the shared folder: PSPP, libreadstat).
//
//   sav_bench gen FILE [CASES]   write a survey-like file (100 numeric and
//                                5 string variables; 1,000,000 cases)
//   sav_bench read FILE          read it; time, MB/s, peak RSS vs decoded size
//   sav_bench read FILE N        read it N times in one process
//   sav_bench write FILE OUT [N] read FILE, then time writing it to OUT (N times)
//   sav_bench floor FILE [VOP_RUN]  the read in a fresh process beside the
//                                floor: a fresh process that faults in and
//                                writes as many bytes as the read decodes, on
//                                two threads; with VOP_RUN also the whole
//                                `vop-run --data FILE` process
//   sav_bench                    all three on 200,000 cases in a temporary
//                                folder (what scripts/bench runs)
//
// bench/sav_vs_peers.sh runs it on a file PSPP wrote, beside the peers.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <spawn.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

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

// Seconds from fork to exit of a child that runs `work` and ends without
// freeing anything, best of three.
template <class Work>
double in_fresh_process(Work work) {
  double best = 1e9;
  for (int k = 0; k < 3; ++k) {
    const double t0 = now_s();
    const pid_t pid = fork();
    if (pid == 0) _exit(work() ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    best = std::min(best, now_s() - t0);
  }
  return best;
}

// What any reader must do at least: fault in `mib` of fresh memory and
// write every byte of it, in column-sized pieces, on two threads.
bool touch_fresh_memory(double mib, int rows) {
  const size_t column = size_t(rows) * sizeof(double);
  const size_t columns = size_t(mib * 1024 * 1024 / double(column)) + 1;
  std::vector<double*> made(columns);
  auto fill = [&](size_t first) {
    for (size_t c = first; c < columns; c += 2) {
      made[c] = static_cast<double*>(std::malloc(column));
      std::fill(made[c], made[c] + rows, 1.0);
    }
  };
  std::thread other(fill, 1);
  fill(0);
  other.join();
  return made[0] != nullptr;
}

int floor_ratio(const char* path, const char* vop_run) {
  vop::Dataset ds;
  vop::ErrorState err;
  if (!vop::read_sav(path, ds, err)) return std::fprintf(stderr, "read failed: %d\n", err.code()), 1;
  const double mib = decoded_mib(ds);
  const int rows = std::max(ds.case_count(), 1);
  ds.close();
  const double floor = in_fresh_process([&] { return touch_fresh_memory(mib, rows); });
  const double read = in_fresh_process([&] {
    static vop::Dataset fresh;  // kept: the child ends without freeing it
    vop::ErrorState e;
    return vop::read_sav(path, fresh, e);
  });
  std::printf("floor: fault in and write %.0f MiB on two threads, fresh process: %.3f s\n", mib, floor);
  std::printf("read %s in a fresh process: %.3f s = %.2fx the floor\n", path, read, read / floor);
  if (vop_run) {
    const double run = in_fresh_process([&] {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      const char* argv[] = {vop_run, "--data", path, "-e", "", nullptr};
      pid_t child = 0;
      if (posix_spawn(&child, vop_run, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
      int status = 0;
      waitpid(child, &status, 0);
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    });
    std::printf("vop-run --data %s, whole process: %.3f s = %.2fx the floor\n", path, run, run / floor);
  }
  return read > 0 && floor > 0 ? 0 : 1;
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
  if (mode == "floor" && (argc == 3 || argc == 4)) return floor_ratio(argv[2], argc == 4 ? argv[3] : nullptr);
  std::fprintf(stderr, "usage: sav_bench gen FILE [CASES] | read FILE [N] | write FILE OUT [N] | floor FILE [VOP_RUN]\n");
  return 2;
}
