// What the output stream writes into besides its consumers of blocks
// (document/output_event.h): the syntax window, the redirect file, and the
// character and paragraph formats that the output window gives each kind of
// text run.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vop {

struct Rgb {
  int r = 0, g = 0, b = 0;  // 0..255 each
  bool operator==(const Rgb&) const = default;
};

// A character format request (sizes in twips, weights as font weights).
struct CharFormat {
  std::string font;            // face name
  int size_twips = 0;          // 160 = 8 pt
  int weight = 0;              // 100 .. 800
  std::optional<Rgb> colour;   // none: leave the colour unchanged
  bool clear_effects = false;  // drop bold/italic/underline effects first
  bool operator==(const CharFormat&) const = default;
};

// A paragraph format request for headings (twips).
struct ParaFormat {
  int indent_delta = 0;  // start indent moved by this much
  int space_before = 0;  // above the paragraph
  int space_after = 0;   // below the paragraph
  bool operator==(const ParaFormat&) const = default;
};

// The designated syntax window: text goes in at the caret.
class SyntaxTarget {
 public:
  virtual ~SyntaxTarget() = default;
  virtual void insert_at_caret(std::string_view text) = 0;
};

// Syntax pasted while no syntax window exists, headless: kept in memory so
// that the runner can print or save it.
class SyntaxBuffer : public SyntaxTarget {
 public:
  void insert_at_caret(std::string_view t) override { text += t; }
  std::string text;
};

// A temporary file that receives one run's output as RTF or HTML fragments.
// Created in the system's temporary folder with the prefix "vop"; removed
// when the object goes.
class RedirectFile {
 public:
  // nullptr when no temporary file can be made.
  static std::unique_ptr<RedirectFile> create(bool html);
  ~RedirectFile();
  RedirectFile(const RedirectFile&) = delete;
  RedirectFile& operator=(const RedirectFile&) = delete;

  bool html() const { return html_; }
  const std::string& path() const { return path_; }
  std::FILE* stream() { return stream_; }
  void write(std::string_view bytes);
  // Everything written so far (the stream stays open for more).
  std::string contents();

 private:
  RedirectFile(std::FILE* f, std::string path, bool html)
      : stream_(f), path_(std::move(path)), html_(html) {}
  std::FILE* stream_;  // opened "w+"; owned
  std::string path_;   // the temporary file; removed on destruction
  bool html_;          // HTML fragments, else RTF
};

}  // namespace vop
