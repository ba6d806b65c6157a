#include "output/excel_html.h"

#include <cstdio>

#include "output/excel_styles.h"
#include "output/excel_templates.h"
#include "output/rtf_document.h"
#include "document/text_encoding.h"

namespace vop {

namespace {

bool put(std::FILE* f, std::string_view s) { return std::fwrite(s.data(), 1, s.size(), f) == s.size(); }

std::string palette_colours(const ExcelStyles& styles) {
  std::string s = "</o:xp></o:CustomDocumentProperties><o:OfficeDocumentSettings><o:Colors>";
  char buf[128];
  for (int i = 0; i < styles.palette.size(); ++i) {
    const Colour c = styles.palette.at(i);
    std::snprintf(buf, sizeof buf, "<o:Color><o:Index>%d</o:Index><o:RGB>#%02X%02X%02X</o:RGB></o:Color>\n",
                  i, colour_red(c), colour_green(c), colour_blue(c));
    s += buf;
  }
  return s;
}

}  // namespace

std::string excel_class_block(int class_number, const ExcelStyles& styles) {
  const CellClass k = CellClass::from_number(class_number);
  const Colour bg = styles.palette.at(k.background);
  const Colour fg = styles.palette.at(k.text);
  std::string s;
  char buf[160];
  std::snprintf(buf, sizeof buf, ".x%d\n\t{mso-style-parent:style0;\n", class_number);
  s += buf;
  const struct {
    const char* side;  // CSS property name
    int code;          // border code of that side
  } sides[] = {{"top", k.top}, {"bottom", k.bottom}, {"left", k.left}, {"right", k.right}};
  for (const auto& side : sides) {
    s += "\tborder-";
    s += side.side;
    s += ':';
    s += excel_border_css(side.code);
    s += ";\n";
  }
  std::snprintf(buf, sizeof buf, "\tbackground:#%02X%02X%02X;\n\tcolor:#%02X%02X%02X;\n",
                colour_red(bg), colour_green(bg), colour_blue(bg), colour_red(fg), colour_green(fg),
                colour_blue(fg));
  s += buf;
  s += "\ttext-align:center;\n\tmso-pattern:auto none;}\n";
  return s;
}

bool WriteExcelHtmlDocument(std::FILE* target, RedirectFile& body, const ExcelStyles& styles,
                            std::string_view installation_id) {
  bool ok = put(target, excel_template_head());
  ok = put(target, clean_utf8(installation_id)) && ok;
  ok = put(target, palette_colours(styles)) && ok;
  ok = put(target, excel_template_styles()) && ok;
  for (int n = 0; n < kClassCount; ++n)
    if (styles.classes.used(n)) ok = put(target, excel_class_block(n, styles)) && ok;
  ok = put(target, excel_template_sheet()) && ok;
  ok = copy_body(target, body, append_utf8) && ok;
  return std::fflush(target) == 0 && ok;
}

}  // namespace vop
