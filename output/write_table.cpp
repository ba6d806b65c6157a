#include "output/write_table.h"

#include <algorithm>
#include <string>

#include "output/html_table.h"
#include "output/output_stream.h"
#include "output/rtf_table.h"

namespace vop {

namespace {

void show_in_window(const Table& t, OutputSink& out, const WindowTableDisplay& d) {
  if (!t.row_labels() && !t.col_labels()) {
    if (d.plain) d.plain(t.data(), false, out);
  } else if (d.tabbed) {
    d.tabbed(t.data(), t.row_labels(), t.col_labels(), out);
  }
}

}  // namespace

void WriteTable(OutputSink& out, const TableParts& parts, ErrorState& err,
                const WindowTableDisplay& window) {
  const std::optional<Table> t = CheckTable(parts, err);
  if (!t) return;
  auto* stream = dynamic_cast<OutputStream*>(&out);
  RedirectFile* file = stream ? stream->redirect() : nullptr;
  if (!file) {
    show_in_window(*t, out, window);
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
  doc.counts.add_table();
}

}  // namespace vop
