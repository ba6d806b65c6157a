// Data scripts on the 1,000,000-case benchmark file (sav_bench gen): the
// transformation statements and weighted means, step by step beside one
// plain pass over the columns each step touches, and the whole job as a
// process beside the same job in PSPP.
//
//   transform_bench FILE            steps in this process, with ratios
//   transform_bench FILE --compare  also vop-run and pspp as whole processes
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "builtins/library.h"
#include "core/interpreter.h"
#include "data/data_builtins.h"

namespace {

double now_s() {
  using clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

// The job, as our script and as PSPP syntax. The file's variables are ID,
// WT (the weight), Q1..Q98 and strings S1..S5.
std::string our_script(const std::string& file) {
  return "DataOpen(\"" + file + "\")\n"
         "!compute total = q1 + q2 + q4.\n"
         "!recode q3 q5 q6 q7 q8 q9 q10 q11 q12 q13 q14 q15 q16 q17 q18 q19 q20 q21 q22 q23"
         " (1 thru 2 = 1) (3 = 2) (4 thru 5 = 3) (sysmis = 9).\n"
         "!if (q24 > 3) flag = 1.\n"
         "m = zeros(1, 100);\nw = wgh;\nfor k = 1:100\n  m(k) = cmean(Data(:, k), w);\nend\n";
}

std::string pspp_syntax(const std::string& file) {
  return "GET FILE='" + file + "'.\n"
         "COMPUTE total = q1 + q2 + q4.\n"
         "RECODE q3 q5 TO q23 (1 THRU 2=1) (3=2) (4 THRU 5=3) (SYSMIS=9).\n"
         "IF (q24 > 3) flag = 1.\n"
         "DESCRIPTIVES id TO q98 /STATISTICS=MEAN.\n";
}

// One plain pass over the columns a step touches: reading `reads` columns
// and writing `writes` columns of the same length, what the step cannot do
// without.
double one_pass(const vop::Dataset& ds, int first, int reads, int writes) {
  const int n = ds.case_count();
  // Buffers made and touched before the clock starts: a step writes into
  // columns that exist, so the baseline does not pay for fresh pages.
  std::vector<double> sum(size_t(n), 0.0), out(size_t(n), 0.0);
  const double t0 = now_s();
  for (int c = first; c < first + reads; ++c) {
    const double* x = ds.variable(c).column.num();
    for (int r = 0; r < n; ++r) sum[size_t(r)] += x[r];
  }
  for (int w = 0; w < writes; ++w) {
    const double* x = ds.variable(first + w % std::max(reads, 1)).column.num();
    for (int r = 0; r < n; ++r) out[size_t(r)] += x[r];
  }
  const double t = now_s() - t0;
  volatile double sink = sum[size_t(n / 2)] + out[size_t(n / 2)];
  (void)sink;
  return t;
}

struct Step {
  const char* name;     // what the step does
  std::string text;     // its script text
  int first;            // the first column it touches
  int reads, writes;    // columns it reads and writes, for the one-pass baseline
};

int steps(const std::string& file) {
  vop::StringSink out;
  vop::Interpreter interp(out);
  vop::install_builtins(interp);
  vop::install_data_builtins(interp);
  const Step list[] = {
      {"DataOpen", "DataOpen(\"" + file + "\")", 0, 0, 0},
      {"!compute from 3 variables", "!compute total = q1 + q2 + q4.", 2, 3, 1},
      {"!recode 20 variables, 4 rules",
       "!recode q3 q5 q6 q7 q8 q9 q10 q11 q12 q13 q14 q15 q16 q17 q18 q19 q20 q21 q22 q23"
       " (1 thru 2 = 1) (3 = 2) (4 thru 5 = 3) (sysmis = 9).",
       4, 20, 20},
      {"!if with a condition", "!if (q24 > 3) flag = 1.", 25, 1, 1},
      {"weighted means of 100 variables",
       "m = zeros(1, 100);\nw = wgh;\nfor k = 1:100\n  m(k) = cmean(Data(:, k), w);\nend", 0, 100, 0},
  };
  std::printf("%-34s %9s %9s %7s\n", "step", "time s", "pass s", "ratio");
  for (const Step& s : list) {
    const double t0 = now_s();
    if (interp.run_text(s.text)) {
      std::fprintf(stderr, "%s failed:\n%s\n", s.name, out.text.c_str());
      return 1;
    }
    const double t = now_s() - t0;
    if (s.reads == 0) {
      std::printf("%-34s %9.3f\n", s.name, t);
      continue;
    }
    const double pass = one_pass(vop::dataset_of(interp), s.first, s.reads, s.writes);
    std::printf("%-34s %9.3f %9.3f %7.2f\n", s.name, t, pass, t / pass);
  }
  return 0;
}

double run_process(const std::string& command) {
  const double t0 = now_s();
  const int status = std::system(command.c_str());
  const double t = now_s() - t0;
  if (status != 0) {
    std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
    return -1;
  }
  return t;
}

int compare(const std::string& file) {
  const std::string dir = "/tmp";
  const std::string ours = dir + "/vop_transform_bench.s";
  const std::string theirs = dir + "/vop_transform_bench.sps";
  std::ofstream(ours) << our_script(file);
  std::ofstream(theirs) << pspp_syntax(file);
  const double vop = run_process(std::string(VOP_RUN) + " --no-startup " + ours + " > /dev/null");
  const double pspp = run_process("pspp " + theirs + " > /dev/null");
  if (vop < 0 || pspp < 0) return 1;
  std::printf("\nwhole process: vop-run %.2f s, pspp %.2f s, pspp / vop-run = %.1f\n", vop, pspp,
              pspp / vop);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    // Run by scripts/bench without a file: say how, and do not fail the run.
    std::fprintf(stderr, "usage: transform_bench FILE [--compare]  (FILE from: sav_bench gen FILE)\n");
    return 0;
  }
  const std::string file = argv[1];
  if (steps(file)) return 1;
  if (argc > 2 && std::string(argv[2]) == "--compare") return compare(file);
  return 0;
}
