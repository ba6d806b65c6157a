// Reading and writing an output window's document. A path whose last
// three characters are "rtf" (in any case) is Rich Text, any other plain
// text.
// Files are written through the safe save, so a failed save keeps the
// file that was there.
#pragma once

#include <QString>

class QTextDocument;

namespace vop::shell {

bool is_rtf_path(const QString& path);

// False with `error` set when the file cannot be written or read; a failed
// load leaves the document as it was.
bool save_output(const QTextDocument& doc, const QString& path, QString* error);
bool load_output(QTextDocument& doc, const QString& path, QString* error);

// Plain text files hold UTF-8; bytes of older files that are no UTF-8 are
// read as windows-1252 characters, so nothing is lost.
bool write_text_file(const QString& path, const QString& text, QString* error);
bool read_text_file(const QString& path, QString* text, QString* error);

}  // namespace vop::shell
