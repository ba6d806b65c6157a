// The save step after a redirected run: the run's file of fragments becomes
// an RTF document or an Excel-HTML workbook.
#pragma once

#include <string>

namespace vop {

class OutputStream;

// Writes the document for the stream's redirect (RTF or Excel-HTML by its
// kind) to `path` through save_file: an existing file is replaced only when
// the whole document was written, and keeps its mode. The redirect is
// closed and the counts end either way. False when there was no redirect or
// the document could not be written.
bool SaveRedirectDocument(OutputStream& out, const std::string& path);

// The same document written to `path` with the redirect left open, so that
// a failed save can be tried again at another path. False when there is no
// redirect or the document could not be written.
bool WriteRedirectDocument(OutputStream& out, const std::string& path);

}  // namespace vop
