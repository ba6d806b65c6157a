// What we write opens in a real office suite and shows there what the
// script wrote: LibreOffice converts the RTF document and the Excel-HTML
// workbook to PDF (the file opens) and to .docx and .xlsx, whose cells
// office_cells.py reads back with python3-docx and python3-openpyxl; the
// tests compare the texts row by row, the merged cells and the fills.
// Skips when LibreOffice or those Python modules are not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "file_text.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::slurp;

constexpr const char* kPython = "/usr/bin/python3";

bool have(const char* program) {
  const std::string cmd = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

int shell(const std::string& cmd) {
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// A cell as the office suite shows it (see office_cells.py).
struct Cell {
  int row = 0, col = 0;    // where it starts
  int rows = 1, cols = 1;  // how far it reaches
  std::string fill;        // RRGGBB, or "-" for none
  std::string text;        // without the spaces around it
};

std::string trimmed(std::string s) {
  // Spaces, tabs and no-break spaces (U+00A0 in UTF-8) do not show.
  auto blank_at_end = [&s] {
    if (s.ends_with(' ') || s.ends_with('\t')) return size_t(1);
    return s.ends_with("\xC2\xA0") ? size_t(2) : size_t(0);
  };
  for (size_t n; (n = blank_at_end()) > 0;) s.resize(s.size() - n);
  size_t from = 0;
  while (from < s.size()) {
    if (s[from] == ' ' || s[from] == '\t') from += 1;
    else if (s.compare(from, 2, "\xC2\xA0") == 0) from += 2;
    else break;
  }
  return s.substr(from);
}

std::vector<Cell> parse_cells(const std::string& listing) {
  std::vector<Cell> cells;
  std::istringstream in(listing);
  for (std::string line; std::getline(in, line);) {
    Cell c;
    std::istringstream fields(line);
    std::string text;
    if (!(fields >> c.row >> c.col >> c.rows >> c.cols >> c.fill) || fields.get() != '\t' ||
        !std::getline(fields, text)) {
      ADD_FAILURE() << "unreadable line from office_cells.py: " << line;
      continue;
    }
    c.text = trimmed(text);
    if (!c.text.empty()) cells.push_back(c);
  }
  std::sort(cells.begin(), cells.end(),
            [](const Cell& a, const Cell& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
  return cells;
}

using Rows = std::vector<std::vector<std::string>>;

// The texts of the rows that show any, left to right.
Rows rows_of(const std::vector<Cell>& cells) {
  Rows rows;
  int last = -1;
  for (const Cell& c : cells) {
    if (c.row != last) rows.emplace_back();
    rows.back().push_back(c.text);
    last = c.row;
  }
  return rows;
}

// Texts are the same when they are equal or are the same number: Calc reads
// "4.1000" as the number 4.1, Writer keeps "4.10" as text.
bool same_text(const std::string& got, const std::string& want) {
  if (got == want) return true;
  char *end_g = nullptr, *end_w = nullptr;
  const double g = std::strtod(got.c_str(), &end_g), w = std::strtod(want.c_str(), &end_w);
  return !got.empty() && !want.empty() && *end_g == '\0' && *end_w == '\0' && g == w;
}

::testing::AssertionResult SameRows(const Rows& got, const Rows& want) {
  bool same = got.size() == want.size();
  for (size_t r = 0; same && r < got.size(); ++r) {
    same = got[r].size() == want[r].size();
    for (size_t c = 0; same && c < got[r].size(); ++c) same = same_text(got[r][c], want[r][c]);
  }
  if (same) return ::testing::AssertionSuccess();
  auto show = [](const Rows& rows) {
    std::string s;
    for (const auto& row : rows) {
      s += "  [";
      for (const auto& t : row) s += " \"" + t + "\"";
      s += " ]\n";
    }
    return s;
  };
  return ::testing::AssertionFailure() << "got\n" << show(got) << "want\n" << show(want);
}

class OfficeCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have("soffice")) GTEST_SKIP() << "LibreOffice missing";
    if (shell(std::string(kPython) + " -c 'import docx, openpyxl' >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "python3-docx or python3-openpyxl missing (scripts/setup installs them)";
    // One folder per process: builds run their checks side by side.
    dir_ = ::testing::TempDir() + "vop_office_check_" + std::to_string(getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // Runs a script (a path from the source folder, or one this test wrote)
  // with vop-run's redirect option; the document's path.
  std::string write(const char* option, const std::string& name, const std::string& script) {
    const std::string doc = dir_ + name;
    EXPECT_EQ(shell(std::string("cd '") + VOP_SOURCE_DIR + "' && '" + VOP_RUN + "' --no-startup " + option +
                    " '" + doc + "' '" + script + "'"),
              0);
    return doc;
  }

  // LibreOffice's conversion of doc through the import filter into the
  // given format; the converted file's path.
  std::string convert(const std::string& doc, const char* filter, const char* to) {
    // A profile of its own, so that a running LibreOffice is not disturbed.
    const std::string cmd = "soffice -env:UserInstallation=file://" + dir_ + "profile --headless --infilter='" +
                            filter + "' --convert-to " + to + " --outdir '" + dir_ + "' '" + doc +
                            "' >/dev/null 2>&1";
    EXPECT_EQ(shell(cmd), 0) << cmd;
    const std::string out = dir_ + fs::path(doc).stem().string() + "." + to;
    std::error_code ec;
    EXPECT_GT(fs::file_size(out, ec), 0u) << cmd;
    return out;
  }

  // The cells that show in doc, as LibreOffice opens it.
  std::vector<Cell> cells(const std::string& doc, const char* filter, const char* to) {
    const std::string converted = convert(doc, filter, to);
    const std::string listing = converted + ".cells";
    const std::string cmd = std::string(kPython) + " '" + VOP_SOURCE_DIR + "/tests/tables/office_cells.py' '" +
                            converted + "' > '" + listing + "'";
    EXPECT_EQ(shell(cmd), 0) << cmd;
    return parse_cells(slurp(listing));
  }

  std::string dir_;
};

const Cell* find(const std::vector<Cell>& cells, const std::string& text) {
  for (const Cell& c : cells)
    if (c.text == text) return &c;
  return nullptr;
}

const Rows kSurvey = {
    {"Customer satisfaction survey"},
    {"Q1. How satisfied are you with our service?"},
    {"Total", "Gender", "Age"},
    {"Male", "Female", "18-34", "35-54", "55+"},
    {"Satisfaction", "Very satisfied", "42.0%", "40.1%", "43.8%", "35.2%", "44.9%", "46.3%"},
    {"Satisfied", "31.5%", "32.7%", "30.4%", "33.0%", "30.8%", "30.6%"},
    {"Neutral", "14.2%", "14.9%", "13.6%", "17.1%", "13.4%", "12.0%"},
    {"Dissatisfied", "8.1%", "8.3%", "7.9%", "9.9%", "7.6%", "6.8%"},
    {"Very dissatisfied", "4.2%", "4.0%", "4.3%", "4.8%", "3.3%", "4.3%"},
    {"Base: all respondents, n = 1000"},
    {"Q2. Mean score (1 to 5)"},
    {"Total", "Male", "Female", "18-34", "35-54", "55+"},
    {"Mean", "3.99", "3.97", "4.03", "3.87", "4.06", "4.1"},
    {"Base: all respondents, n = 1000"},
};

// The sample tables (examples/tables.s): the texts, and the merged
// headings over the columns and rows they head.
void expect_survey(const std::vector<Cell>& cells) {
  ASSERT_TRUE(SameRows(rows_of(cells), kSurvey));
  const Cell* total = find(cells, "Total");
  const Cell* satisfaction = find(cells, "Satisfaction");
  ASSERT_TRUE(total && satisfaction);
  EXPECT_EQ(total->rows, 2);
  EXPECT_EQ(satisfaction->rows, 5);
  // Each top heading reaches over the headings below it.
  auto spans = [&](const char* top, const char* first, const char* last) {
    const Cell *t = find(cells, top), *a = find(cells, first), *b = find(cells, last);
    ASSERT_TRUE(t && a && b) << top;
    EXPECT_EQ(t->col, a->col) << top;
    EXPECT_EQ(t->col + t->cols, b->col + b->cols) << top;
    EXPECT_EQ(t->row + 1, a->row) << top;
  };
  spans("Gender", "Male", "Female");
  spans("Age", "18-34", "55+");
  // The values of each data row stand under their column headings.
  std::vector<int> heading_cols = {total->col};
  for (const Cell& c : cells)
    if (c.row == total->row + 1) heading_cols.push_back(c.col);
  ASSERT_EQ(heading_cols.size(), 6u);
  for (int r = 0; r < 5; ++r) {
    std::vector<int> value_cols;
    for (const Cell& c : cells)
      if (c.row == satisfaction->row + r && c.text.ends_with('%')) value_cols.push_back(c.col);
    EXPECT_EQ(value_cols, heading_cols) << "data row " << r + 1;
  }
}

TEST_F(OfficeCheck, WriterOpensTheRtfDocument) {
  const std::string doc = write("--rtf", "tables.rtf", "examples/tables.s");
  convert(doc, "Rich Text Format", "pdf");
  const std::vector<Cell> cells = this->cells(doc, "Rich Text Format", "docx");
  expect_survey(cells);
  // Backgrounds: pale headings, the green row to look at, white elsewhere.
  for (const Cell& c : cells) {
    if (c.row < find(cells, "Total")->row || c.row > find(cells, "Very dissatisfied")->row) continue;
    const bool value = c.text.ends_with('%');
    const char* want = !value ? "DDEBF7" : c.row == find(cells, "Very satisfied")->row ? "E2EFDA" : "FFFFFF";
    EXPECT_EQ(c.fill, want) << c.text << " in row " << c.row;
  }
}

// LibreOffice's HTML import leaves the workbook's style sheet aside, so the
// cells come without fills; the class blocks are checked where they are
// written.
TEST_F(OfficeCheck, CalcOpensTheExcelHtmlWorkbook) {
  const std::string doc = write("--excel-html", "tables.xls", "examples/tables.s");
  convert(doc, "HTML (StarCalc)", "pdf");
  expect_survey(cells(doc, "HTML (StarCalc)", "xlsx"));
}

// Texts that are not ASCII show as the script wrote them (UTF-8); bytes of
// another code page show as their windows-1252 characters.
class OfficeText : public OfficeCheck {
 protected:
  std::string script() {
    const std::string path = dir_ + "texts.s";
    std::ofstream(path, std::ios::binary)
        << "heading(1, \"Pr\xC3\xA9nom \xE2\x80\x93 \xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88 "
           "\xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x98\x80\")\n"
           "printf(\"Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln\\n\")\n"
           "print([\"1,5 \xE2\x82\xAC\" \"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1\"], [\"Zeile \xC3\xA4\"], "
           "[\"Gr\xC3\xB6\xC3\x9F" "e\" \"\xF0\x9F\x98\x80 emoji\"])\n"
           "heading(5, \"Caf\xE9 cr\x80me\")\n";
    return path;
  }
  const Rows want_ = {
      {"Pr\xC3\xA9nom \xE2\x80\x93 \xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88 \xE2\x82\xAC "
       "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x98\x80"},
      {"Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln"},
      {"Gr\xC3\xB6\xC3\x9F" "e", "\xF0\x9F\x98\x80 emoji"},
      {"Zeile \xC3\xA4", "1,5 \xE2\x82\xAC", "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1"},
      {"Caf\xC3\xA9 cr\xE2\x82\xAC" "me"},
  };
};

TEST_F(OfficeText, WriterShowsTheRtfTexts) {
  const std::string doc = write("--rtf", "texts.rtf", script());
  EXPECT_TRUE(SameRows(rows_of(cells(doc, "Rich Text Format", "docx")), want_));
}

TEST_F(OfficeText, CalcShowsTheWorkbookTexts) {
  const std::string doc = write("--excel-html", "texts.xls", script());
  EXPECT_TRUE(SameRows(rows_of(cells(doc, "HTML (StarCalc)", "xlsx")), want_));
}

}  // namespace
}  // namespace vop
