#include "output/save_document.h"

#include <cstdio>
#include <memory>

#include "core/save_file.h"
#include "output/excel_html.h"
#include "output/output_stream.h"
#include "output/rtf_document.h"
#include "output/run_counts.h"

namespace vop {

bool SaveRedirectDocument(OutputStream& out, const std::string& path) {
  std::unique_ptr<RedirectFile> body = out.close_redirect();
  DocumentState& doc = out.documents();
  out.finish_counts();
  if (!body) return false;

  return save_file(path, [&](std::FILE* f) {
    return body->html() ? WriteExcelHtmlDocument(f, *body, doc.excel, installation_id())
                        : WriteRtfDocument(f, *body, doc.rtf_colours, installation_id());
  });
}

}  // namespace vop
