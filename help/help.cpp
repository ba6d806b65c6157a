#include "help/help.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

#include "help/texts.h"

namespace vop::help {

namespace {

// Where each file comes in the embedded list.
constexpr const char* kNames[] = {"language.md", "builtins.md", "errors.md"};

bool is_fence(std::string_view line) { return line.substr(0, 3) == "```"; }

// The level of a heading line ("## x" is 2), 0 for any other line.
int heading_level(std::string_view line) {
  size_t n = 0;
  while (n < line.size() && line[n] == '#') ++n;
  return n > 0 && n < line.size() && line[n] == ' ' ? int(n) : 0;
}

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& ch : out) ch = char(std::tolower(static_cast<unsigned char>(ch)));
  return out;
}

// The words of a heading: runs of letters, digits, "_" and "!".
std::vector<std::string> words(std::string_view s) {
  std::vector<std::string> out;
  std::string word;
  for (char ch : s) {
    if (std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '!') {
      word += ch;
    } else if (!word.empty()) {
      out.push_back(lower(word));
      word.clear();
    }
  }
  if (!word.empty()) out.push_back(lower(word));
  return out;
}

// The deepest heading level that makes entries of a file.
int min_level(Doc doc) { return doc == Doc::Language ? 2 : 3; }

}  // namespace

const char* file_name(Doc doc) { return kNames[int(doc)]; }

std::string_view text(Doc doc) {
  for (int i = 0; i < kTextCount; ++i)
    if (std::string_view(kTexts[i].name) == kNames[int(doc)]) return kTexts[i].text;
  return {};
}

std::vector<std::string_view> lines_of(std::string_view all) {
  std::vector<std::string_view> lines;
  for (size_t at = 0; at < all.size();) {
    size_t end = all.find('\n', at);
    if (end == std::string_view::npos) end = all.size();
    lines.push_back(all.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::vector<Entry> entries(Doc doc) {
  // The lines of the file, and where each heading is (fences skipped).
  const std::vector<std::string_view> lines = lines_of(text(doc));
  std::vector<int> level(lines.size(), 0);
  bool fenced = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (is_fence(lines[i])) fenced = !fenced;
    else if (!fenced) level[i] = heading_level(lines[i]);
  }
  std::vector<Entry> out;
  std::string group;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int l = level[i];
    if (l == 2) group = trim(lines[i].substr(2));
    if (l < min_level(doc) || l > 3) continue;
    Entry e;
    e.doc = doc;
    e.level = l;
    e.heading = trim(lines[i].substr(size_t(l)));
    e.group = l == 2 ? "" : group;
    size_t j = i + 1;
    while (j < lines.size() && !(level[j] > 0 && level[j] <= l)) ++j;
    for (size_t k = i; k < j; ++k) {
      e.text += lines[k];
      e.text += '\n';
    }
    while (e.text.size() > 1 && e.text[e.text.size() - 2] == '\n') e.text.pop_back();
    out.push_back(std::move(e));
  }
  return out;
}

std::vector<std::string> entry_names(const Entry& entry) {
  std::vector<std::string> out;
  std::string_view h = entry.heading;
  for (size_t at = 0; at <= h.size();) {
    size_t comma = h.find(',', at);
    if (comma == std::string_view::npos) comma = h.size();
    std::string name = trim(h.substr(at, comma - at));
    if (name.size() > 1 && name.front() == '`' && name.back() == '`') name = name.substr(1, name.size() - 2);
    if (!name.empty()) out.push_back(name);
    at = comma + 1;
  }
  return out;
}

int entry_code(const Entry& entry) { return std::atoi(entry.heading.c_str()); }

std::string entry_message(const Entry& entry) {
  const size_t space = entry.heading.find(' ');
  return space == std::string::npos ? std::string() : trim(entry.heading.substr(space + 1));
}

std::optional<Entry> lookup(std::string_view topic) {
  std::string t = trim(topic);
  if (t.empty()) return std::nullopt;
  // An error code: "63", "error 63", "E63".
  std::string digits = lower(t);
  for (const char* prefix : {"error", "code", "e"})
    if (digits.rfind(prefix, 0) == 0 && digits.size() > std::string_view(prefix).size() &&
        !std::isalpha(static_cast<unsigned char>(digits[std::string_view(prefix).size()]))) {
      digits = trim(digits.substr(std::string_view(prefix).size()));
      break;
    }
  if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos) {
    const int code = std::atoi(digits.c_str());
    for (Entry& e : entries(Doc::Errors))
      if (entry_code(e) == code) return std::move(e);
    return std::nullopt;
  }
  std::vector<Entry> builtins = entries(Doc::Builtins);
  for (Entry& e : builtins)
    for (const std::string& name : entry_names(e))
      if (name == t) return std::move(e);
  const std::string low = lower(t);
  for (Entry& e : builtins)
    for (const std::string& name : entry_names(e))
      if (lower(name) == low) return std::move(e);
  // The language guide: a heading as a whole, then a word of a "###"
  // heading, then of a "##" one.
  std::vector<Entry> guide = entries(Doc::Language);
  for (Entry& e : guide)
    if (lower(e.heading) == low) return std::move(e);
  for (int level : {3, 2})
    for (Entry& e : guide)
      if (e.level == level)
        for (const std::string& w : words(e.heading))
          if (w == low) return std::move(e);
  return std::nullopt;
}

std::string start_page() {
  return "# The Vop reference\n\n"
         "- [The language](language.md): values, operators, indexing, control flow, functions and "
         "macros, data variables and transformations, tables and output.\n"
         "- [The builtins](builtins.md): every builtin function, its arguments, results and errors.\n"
         "- [The error codes](errors.md): every error code, its message, its usual cause and fix.\n\n"
         "In a syntax window, F1 on a name or an error code opens its entry; at the vop-run prompt, "
         "`help NAME` prints it.\n";
}

std::string as_plain_text(std::string_view text) {
  std::string out;
  bool fenced = false;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (is_fence(line)) {
      fenced = !fenced;
      if (fenced && line.substr(3) == "output") out += "  shows:\n";
      continue;
    }
    if (fenced) {
      out += "    ";
      out += line;
    } else {
      for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '`') continue;
        if (line[i] == '*' && i + 1 < line.size() && line[i + 1] == '*') {
          ++i;
          continue;
        }
        out += line[i];
      }
    }
    out += '\n';
  }
  return out;
}

}  // namespace vop::help
