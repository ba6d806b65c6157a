#include "core/tokens.h"

#include <charconv>
#include <cstdlib>

namespace vop {

namespace {

struct OpEntry {
  std::string_view text;
  OpCode code;
};

// Every operator token of the language and its code.
constexpr OpEntry kOperators[] = {
    {"+", kOpAdd},       {"-", kOpSub},       {"*", kOpMul},        {"/", kOpDiv},
    {".*", kOpElemMul},  {"./", kOpElemDiv},  {".^", kOpElemPow},   {"^", kOpPow},
    {"'", kOpTranspose}, {"~", kOpNot},       {"<", kOpLess},       {">", kOpGreater},
    {"<=", kOpLessEq},   {">=", kOpGreaterEq}, {"==", kOpEq},       {"~=", kOpNotEq},
    {"&", kOpAnd},       {"|", kOpOr},        {"||", kOpXor},       {"=", kOpAssign},
    {"`", kOpNeg},       {"#", kOpNameBuild}, {"]", kOpMatrix},     {"\"", kOpString},
    {":", kOpRange},     {"in", kOpIn},       {"rin", kOpIn},       {"anyin", kOpAnyIn},
    {"ranyin", kOpAnyIn},
};

struct KeywordEntry {
  std::string_view word;
  Keyword keyword;
};

constexpr KeywordEntry kKeywords[] = {
    {"end", Keyword::End},         {"if", Keyword::If},
    {"elseif", Keyword::ElseIf},   {"else", Keyword::Else},
    {"for", Keyword::For},         {"while", Keyword::While},
    {"repeat", Keyword::Repeat},   {"until", Keyword::Until},
    {"function", Keyword::Function}, {"macro", Keyword::Macro},
    {"return", Keyword::Return},   {"global", Keyword::Global},
    {"clear", Keyword::Clear},     {"who", Keyword::Who},
    {"globfunc", Keyword::GlobFunc}, {"globmacro", Keyword::GlobMacro},
    {"!compute", Keyword::DataCompute}, {"!if", Keyword::DataIf},
    {"!recode", Keyword::DataRecode},
};

// The longest keyword or word operator; longer words skip the tables.
constexpr size_t kLongestWord = 9;

}  // namespace

OpCode operator_code(std::string_view text) {
  if (text.empty() || text.size() > kLongestWord) return kOpNone;
  for (const OpEntry& e : kOperators)
    if (e.text == text) return e.code;
  return kOpNone;
}

Keyword keyword_class(std::string_view word) {
  // Every keyword starts with one of these letters; most names are out at
  // the first byte.
  if (word.size() < 2 || word.size() > kLongestWord) return Keyword::None;
  switch (word[0]) {
    case 'e': case 'i': case 'f': case 'w': case 'r': case 'u': case 'm':
    case 'g': case 'c': case '!':
      break;
    default:
      return Keyword::None;
  }
  for (const KeywordEntry& e : kKeywords)
    if (e.word == word) return e.keyword;
  return Keyword::None;
}

double number_value(std::string_view text) {
  double v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v,
                                   std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small: the runtime's conversion gives Inf or 0.
    std::string s(text.substr(0, size_t(ptr - text.data())));
    return std::strtod(s.c_str(), nullptr);
  }
  return v;
}

}  // namespace vop
