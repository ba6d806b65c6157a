#include "cli/help_command.h"

#include <cctype>

#include "help/help.h"

namespace vop {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

bool print_help(std::string_view topic, std::FILE* out, std::FILE* err) {
  topic = trim(topic);
  std::string text;
  if (topic.empty()) {
    text = help::as_plain_text(help::start_page());
  } else if (const std::optional<help::Entry> entry = help::lookup(topic)) {
    text = help::as_plain_text(entry->text);
  } else {
    std::fprintf(err,
                 "no entry for '%.*s' in the reference: give a builtin's name (sum), an error code (68) "
                 "or a statement (for)\n",
                 int(topic.size()), topic.data());
    return false;
  }
  std::fwrite(text.data(), 1, text.size(), out);
  return true;
}

bool help_command(std::string_view line, std::string* topic) {
  line = trim(line);
  if (line.substr(0, 4) != "help") return false;
  std::string_view rest = line.substr(4);
  if (!rest.empty() && !std::isspace(static_cast<unsigned char>(rest.front()))) return false;
  rest = trim(rest);
  // One word at most, and not the start of an expression or assignment.
  for (char ch : rest)
    if (std::isspace(static_cast<unsigned char>(ch)) || ch == '=' || ch == '(' || ch == ';' || ch == '[')
      return false;
  *topic = std::string(rest);
  return true;
}

}  // namespace vop
