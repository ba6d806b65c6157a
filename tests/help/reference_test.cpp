// The reference (docs/*.md) against the program: every builtin and every
// error code has its entry and no entry names what does not exist; the
// counts lines agree with the builtin tables; lookups find what the
// prompt's `help` and the editor's F1 ask for; and every example runs.
//
// Examples: a fenced block whose info string is `vop` is a script that the
// test runs in a fresh session, as vop-run would (the output is what
// vop-run prints on standard output). `vop survey` runs it with
// examples/survey.sav open (its load report is not part of the output).
// When the next fenced block (only blank lines between) is `output`, the
// script's output must equal that block exactly; a script may end with an
// error only when its output block shows the report. An example in the
// entry of an error code must end with that code. Other fences (`sh`,
// `text`, plain) are not run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "help/help.h"
#include "help/reference_tables.h"
#include "output/console_output.h"
#include "session/session.h"

namespace vop::help {
namespace {

std::string counts_of(const Entry& e) {
  std::string found;
  for (size_t at = 0; at < e.text.size();) {
    size_t end = e.text.find('\n', at);
    if (end == std::string::npos) end = e.text.size();
    if (e.text.compare(at, 11, "Arguments: ") == 0) {
      if (!found.empty()) return "(two counts lines)";
      found = e.text.substr(at, end - at);
    }
    at = end + 1;
  }
  return found;
}

TEST(Reference, EveryBuiltinHasOneEntryInItsGroup) {
  std::map<std::string, const Entry*> described;
  const std::vector<Entry> all = entries(Doc::Builtins);
  for (const Entry& e : all)
    for (const std::string& name : entry_names(e))
      EXPECT_TRUE(described.emplace(name, &e).second) << name << " has two entries";

  std::set<std::string> registered;
  for (int g = 0; g < test::kBuiltinGroupCount; ++g) {
    const test::BuiltinGroup& group = test::kBuiltinGroups[g];
    for (const Builtin& b : test::group_builtins(group)) {
      const std::string name(b.name);
      registered.insert(name);
      auto it = described.find(name);
      if (it == described.end()) {
        ADD_FAILURE() << "builtin " << name << " has no entry in builtins.md (group \"" << group.title << "\")";
        continue;
      }
      EXPECT_EQ(it->second->group, group.title) << name << " is described under another group";
      EXPECT_EQ(counts_of(*it->second), test::counts_line(b)) << "the counts line of " << it->second->heading;
    }
  }
  for (const auto& [name, entry] : described) {
    if (registered.count(name)) continue;
    ADD_FAILURE() << "builtins.md describes " << name << ", which is no builtin";
  }
}

TEST(Reference, EveryErrorCodeHasOneEntry) {
  std::map<int, std::string> described;
  for (const Entry& e : entries(Doc::Errors)) {
    const int code = entry_code(e);
    ASSERT_GT(code, 0) << "an errors.md entry without a code: " << e.heading;
    EXPECT_TRUE(described.emplace(code, e.heading).second) << code << " has two entries";
  }
  std::set<int> listed;
  for (const test::ErrorRow& r : test::error_rows()) {
    listed.insert(r.code);
    auto it = described.find(r.code);
    if (it == described.end()) ADD_FAILURE() << "error " << r.heading << " has no entry in errors.md";
    else EXPECT_EQ(it->second, r.heading);
  }
  for (const auto& [code, heading] : described)
    if (!listed.count(code))
      ADD_FAILURE() << "errors.md describes " << heading << ", which is no error code";
}

TEST(Reference, LookupFindsBuiltinsCodesAndStatements) {
  struct Case {
    const char* topic;
    Doc doc;
    const char* heading_part;  // found in the entry's heading
  };
  const Case cases[] = {
      {"sqrt", Doc::Builtins, "sqrt"},       {"SQRT", Doc::Builtins, "sqrt"},
      {"DataOpen", Doc::Builtins, "DataOpen"}, {"rsum", Doc::Builtins, "rsum"},
      {"63", Doc::Errors, "63 "},            {"error 777", Doc::Errors, "777"},
      {"e", Doc::Builtins, "e"},             {"error", Doc::Builtins, "error"},
      {"for", Doc::Language, "for"},         {"!recode", Doc::Builtins, "!recode"},
      {"macro", Doc::Language, "acro"},     {"Data variables", Doc::Language, "Data variables"},
      {"tables", Doc::Language, "Tables"},
  };
  for (const Case& c : cases) {
    const std::optional<Entry> e = lookup(c.topic);
    ASSERT_TRUE(e) << c.topic;
    EXPECT_EQ(e->doc, c.doc) << c.topic;
    EXPECT_NE(e->heading.find(c.heading_part), std::string::npos) << c.topic << ": " << e->heading;
    EXPECT_EQ(e->text.rfind("#", 0), 0u) << c.topic;
  }
  for (const char* topic : {"", "  ", "nosuchthing", "99999", "error 4"}) EXPECT_FALSE(lookup(topic)) << topic;
}

// --- Examples -----------------------------------------------------------------------------

struct Example {
  std::string where;  // file:line
  std::string script;
  bool survey = false;
  std::optional<std::string> output;
  int code = 0;  // the code it must end with (an example of errors.md)
};

std::vector<Example> examples(Doc doc) {
  const std::vector<std::string_view> lines = lines_of(text(doc));
  // The fenced blocks: info string, first line of the body, body.
  struct Block {
    std::string info;
    size_t line;
    size_t end;  // the closing fence
    std::string body;
  };
  std::vector<Block> blocks;
  std::vector<int> codes;  // of the errors.md entry each block stands in
  int code = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (doc == Doc::Errors && lines[i].substr(0, 3) == "## ") code = 0;
    if (doc == Doc::Errors && lines[i].substr(0, 4) == "### ") code = std::atoi(std::string(lines[i].substr(4)).c_str());
    if (lines[i].substr(0, 3) != "```") continue;
    codes.push_back(code);
    Block b{std::string(lines[i].substr(3)), i + 1, i + 1, {}};
    size_t j = i + 1;
    while (j < lines.size() && lines[j].substr(0, 3) != "```") {
      b.body += lines[j];
      b.body += '\n';
      ++j;
    }
    b.end = j;
    blocks.push_back(std::move(b));
    i = j;
  }
  std::vector<Example> out;
  for (size_t k = 0; k < blocks.size(); ++k) {
    const Block& b = blocks[k];
    if (b.info != "vop" && b.info != "vop survey") continue;
    Example ex{std::string(file_name(doc)) + ":" + std::to_string(b.line), b.body, b.info == "vop survey", {},
               codes[k]};
    if (k + 1 < blocks.size() && blocks[k + 1].info == "output") {
      bool adjacent = true;
      for (size_t l = b.end + 1; l + 1 < blocks[k + 1].line; ++l)
        if (!lines[l].empty()) adjacent = false;
      if (adjacent) ex.output = blocks[k + 1].body;
    }
    out.push_back(std::move(ex));
  }
  return out;
}

// The example's output as vop-run prints it, and its error code.
std::string run_example(const Example& ex, int* code) {
  std::FILE* file = std::tmpfile();
  std::string out;
  {
    ConsoleOutput console(file);
    SessionOptions options;
    options.consumer = &console;
    options.run_startup = false;
    options.warning_hook = [](std::string_view) {};
    // The table library, as the programs find it beside them.
    options.search_dirs = {VOP_SOURCE_DIR "/Syntax"};
    std::unique_ptr<Session> session = make_session(options);
    if (ex.survey && !session->open_data(VOP_SURVEY_SAV, false)) {
      *code = -1;
      std::fclose(file);
      return "cannot open " VOP_SURVEY_SAV;
    }
    std::fflush(file);
    const long start = std::ftell(file);
    *code = session->run_text(ex.script);
    std::fflush(file);
    std::fseek(file, start, SEEK_SET);
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, file)) > 0;) out.append(buf, n);
  }
  std::fclose(file);
  return out;
}

