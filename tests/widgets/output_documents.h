// Documents like the output window's, and a description of a document's
// formatting to compare two documents by.
#pragma once

#include <QTextDocument>

#include <string>

// Results as the output window holds them: a centred bold heading, a row
// with tab stops, an error caption in red, italic and underlined text,
// characters from beyond Latin-1 and beyond the BMP, and the empty line
// after the last line end.
void fill_sample_output(QTextDocument& document);

// Every block's paragraph format and its runs of equal character format,
// with what they inherit from the document's default font filled in; one
// line per block.
std::string describe(const QTextDocument& document);
