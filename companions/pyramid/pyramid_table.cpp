#include "companions/pyramid/pyramid_table.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include <pugixml.hpp>

#include "document/ascii_case.h"
#include "office/package_reader.h"

namespace vop::pyramid {

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

void pad(Table& t) {
  size_t width = 0;
  for (const auto& row : t) width = std::max(width, row.size());
  for (auto& row : t) row.resize(width);
}

}  // namespace

Cell cell_from_text(std::string_view text) {
  const std::string_view t = trim(text);
  if (t.empty()) return {};
  std::string s(t);
  if (s.find('.') == std::string::npos && std::count(s.begin(), s.end(), ',') == 1)
    std::replace(s.begin(), s.end(), ',', '.');
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (*first == '+' && s.size() > 1 && *(first + 1) != '-') ++first;
  double v = 0;
  const auto [end, ec] = std::from_chars(first, last, v);
  if (ec == std::errc() && end == last && std::isfinite(v)) return Cell::of_number(v);
  return Cell::of_text(std::string(text));
}

Table parse_delimited(std::string_view text, char delimiter) {
  Table table;
  std::vector<Cell> row;
  std::string field;
  bool quoted = false;  // the field was quoted: its text stands as written
  size_t i = 0;
  auto end_field = [&] {
    if (quoted)
      row.push_back(field.empty() ? Cell{} : cell_from_text(field));
    else
      row.push_back(cell_from_text(field));
    field.clear();
    quoted = false;
  };
  auto end_row = [&] {
    end_field();
    table.push_back(std::move(row));
    row.clear();
  };
  bool row_started = false;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"' && field.empty() && !quoted) {
      // A quoted field: to the closing quote, "" standing for one quote.
      quoted = true;
      row_started = true;
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += text[i++];
      }
      continue;
    }
    if (c == delimiter) {
      end_field();
      row_started = true;
      ++i;
      continue;
    }
    if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      end_row();
      row_started = false;
      i += c == '\r' ? 2 : 1;
      continue;
    }
    field += c;
    row_started = true;
    ++i;
  }
  if (row_started) end_row();
  pad(table);
  return table;
}

char csv_delimiter(std::string_view text) {
  size_t commas = 0, semicolons = 0;
  bool in_quotes = false;
  for (char c : text) {
    if (c == '"') in_quotes = !in_quotes;
    if (in_quotes) continue;
    if (c == '\n') break;
    if (c == ',') ++commas;
    if (c == ';') ++semicolons;
  }
  return commas == 0 && semicolons > 0 ? ';' : ',';
}

bool split_xlsx_range(const std::string& input, XlsxRange* out) {
  const size_t bang = input.rfind('!');
  if (bang == std::string::npos) return false;
  const size_t colon = input.rfind(':', bang);
  if (colon == std::string::npos) return false;
  const std::string path = input.substr(0, colon);
  if (!ends_with_ascii_nocase(path, ".xlsx") && !ends_with_ascii_nocase(path, ".xlsm")) return false;
  std::string sheet = input.substr(colon + 1, bang - colon - 1);
  // 'My sheet' as a formula writes a name with spaces; '' inside is one quote.
  if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') {
    std::string unquoted;
    for (size_t i = 1; i + 1 < sheet.size(); ++i) {
      unquoted += sheet[i];
      if (sheet[i] == '\'' && i + 2 < sheet.size() && sheet[i + 1] == '\'') ++i;
    }
    sheet = unquoted;
  }
  *out = {path, sheet, input.substr(bang + 1)};
  return true;
}

