// The RTF colour table that table fragments index, and the document head
// and tail that turn a run's file of RTF fragments into one document.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "document/colour.h"

namespace vop {

class RedirectFile;

// Colours in first-use order; a colour's RTF number is its 1-based
// position. A new table holds white as colour 1, as a Word redirect needs.
class RtfColourTable {
 public:
  RtfColourTable() { reset(); }
  // Back to white alone (a Word redirect being armed).
  void reset() { colours_.assign(1, kWhite); }
  // The RTF number of c, appending it when it is new.
  int lookup(Colour c);
  const std::vector<Colour>& colours() const { return colours_; }
  // The "{\colortbl;...}" group; the table is empty afterwards.
  std::string take_group();

 private:
  std::vector<Colour> colours_;  // RTF number i is colours_[i - 1]; no size limit
};

// Writes the document: head (fonts, the colour table, which is emptied,
// styles, info, the installation identifier, an A4 landscape page), the
// body file from its beginning with every character that is not ASCII as
// RTF's Unicode control word, and the closing brace. False when the
// target could not be written in full. The caller closes both files.
bool WriteRtfDocument(std::FILE* target, RedirectFile& body, RtfColourTable& colours,
                      std::string_view installation_id);

// Copies the body file from its beginning to target in blocks, each
// character of its UTF-8 text written by `append` (bytes that are no UTF-8
// read as windows-1252; see text_encoding.h); false on a write error.
// Shared by the RTF and the Excel-HTML documents.
bool copy_body(std::FILE* target, RedirectFile& body, void (*append)(std::string&, char32_t));

}  // namespace vop
