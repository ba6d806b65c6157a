#include "output/save_document.h"

#include <cstdio>

#include "core/save_file.h"
#include "output/excel_html.h"
#include "output/output_stream.h"
#include "output/rtf_document.h"
#include "output/run_counts.h"

namespace vop {

bool WriteRedirectDocument(OutputStream& out, const std::string& path) {
  RedirectFile* body = out.redirect();
  if (!body) return false;
  DocumentState& doc = out.documents();
  return save_file(path, [&](std::FILE* f) {
    return body->html() ? WriteExcelHtmlDocument(f, *body, doc.excel, installation_id())
                        : WriteRtfDocument(f, *body, doc.rtf_colours, installation_id());
  });
}

bool SaveRedirectDocument(OutputStream& out, const std::string& path) {
  const bool ok = WriteRedirectDocument(out, path);
  out.close_redirect();
  out.finish_counts();
  return ok;
}

}  // namespace vop
