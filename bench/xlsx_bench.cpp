// Writing a long report as a native workbook: 200 survey tables (two
// heading levels, merged headings, colours and borders, 12 rows by 10
// columns of formatted percentages), each under a heading with a base line
// and a note, plus 40 numeric tables. Prints the time of write_xlsx; the
// goal is well under 2 s.
//
//   xlsx_bench [FILE]   write FILE (default: a temporary file, removed)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "document/output_event.h"
#include "office/xlsx_writer.h"

namespace {

using vop::DocCell;
using vop::DocTable;

DocTable survey_table(int n) {
  const int R = 12, C = 10, h = 2, v = 2;
  DocTable t;
  t.shape = {R, C, h, v};
  char buf[32];
  for (int i = 0; i < R; ++i)
    for (int c = 0; c < C; ++c) {
      std::snprintf(buf, sizeof buf, "%.1f%%", double((i * 7 + c * 13 + n) % 1000) / 10);
      t.cells.emplace_back(std::string(buf));
    }
  for (int c = 0; c < C; ++c) t.col_labels.push_back(c % 5 == 0 ? "Group " + std::to_string(c / 5 + 1) : "~");
  for (int c = 0; c < C; ++c) t.col_labels.push_back("Col " + std::to_string(c + 1));
  for (int i = 0; i < R; ++i) {
    t.row_labels.push_back(i == 0 ? "Question " + std::to_string(n) : "|");
    t.row_labels.push_back("Answer " + std::to_string(i + 1));
  }
  const int grid = (R + h) * (C + v);
  t.back_colours.assign(size_t(grid), std::nullopt);
  t.text_colours.assign(size_t(grid), std::nullopt);
  for (int c = 0; c < C + v; ++c) t.back_colours[size_t(c)] = 221 + 235 * 256 + 247 * 65536;
  for (int r = 0; r < R + h; ++r) t.text_colours[size_t(r * (C + v))] = 102 * 65536 + 51 * 256;
  t.back_colours[size_t((h + n % R) * (C + v) + v)] = 226 + 239 * 256 + 218 * 65536;
  t.h_borders.assign(size_t(R + h + 1), 1);
  t.h_borders[size_t(h)] = 3;
  t.v_borders.assign(size_t(C + v + 1), 1);
  t.v_borders[1] = 0;
  return t;
}

DocTable numeric_table(int n) {
  DocTable t;
  t.shape = {3, 6, 1, 1};
  t.numeric_body = true;
  for (int k = 0; k < 18; ++k) t.cells.emplace_back(1000.0 * n + k * 0.37);
  for (int i = 0; i < 3; ++i) t.row_labels.push_back("Row " + std::to_string(i + 1));
  for (int c = 0; c < 6; ++c) t.col_labels.push_back("C" + std::to_string(c + 1));
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<vop::OutputEvent> events;
  for (int n = 1; n <= 200; ++n) {
    events.push_back(vop::TextRun{vop::TextFormat::Heading2, "Q" + std::to_string(n) + ". A question"});
    events.push_back(vop::TextRun{vop::TextFormat::Plain, "\n"});
    events.push_back(vop::TableBlock{survey_table(n), ""});
    events.push_back(vop::TextRun{vop::TextFormat::Heading5, "Base: all respondents, n = 1000"});
    events.push_back(vop::TextRun{vop::TextFormat::Plain, "\nData is not weighted.\n\n"});
    if (n % 5 == 0) events.push_back(vop::TableBlock{numeric_table(n), ""});
  }
  std::string path = argc > 1 ? argv[1] : "/tmp/vop_xlsx_bench_" + std::to_string(::getpid()) + ".xlsx";
  const auto start = std::chrono::steady_clock::now();
  std::string error;
  const bool ok = vop::write_xlsx(path, events, &error);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!ok) {
    std::fprintf(stderr, "xlsx_bench: %s\n", error.c_str());
    return 1;
  }
  std::printf("xlsx_bench: 200 survey tables + 40 numeric tables written in %.3f s (goal < 2 s)\n", s);
  if (argc <= 1) ::unlink(path.c_str());
  return 0;
}
