// The role of every byte of syntax text, as one table, so the lexer's inner
// loop is a single lookup and a switch instead of a chain of comparisons.
#pragma once

#include <array>
#include <cstdint>

namespace vop {

// What a byte does when the lexer meets it outside a string literal.
enum class CharClass : uint8_t {
  Word,       // name or number character (bytes 127..254 are local letters)
  Blank,      // tab, space: ends the current token
  LineEnd,    // line feed, carriage return
  Comment,    // '%': the rest of the line is skipped
  Quote,      // '"': a string literal
  Transpose,  // '\''
  Operator,   // # & * + : < > ^ ~: each a token of its own
  Bar,        // '|': "|" or, after "|", "||"
  Equals,     // '=': may join the preceding ~ = < >
  Minus,      // '-': may be an exponent sign inside a number
  Dot,        // '.': decimal point, .* ./ .^, "...", or a statement end
  Slash,      // '/'
  Comma,      // ','
  Semicolon,  // ';'
  LParen,     // '('
  RParen,     // ')'
  LBracket,   // '['
  RBracket,   // ']'
  End,        // 255: the end mark of every character source
};

// The byte that every character source reports at its end.
inline constexpr int kEndMark = 255;

namespace detail {
constexpr std::array<CharClass, 256> make_char_classes() {
  std::array<CharClass, 256> t{};
  for (auto& c : t) c = CharClass::Word;
  t['\t'] = t[' '] = CharClass::Blank;
  t['\n'] = t['\r'] = CharClass::LineEnd;
  t['%'] = CharClass::Comment;
  t['"'] = CharClass::Quote;
  t['\''] = CharClass::Transpose;
  for (unsigned char c : {'#', '&', '*', '+', ':', '<', '>', '^', '~'}) t[c] = CharClass::Operator;
  t['|'] = CharClass::Bar;
  t['='] = CharClass::Equals;
  t['-'] = CharClass::Minus;
  t['.'] = CharClass::Dot;
  t['/'] = CharClass::Slash;
  t[','] = CharClass::Comma;
  t[';'] = CharClass::Semicolon;
  t['('] = CharClass::LParen;
  t[')'] = CharClass::RParen;
  t['['] = CharClass::LBracket;
  t[']'] = CharClass::RBracket;
  t[kEndMark] = CharClass::End;
  return t;
}
}  // namespace detail

inline constexpr std::array<CharClass, 256> kCharClass = detail::make_char_classes();

inline CharClass char_class(unsigned char c) { return kCharClass[c]; }
inline bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
// Letters: ASCII letters and the local letters of the 8-bit code page
// (bytes 128..254), which names may hold.
inline bool is_letter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= 128 && c < 255);
}

}  // namespace vop
