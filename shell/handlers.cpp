#include "shell/handlers.h"

#include <QAction>
#include <QMessageBox>
#include <QMetaObject>

#include <algorithm>
#include <span>

#include "shell/companions.h"
#include "shell/file_commands.h"
#include "shell/frame.h"
#include "shell/office_commands.h"
#include "shell/syntax_frame.h"
#include "shell/vop_app.h"

namespace vop::shell {

namespace {

struct Entry {
  int id;             // command identifier
  Handler handler;    // what the command does in this kind of window
};

// Edit commands go to the text control's own slot of that name.
template <const char* Slot>
void edit(Frame& f) {
  QMetaObject::invokeMethod(f.text_widget(), Slot);
}
constexpr char kUndoSlot[] = "undo";
constexpr char kCutSlot[] = "cut";
constexpr char kCopySlot[] = "copy";
constexpr char kPasteSlot[] = "paste";

void new_output(Frame& f) { f.app().new_output(); }
void new_syntax(Frame& f) { f.app().new_syntax(); }
void close_window(Frame& f) { f.close(); }
void exit_app(Frame& f) { f.app().exit(); }
void designate(Frame& f) { f.app().designate(f); }
void about(Frame& f) { QMessageBox::about(&f, QStringLiteral("About Vop"), QStringLiteral("Vop Version 3.0")); }
void toggle_toolbar(Frame& f) { f.toggle_toolbar(); }
void toggle_status_bar(Frame& f) { f.toggle_status_bar(); }
void next_pane(Frame& f) { f.next_pane(true); }
void previous_pane(Frame& f) { f.next_pane(false); }
void save_dataset_command(Frame& f) { save_dataset(f); }
void run(Frame& f) { f.app().run_from(static_cast<SyntaxFrame&>(f)); }
void stop(Frame& f) { f.app().stop(); }
void tesvin(Frame& f) { start_companion(f, kTesvinName); }
void pyramid(Frame& f) { start_companion(f, kPyramidName); }
template <int Language>
void language(Frame& f) { f.app().set_language(Language); }

// What both kinds share; each kind's table adds its own.
constexpr Entry kCommon[] = {
    {kNewOutput, new_output},
    {kNewSyntax, new_syntax},
    {kOpenData, open_data_command},
    {kOpenOutput, open_output_command},
    {kOpenSyntax, open_syntax_command},
    {kClose, close_window},
    {kSaveDataset, save_dataset_command},
    {kSaveDatasetAs, save_dataset_as_command},
    {kSave, save_command},
    {kSaveAs, save_as_command},
    {kExit, exit_app},
    {kUndo, edit<kUndoSlot>},
    {kCut, edit<kCutSlot>},
    {kCopy, edit<kCopySlot>},
    {kPaste, edit<kPasteSlot>},  // the syntax control pastes plain text only
    {kToggleToolbar, toggle_toolbar},
    {kToggleStatusBar, toggle_status_bar},
    {kAbout, about},
    {kDesignate, designate},
    {kTablesInExcel, tables_in_excel},
    {kWordWithoutCharts, word_without_charts},
    {kWordWithCharts, word_with_charts},
    {kLanguageEn, language<1>},
    {kLanguageSr, language<2>},
    {kLanguageMk, language<3>},
    {kNextPane, next_pane},
    {kPreviousPane, previous_pane},
};

constexpr Entry kOutputOnly[] = {
    {kTesvin, tesvin},
    {kPyramid, pyramid},
};

constexpr Entry kSyntaxOnly[] = {
    {kRun, run},
    {kStop, stop},
    {kExcelSyntaxGenerator, excel_syntax_generator},
};

Handler find_in(std::span<const Entry> table, int id) {
  auto it = std::find_if(table.begin(), table.end(), [id](const Entry& e) { return e.id == id; });
  return it == table.end() ? nullptr : it->handler;
}

}  // namespace

Handler find_handler(FrameKind kind, int id) {
  if (Handler h = find_in(kCommon, id)) return h;
  return find_in(kind == FrameKind::Output ? std::span<const Entry>(kOutputOnly)
                                           : std::span<const Entry>(kSyntaxOnly),
                 id);
}

}  // namespace vop::shell
