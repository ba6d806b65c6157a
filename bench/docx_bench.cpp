// Writing a long report as a Word document: 200 survey tables (two heading
// levels, merged headings, colours and borders, 12 rows by 10 columns of
// formatted percentages), each under a heading with a base line and a
// note, and 50 charts (bar charts alone and pies in pairs). Prints the
// time of write_docx; the goal is under 2 s.
//
//   docx_bench [FILE]   write FILE (default: a temporary file, removed)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "document/output_event.h"
#include "office/docx_writer.h"

namespace {

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
  t.h_borders.assign(size_t(R + h + 1), 1);
  t.h_borders[size_t(h)] = 3;
  t.v_borders.assign(size_t(C + v + 1), 1);
  t.v_borders[1] = 0;
  return t;
}

vop::ChartRequest chart(int n, vop::ChartKind kind, vop::ChartPlacement where) {
  vop::ChartRequest c;
  c.kind = kind;
  c.placement = where;
  c.number = n;
  c.table.shape = {5, 2, 1, 1};
  for (int i = 0; i < 5; ++i) {
    c.table.row_labels.push_back("Answer " + std::to_string(i + 1));
    for (int k = 0; k < 2; ++k) c.table.cells.emplace_back(std::to_string((n * 7 + i * 11 + k * 5) % 60));
  }
  c.table.col_labels = {"Male", "Female"};
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<vop::OutputEvent> events;
  int charts = 0;
  for (int n = 1; n <= 200; ++n) {
    events.push_back(vop::TextRun{vop::TextFormat::Heading2, "Q" + std::to_string(n) + ". A question"});
    events.push_back(vop::TextRun{vop::TextFormat::Plain, "\n"});
    events.push_back(vop::TableBlock{survey_table(n), ""});
    events.push_back(vop::TextRun{vop::TextFormat::Heading5, "Base: all respondents, n = 1000"});
    events.push_back(vop::TextRun{vop::TextFormat::Plain, "\nData is not weighted.\n\n"});
    if (n % 4 == 0) {  // 50 charts: bar charts alone and pies in pairs, in turn
      const int k = ++charts;
      using vop::ChartPlacement;
      const ChartPlacement where = k % 4 < 2 ? ChartPlacement::Single
                                   : k % 4 == 2 ? ChartPlacement::PairLeft
                                                : ChartPlacement::PairRight;
      const vop::ChartKind kind = where == ChartPlacement::Single ? vop::ChartKind::Bar : vop::ChartKind::Pie;
      events.push_back(vop::ChartBlock{chart(k, kind, where)});
    }
  }
  namespace fs = std::filesystem;
  const std::string dir = (fs::temp_directory_path() / ("vop_docx_bench_" + std::to_string(::getpid()))).string();
  fs::create_directories(dir);
  fs::copy_file(std::string(VOP_SOURCE_DIR) + "/Syntax/VopEN.xml", dir + "/VopEN.xml");
  vop::DocxOptions options;
  options.template_path = dir + "/VopEN.xml";
  options.installation_id = "bench";
  const std::string path = argc > 1 ? argv[1] : dir + "/report.docx";
  const auto start = std::chrono::steady_clock::now();
  std::string error;
  const bool ok = vop::write_docx(path, events, options, &error);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  fs::remove_all(dir, ec);
  if (!ok) {
    std::fprintf(stderr, "docx_bench: %s\n", error.c_str());
    return 1;
  }
  std::printf("docx_bench: 200 survey tables + %d charts written in %.3f s, %lld bytes (goal < 2 s)\n", charts, s,
              (long long)size);
  return 0;
}
