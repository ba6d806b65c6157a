// What the output stream writes into: the targets of OutputStream.
//
// The window target is an interface so that the desktop program can put a
// rich-text control behind it while the headless runner writes plain text to
// a terminal and the tests record every request.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vop {

struct Rgb {
  int r = 0, g = 0, b = 0;
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
  int space_before = 0;
  int space_after = 0;
  bool operator==(const ParaFormat&) const = default;
};

// The rich-text control of the designated output window. Positions count
// characters from the start of the control's text.
class WindowTarget {
 public:
  virtual ~WindowTarget() = default;
  virtual long text_length() = 0;                     // end of the text
  virtual void append_plain(std::string_view text) = 0;  // at the end, no markup
  virtual void set_default_format(const CharFormat& f) = 0;  // whole control
  // Format characters [start, end); para may be null.
  virtual void format_range(long start, long end, const CharFormat& f,
                            const ParaFormat* para) = 0;
  virtual void set_caret(long pos) = 0;  // collapse the selection at pos
};

// The designated syntax window: text goes in at the caret.
class SyntaxTarget {
 public:
  virtual ~SyntaxTarget() = default;
  virtual void insert_at_caret(std::string_view text) = 0;
};

// A Word document that receives text through automation (the Office export
// fills this in). Returns false from write_heading when the document
// refused it.
class WordTarget {
 public:
  virtual ~WordTarget() = default;
  virtual void write_text(std::string_view text) = 0;
  virtual bool write_heading(std::string_view text, int level) = 0;
};

// A terminal: the window target of the headless runner. Keeps only text.
class ConsoleWindow : public WindowTarget {
 public:
  explicit ConsoleWindow(std::FILE* stream) : stream_(stream) {}
  long text_length() override { return length_; }
  void append_plain(std::string_view text) override;
  void set_default_format(const CharFormat&) override {}
  void format_range(long, long, const CharFormat&, const ParaFormat*) override {}
  void set_caret(long) override {}

 private:
  std::FILE* stream_;  // not owned
  long length_ = 0;    // characters written so far
};

// Records the text and every format request, for tests.
class RecordingWindow : public WindowTarget {
 public:
  struct Format {
    long start = -1, end = -1;  // -1, -1: the default format of the control
    CharFormat chars;
    std::optional<ParaFormat> para;
  };
  long text_length() override { return long(text.size()); }
  void append_plain(std::string_view t) override { text += t; }
  void set_default_format(const CharFormat& f) override { formats.push_back({-1, -1, f, {}}); }
  void format_range(long s, long e, const CharFormat& f, const ParaFormat* p) override {
    formats.push_back({s, e, f, p ? std::optional<ParaFormat>(*p) : std::nullopt});
  }
  void set_caret(long pos) override { caret = pos; }

  std::string text;             // the control's text
  std::vector<Format> formats;  // every request, in order
  long caret = 0;
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
