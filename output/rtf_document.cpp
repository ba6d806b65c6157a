#include "output/rtf_document.h"

#include <algorithm>
#include <cstdio>

#include "output/targets.h"
#include "document/text_encoding.h"

namespace vop {

namespace {

// The body is copied in small blocks; the size only bounds the buffer.
constexpr size_t kCopyBlock = 290;

constexpr std::string_view kHead =
    "{\\rtf1\\ansi\\ansicpg1252\n\n"
    "{\\fonttbl\n"
    "{\\f0\\fswiss\\fcharset238\\fprq2 Arial CE;}\n"
    "{\\f1\\fswiss\\fcharset0\\fprq2 BankGothic Md BT;}}\n\n";

// Style numbers 0..5 match the text and heading fragments of the output
// stream.
constexpr std::string_view kStyles =
    "{\\stylesheet\n"
    "{\\s0\\ql\\f0\\fs16 Normal;}\n"
    "{\\s1\\qc\\keepn\\b\\f0\\fs36\\scaps heading 1;}\n"
    "{\\s2\\ql\\keepn\\b\\f0\\fs30 heading 2;}\n"
    "{\\s3\\qc\\sa180\\keepn\\pagebb\\b\\scaps\\f0\\fs26 heading 3;}\n"
    "{\\s4\\qc\\sa180\\keepn\\pagebb\\b\\scaps\\f0\\fs26 heading 4;}\n"
    "{\\s5\\qc\\f0\\fs20\\ Baza;}\n"
    "}\n\n"
    "{\\info {\\*\\company VOP}}\n";

// A4 landscape (16840 x 11907 twips) with 680-twip margins.
constexpr std::string_view kPage =
    "\\paperw16840\\paperh11907\\margl680\\margr680\\margt680\\margb680\n\n";

constexpr std::string_view kTail = "\n}";

bool put(std::FILE* f, std::string_view s) { return std::fwrite(s.data(), 1, s.size(), f) == s.size(); }

}  // namespace

int RtfColourTable::lookup(Colour c) {
  auto it = std::find(colours_.begin(), colours_.end(), c);
  if (it == colours_.end()) {
    colours_.push_back(c);
    return int(colours_.size());
  }
  return int(it - colours_.begin()) + 1;
}

std::string RtfColourTable::take_group() {
  std::string s = "{\\colortbl;\n";
  char buf[64];
  for (Colour c : colours_) {
    std::snprintf(buf, sizeof buf, "\\red%d\\green%d\\blue%d;\n", colour_red(c), colour_green(c),
                  colour_blue(c));
    s += buf;
  }
  s += "}\n\n";
  colours_.clear();
  return s;
}

bool copy_body(std::FILE* target, RedirectFile& body, void (*append)(std::string&, char32_t)) {
  std::FILE* in = body.stream();
  bool ok = std::fflush(in) == 0 && std::fseek(in, 0, SEEK_SET) == 0;
  char block[kCopyBlock];
  std::string bytes;  // the block after what the last one left of a cut character
  std::string out;
  while (ok) {
    const size_t got = std::fread(block, 1, sizeof block, in);
    const bool at_end = got == 0;
    bytes.append(block, got);
    std::string_view rest = bytes;
    out.clear();
    while (!rest.empty()) {
      const DecodedCharacter d = decode_utf8(rest, at_end);
      if (d.length == 0) break;  // a character the next block finishes
      append(out, d.c);
      rest.remove_prefix(d.length);
    }
    bytes = std::string(rest);
    ok = std::fwrite(out.data(), 1, out.size(), target) == out.size();
    if (at_end) break;
  }
  ok = ok && !std::ferror(in);
  // Leave the file positioned for more output, as the run left it.
  std::fseek(in, 0, SEEK_END);
  return ok;
}

bool WriteRtfDocument(std::FILE* target, RedirectFile& body, RtfColourTable& colours,
                      std::string_view installation_id) {
  std::string head(kHead);
  head += colours.take_group();
  head += kStyles;
  head += "{\\*\\userprops{\\propname xp}\\proptype30{\\staticval ";
  head += rtf_text(installation_id);
  head += "}}";
  head += kPage;
  bool ok = put(target, head);
  ok = copy_body(target, body, append_rtf_character) && ok;
  ok = put(target, kTail) && ok;
  return std::fflush(target) == 0 && ok;
}

}  // namespace vop
