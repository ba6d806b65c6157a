#include "output/write_table.h"

#include <algorithm>
#include <string>

#include "output/html_table.h"
#include "output/output_stream.h"
#include "output/rtf_table.h"

namespace vop {

namespace {

// The label parts the check used: the first absent part ends the list, and
// headings without rows count as absent.
struct ShownLabels {
  const Matrix* rows = nullptr;  // row headings, or nullptr
  const Matrix* cols = nullptr;  // column headings, or nullptr
};
ShownLabels shown_labels(const TableParts& p) {
  ShownLabels l;
  if (!p.row_labels) return l;
  if (p.row_labels->rows() > 0) l.rows = p.row_labels;
  if (p.col_labels && p.col_labels->rows() > 0) l.cols = p.col_labels;
  return l;
}

// The window shows only the data with its labels, as text.
void show_in_window(const TableParts& parts, OutputSink& out, const WindowTableDisplay& d) {
  const ShownLabels labels = shown_labels(parts);
  if (!labels.rows && !labels.cols) {
    if (d.plain) d.plain(*parts.data, false, out);
  } else if (d.tabbed) {
    d.tabbed(*parts.data, labels.rows, labels.cols, out);
  }
}

}  // namespace

void WriteTable(OutputSink& out, const TableParts& parts, ErrorState& err,
                const WindowTableDisplay& window) {
  std::optional<DocTable> t = CheckTable(parts, err);
  if (!t) return;
  auto* stream = dynamic_cast<OutputStream*>(&out);
  if (!stream) {
    show_in_window(parts, out, window);
    return;
  }
  RedirectFile* file = stream->redirect();
  if (!file) {
    if (!stream->word() && !stream->consumer()) return;
    StringSink text;
    show_in_window(parts, text, window);
    stream->WriteTableBlock(TableBlock{std::move(*t), std::move(text.text)});
    return;
  }
  DocumentState& doc = stream->documents();
  // The RTF writer names its border colours even for an empty table.
  std::string fragment = file->html() ? std::string() : RtfTableFragment(*t, doc.rtf_colours);
  if (t->rows() == 0) {
    out.WriteLine("[]");
    return;
  }
  if (file->html()) {
    fragment = HtmlTableFragment(*t, doc.excel);
    doc.excel.widest = std::max(doc.excel.widest, t->grid_cols());
  }
  file->write(fragment);
  if (OutputConsumer* document = stream->word()) {
    StringSink text;
    show_in_window(parts, text, window);
    document->consume(TableBlock{std::move(*t), std::move(text.text)});
  }
  stream->count_table();
}

}  // namespace vop
