#include "output/output_stream.h"

#include <string>

namespace vop {

namespace {

constexpr std::string_view kNotWeighted = "Data is not weighted.";
constexpr Rgb kDarkRed{193, 0, 0};
constexpr int kErrorCaptionLength = 8;  // "ERROR : "

}  // namespace

// --- Fragments ------------------------------------------------------------

std::string rtf_text_fragment(std::string_view text) {
  std::string s = "{\\s0\\ql\\f0\\fs16 ";
  s += text;
  s += "\\par}\n";
  return s;
}

std::string rtf_heading_fragment(std::string_view text, int level) {
  std::string s;
  switch (level) {
    case 1: s = "{\\s1\\qc\\keepn\\b\\f0\\fs36\\scaps "; break;
    case 2: s = "{\\s2\\ql\\keepn\\b\\f0\\fs30 "; break;
    case 3: s = "{\\s3\\qc\\sa180\\keepn\\pagebb\\b\\scaps\\f0\\fs26 "; break;
    case 4: s = "{\\s4\\qc\\sa180\\keepn\\pagebb\\b\\scaps\\f0\\fs26 "; break;
    default: s = "{\\s5\\qc\\f0\\fs20 "; break;
  }
  s += text;
  s += "\\par}\n";
  return s;
}

std::string html_heading_fragment(std::string_view text, int level) {
  std::string s;
  if (level >= 1 && level <= 4) s = "<TABLE><TR><TD class=h" + std::to_string(level) + ">";
  else if (level == 5) s = "<TABLE><TR><TD class=baza>";
  else s = "<TABLE><TR><TD>";
  s += text;
  s += "</TD></TR></TABLE>\n";
  return s;
}

// --- Formats of the window ------------------------------------------------

CharFormat OutputStream::default_format() { return {"Courier New", 160, 100, {}, false}; }

CharFormat OutputStream::heading_format(int level) {
  if (level < 1 || level > 5) level = 5;
  return {"Arial", 460 - 60 * level, level == 5 ? 300 : 800, {}, false};
}

ParaFormat OutputStream::heading_paragraph(int level) {
  switch (level) {
    case 1: return {100, 480, 240};
    case 2: return {100, 360, 120};
    case 3:
    case 4: return {100, 120, 40};
    default: return {100, 40, 60};
  }
}

CharFormat OutputStream::note_format() { return {"Courier New", 160, 800, kDarkRed, true}; }
CharFormat OutputStream::error_caption_format() { return {"Arial", 280, 800, kDarkRed, true}; }

// --- Targets ----------------------------------------------------------------

bool OutputStream::open_redirect(bool html) {
  redirect_ = RedirectFile::create(html);
  return redirect_ != nullptr;
}

bool OutputStream::arm_redirect(bool html) {
  if (!open_redirect(html)) return false;
  if (html) documents_.excel.reset();
  else documents_.rtf_colours.reset();
  documents_.counts.tables = 0;
  return true;
}

void OutputStream::window_append(std::string_view text) {
  if (!window_) return;
  if (window_->text_length() == 0) window_->set_default_format(default_format());
  window_->append_plain(text);
}

// --- Operations ---------------------------------------------------------------

void OutputStream::WriteText(std::string_view text) {
  if (redirect_) {
    redirect_->write(redirect_->html() ? std::string(text) : rtf_text_fragment(text));
  } else if (word_) {
    word_->write_text(text);
  } else {
    window_append(text);
  }
}

void OutputStream::WriteLine(std::string_view line) {
  std::string buf(line);
  buf += '\n';
  WriteText(buf);
}

void OutputStream::WriteErrorLine(std::string_view line) {
  if (redirect_ || word_ || !window_) {
    WriteLine(line);
    return;
  }
  const long start = window_->text_length();
  WriteLine(line);
  window_->format_range(start, start + kErrorCaptionLength, error_caption_format(), nullptr);
  window_->set_caret(start);
}

void OutputStream::WriteHeading(std::string_view text, int level) {
  if (redirect_) {
    redirect_->write(redirect_->html() ? html_heading_fragment(text, level)
                                       : rtf_heading_fragment(text, level));
    return;
  }
  if (word_) {
    if (!word_->write_heading(text, level) && report_problem_)
      report_problem_("Vop is faceing problems, please restart program.");
    return;
  }
  if (!window_) return;
  const long start = window_->text_length();
  window_append(text);
  window_append("\n");
  const ParaFormat para = heading_paragraph(level);
  window_->format_range(start, window_->text_length() - 1, heading_format(level), &para);
  window_->set_caret(start);
}

void OutputStream::WriteNotWeightedNote() {
  if (redirect_) {
    WriteText(std::string(kNotWeighted) + "\n\n");
    return;
  }
  if (word_) {
    word_->write_text(kNotWeighted);
    return;
  }
  if (!window_) return;
  const long start = window_->text_length();
  window_append(std::string(kNotWeighted) + "\n\n");
  window_->format_range(start, start + long(kNotWeighted.size()) + 1, note_format(), nullptr);
  window_->set_caret(start + 26);
}

void OutputStream::PasteToSyntax(std::string_view text) {
  if (!syntax_ && make_syntax_) syntax_ = make_syntax_();
  if (syntax_) syntax_->insert_at_caret(text);
  else syntax_buffer_.insert_at_caret(text);
}

}  // namespace vop