TEST(Reference, EveryExampleRunsAndShowsItsOutput) {
  // Paths in the examples are relative to the top of the checkout, as in
  // the README's commands.
  const std::filesystem::path was = std::filesystem::current_path();
  std::filesystem::current_path(VOP_SOURCE_DIR);
  int total = 0, compared = 0;
  for (Doc doc : kDocs) {
    for (const Example& ex : examples(doc)) {
      ++total;
      int code = 0;
      const std::string got = run_example(ex, &code);
      if (ex.code) {
        EXPECT_EQ(code, ex.code) << ex.where << "\n" << ex.script;
      }
      if (ex.output) {
        ++compared;
        EXPECT_EQ(got, *ex.output) << ex.where << "\n" << ex.script;
        if (code) {
          EXPECT_NE(ex.output->find("ERROR"), std::string::npos) << ex.where << ": code " << code;
        }
      } else {
        EXPECT_EQ(code, 0) << ex.where << "\n" << ex.script << "\n" << got;
      }
    }
  }
  std::filesystem::current_path(was);
  // The files the data examples write (/tmp/vop-doc-example.*).
  std::error_code ec;
  for (const auto& f : std::filesystem::directory_iterator("/tmp", ec))
    if (f.path().filename().string().rfind("vop-doc-example.", 0) == 0) std::filesystem::remove(f.path(), ec);
  // The reference is meant to be read with its examples.
  EXPECT_GT(total, 100);
  EXPECT_GT(compared, 80);
}

}  // namespace
}  // namespace vop::help
