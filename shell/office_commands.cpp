#include "shell/office_commands.h"

#include "shell/frame.h"
#include "shell/vop_app.h"

namespace vop::shell {

const char* const kOfficeLater = "Office export comes in a later version of Vop.";

namespace {
void later(Frame& frame) { frame.app().message(&frame, QString::fromUtf8(kOfficeLater)); }
}  // namespace

void tables_in_excel(Frame& frame) { later(frame); }
void word_without_charts(Frame& frame) { later(frame); }
void word_with_charts(Frame& frame) { later(frame); }
void excel_syntax_generator(Frame& frame) { later(frame); }

}  // namespace vop::shell
