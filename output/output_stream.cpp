#include "output/output_stream.h"

#include <algorithm>
#include <string>

namespace vop {

namespace {

constexpr std::string_view kNotWeighted = "Data is not weighted.";
constexpr std::string_view kNotWeightedLine = "Data is not weighted.\n";
constexpr Rgb kDarkRed{193, 0, 0};
constexpr size_t kErrorCaptionLength = 8;  // "ERROR : "

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

CharFormat OutputStream::char_format(TextFormat f) {
  if (const int level = heading_level(f)) return heading_format(level);
  if (f == TextFormat::ErrorCaption) return error_caption_format();
  if (f == TextFormat::NotWeightedNote) return note_format();
  return default_format();
}

std::optional<ParaFormat> OutputStream::paragraph_format(TextFormat f) {
  if (const int level = heading_level(f)) return heading_paragraph(level);
  return std::nullopt;
}

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
  announce_counts();
  return true;
}

void OutputStream::attach_word(OutputConsumer* w) {
  word_ = w;
  if (!w) return;
  documents_.counts.tables = 0;
  documents_.counts.charts = 0;
  announce_counts();
}

void OutputStream::count_table() {
  if (documents_.counts.add_table()) announce_counts();
}

void OutputStream::count_chart() {
  if (documents_.counts.add_chart()) announce_counts();
}

void OutputStream::finish_counts() {
  documents_.counts.finish();
  announce_counts();
}

void OutputStream::announce_counts() {
  if (consumer_) consumer_->consume(CountsUpdate{documents_.counts.tables, documents_.counts.charts});
}

void OutputStream::emit(TextFormat format, std::string_view text) {
  OutputConsumer* target = blocks_target();
  if (target && !text.empty()) target->text(format, text);
}

// --- Operations ---------------------------------------------------------------

void OutputStream::WriteText(std::string_view text) {
  if (!redirect_) {
    emit(TextFormat::Plain, text);
    return;
  }
  redirect_->write(redirect_->html() ? std::string(text) : rtf_text_fragment(text));
  if (word_) emit(TextFormat::Plain, text);
}

void OutputStream::WriteLine(std::string_view line) {
  line_.assign(line);
  line_ += '\n';
  WriteText(line_);
}

void OutputStream::WriteErrorLine(std::string_view line) {
  if (redirect_) {
    WriteLine(line);
    return;
  }
  line_.assign(line);
  line_ += '\n';
  const std::string_view all = line_;
  const size_t caption = std::min(all.size(), kErrorCaptionLength);
  emit(TextFormat::ErrorCaption, all.substr(0, caption));
  emit(TextFormat::Plain, all.substr(caption));
}

void OutputStream::WriteHeading(std::string_view text, int level) {
  if (redirect_) {
    redirect_->write(redirect_->html() ? html_heading_fragment(text, level)
                                       : rtf_heading_fragment(text, level));
    if (!word_) return;
  }
  emit(heading_text_format(level), text);
  emit(TextFormat::Plain, "\n");
}

void OutputStream::WriteNotWeightedNote() {
  if (redirect_) {
    WriteText(std::string(kNotWeighted) + "\n\n");
    return;
  }
  // The note's format covers its line end; the blank line after it is plain.
  emit(TextFormat::NotWeightedNote, kNotWeightedLine);
  emit(TextFormat::Plain, "\n");
}

void OutputStream::WriteTableBlock(TableBlock&& block) {
  if (redirect_) return;
  if (word_) {
    if (block.table.rows() == 0) {
      WriteLine("[]");
      return;
    }
    word_->consume(std::move(block));
    count_table();
  } else if (consumer_) {
    consumer_->consume(std::move(block));
  }
}

void OutputStream::WriteChart(ChartRequest chart) {
  count_chart();
  chart.number = documents_.counts.charts;
  if (OutputConsumer* target = blocks_target()) target->consume(ChartBlock{std::move(chart)});
}

void OutputStream::PasteToSyntax(std::string_view text) {
  if (!syntax_ && make_syntax_) syntax_ = make_syntax_();
  if (syntax_) syntax_->insert_at_caret(text);
  else syntax_buffer_.insert_at_caret(text);
}

}  // namespace vop
