#include "output/save_document.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

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

  // Written beside the target and renamed over it, so a failed save leaves
  // the old file as it was.
  std::string temp = path + ".vopXXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  std::FILE* f = ::fdopen(fd, "w");
  if (!f) {
    ::close(fd);
    ::unlink(temp.c_str());
    return false;
  }
  bool ok = body->html()
                ? WriteExcelHtmlDocument(f, *body, doc.excel, installation_id())
                : WriteRtfDocument(f, *body, doc.rtf_colours, installation_id());
  ok = std::fclose(f) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace vop