namespace {

// "B2" (with or without $) -> column 2, row 2; false when it is no cell.
bool parse_cell_ref(std::string_view ref, long* column, long* row) {
  size_t i = 0;
  if (i < ref.size() && ref[i] == '$') ++i;
  long c = 0;
  const size_t letters = i;
  while (i < ref.size() && std::isalpha((unsigned char)ref[i])) {
    c = c * 26 + (std::toupper((unsigned char)ref[i]) - 'A' + 1);
    if (c > 16384) return false;
    ++i;
  }
  if (i == letters) return false;
  if (i < ref.size() && ref[i] == '$') ++i;
  long r = 0;
  const size_t digits = i;
  while (i < ref.size() && std::isdigit((unsigned char)ref[i])) {
    r = r * 10 + (ref[i] - '0');
    if (r > 1048576) return false;
    ++i;
  }
  if (i == digits || i != ref.size() || r == 0) return false;
  *column = c;
  *row = r;
  return true;
}

// An element's name without its namespace prefix.
std::string_view local_name(pugi::xml_node n) {
  const std::string_view name = n.name();
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The text of a string item: its <t>, or its runs' <t>s; phonetic runs
// (<rPh>) are not part of the cell's value.
std::string item_text(pugi::xml_node si) {
  std::string text;
  for (pugi::xml_node n : si.children()) {
    if (local_name(n) == "t") text += n.child_value();
    if (local_name(n) == "r")
      for (pugi::xml_node t : n.children())
        if (local_name(t) == "t") text += t.child_value();
  }
  return text;
}

bool load_xml(const OpcReader& r, const std::string& part, pugi::xml_document* doc, std::string* error) {
  std::string bytes;
  if (!r.read(part, &bytes, error)) return false;
  if (!doc->load_buffer(bytes.data(), bytes.size())) {
    *error = "The part " + part + " is no XML";
    return false;
  }
  return true;
}

// A relationship's id attribute, whatever prefix its namespace has.
std::string rel_id(pugi::xml_node n) {
  for (pugi::xml_attribute a : n.attributes())
    if (std::string_view(a.name()).ends_with(":id")) return a.value();
  return {};
}

}  // namespace

bool read_xlsx_range(const XlsxRange& range, Table* out, std::string* error) {
  long c1 = 0, r1 = 0, c2 = 0, r2 = 0;
  const size_t colon = range.range.find(':');
  const bool one = colon == std::string::npos;
  if (!parse_cell_ref(one ? range.range : range.range.substr(0, colon), &c1, &r1) ||
      !parse_cell_ref(one ? range.range : range.range.substr(colon + 1), &c2, &r2)) {
    *error = "\"" + range.range + "\" is no cell range (write it like B2:F9)";
    return false;
  }
  if (c2 < c1) std::swap(c1, c2);
  if (r2 < r1) std::swap(r1, r2);
  const long columns = c2 - c1 + 1, rows = r2 - r1 + 1;
  // A pyramid table is small; a whole-sheet range would only fill memory.
  constexpr long kMaxCells = 1'000'000;
  if (rows * columns > kMaxCells) {
    *error = "The range " + range.range + " is too large";
    return false;
  }

  OpcReader r;
  if (!r.open(range.path, error)) return false;
  std::string workbook_part;
  for (const OpcRelationship& rel : r.relationships(""))
    if (rel.type.ends_with("/officeDocument") && !rel.external) workbook_part = rel.target;
  if (workbook_part.empty()) {
    *error = range.path + " is no workbook";
    return false;
  }
  pugi::xml_document workbook;
  if (!load_xml(r, workbook_part, &workbook, error)) return false;
  std::string sheet_id;
  std::vector<std::string> names;
  for (pugi::xml_node s : workbook.first_child().child("sheets").children("sheet")) {
    names.push_back(s.attribute("name").value());
    if (same_ascii_nocase(names.back(), range.sheet)) sheet_id = rel_id(s);
  }
  if (sheet_id.empty()) {
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
    *error = range.path + " has no sheet \"" + range.sheet + "\" (its sheets: " + list + ")";
    return false;
  }
  std::string sheet_part, strings_part;
  for (const OpcRelationship& rel : r.relationships(workbook_part)) {
    if (rel.id == sheet_id && !rel.external) sheet_part = rel.target;
    if (rel.type.ends_with("/sharedStrings") && !rel.external) strings_part = rel.target;
  }
  if (sheet_part.empty()) {
    *error = "The sheet \"" + range.sheet + "\" of " + range.path + " is missing";
    return false;
  }
  std::vector<std::string> strings;
  if (!strings_part.empty()) {
    pugi::xml_document sst;
    if (!load_xml(r, strings_part, &sst, error)) return false;
    for (pugi::xml_node si : sst.first_child().children("si")) strings.push_back(item_text(si));
  }
  pugi::xml_document sheet;
  if (!load_xml(r, sheet_part, &sheet, error)) return false;

  Table table(static_cast<size_t>(rows), std::vector<Cell>(static_cast<size_t>(columns)));
  long row_no = 0;
  for (pugi::xml_node row : sheet.first_child().child("sheetData").children("row")) {
    row_no = row.attribute("r") ? row.attribute("r").as_llong() : row_no + 1;
    long col_no = 0;
    for (pugi::xml_node c : row.children("c")) {
      long rc = 0, cc = 0;
      if (c.attribute("r") && parse_cell_ref(c.attribute("r").value(), &cc, &rc)) {
        col_no = cc;
      } else {
        ++col_no;
      }
      if (row_no < r1 || row_no > r2 || col_no < c1 || col_no > c2) continue;
      Cell& cell = table[size_t(row_no - r1)][size_t(col_no - c1)];
      const std::string_view type = c.attribute("t").value();
      const pugi::xml_node v = c.child("v");
      if (type == "s") {
        const long k = v ? std::strtol(v.child_value(), nullptr, 10) : -1;
        if (k >= 0 && size_t(k) < strings.size()) cell = Cell::of_text(strings[size_t(k)]);
      } else if (type == "str") {
        if (v) cell = Cell::of_text(v.child_value());
      } else if (type == "inlineStr") {
        cell = Cell::of_text(item_text(c.child("is")));
      } else if (type.empty() || type == "n") {
        if (v) {
          const std::string_view text = trim(v.child_value());
          double x = 0;
          const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), x);
          if (ec == std::errc() && end == text.data() + text.size() && std::isfinite(x)) cell = Cell::of_number(x);
        }
      }
      // Booleans, errors and dates as text stay empty: neither text nor number.
    }
  }
  *out = std::move(table);
  return true;
}

bool read_table_file(const std::string& input, Table* out, std::string* error) {
  XlsxRange range;
  if (split_xlsx_range(input, &range)) return read_xlsx_range(range, out, error);
  std::ifstream f(input, std::ios::binary);
  if (!f) {
    *error = "Cannot open " + input + ": " + std::strerror(errno);
    return false;
  }
  std::stringstream ss;
  ss << f.rdbuf();
  if (f.bad()) {
    *error = "Cannot read " + input;
    return false;
  }
  std::string text = ss.str();
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);  // a UTF-8 byte order mark
  if (ends_with_ascii_nocase(input, ".xlsx") || ends_with_ascii_nocase(input, ".xlsm")) {
    *error = "Name the sheet and range of " + input + ", like " + input + ":Sheet1!B2:F9";
    return false;
  }
  *out = parse_delimited(text, ends_with_ascii_nocase(input, ".csv") ? csv_delimiter(text) : '\t');
  return true;
}

}  // namespace vop::pyramid
