// The output window's files: Rich Text (RTF) and plain text.
//
// The RTF writer puts down what the output window shows: fonts, sizes,
// bold, italic, underline, text colour, paragraph alignment, indents,
// spacing and tab stops. The reader takes back what the writer writes, and
// the common run of RTF that word processors write (it skips what it does
// not know: pictures, style sheets, {\*...} destinations).
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// The document as an RTF file. Lengths go to twips at 96 pixels per inch
// (the same rate the reader uses back), characters beyond ASCII as \uN?.
QByteArray document_to_rtf(const QTextDocument& document);

// Replace the document's content with the RTF in `rtf`. False, leaving the
// document as it was, when `rtf` is not RTF (it must begin with "{\rtf").
bool rtf_to_document(const QByteArray& rtf, QTextDocument& document);

// Save the document to `path`: RTF when the path's last three characters
// are "rtf" in any case, otherwise the plain text in UTF-8. A failed save
// keeps the old file; `error` (may be null) then says why.
bool save_output(const QTextDocument& document, const QString& path, QString* error);

// Load `path` into the document: as RTF when its extension is "rtf" in any
// case, otherwise as plain text (UTF-8, or Windows-1252 when the bytes are
// not UTF-8). On failure the document is unchanged and `error` (may be
// null) says why.
bool load_output(QTextDocument& document, const QString& path, QString* error);
