#include "shell/commands.h"

#include <algorithm>
#include <array>

namespace vop::shell {

namespace {

using K = QKeySequence;
using SP = QStyle::StandardPixmap;

const std::vector<Command>& table() {
  static const std::vector<Command> t = {
      {kNewData, "&Data", nullptr, "New SPSS Data file", {}, "document-new", SP::SP_FileIcon, kBothKinds},
      {kNewOutput, "&Output", nullptr, "New output window\nNew output", {}, "window-new",
       SP::SP_FileDialogNewFolder, kBothKinds},
      {kNewSyntax, "&Syntax", nullptr, "New syntax window\nNew syntax", {}, "document-new",
       SP::SP_FileIcon, kBothKinds},
      {kOpenData, "&Data", nullptr, "Open SPSS Data file\nOpen SPSS", {}, "document-open",
       SP::SP_DialogOpenButton, kBothKinds},
      {kOpenOutput, "&Output", nullptr, nullptr, {}, nullptr, SP::SP_DialogOpenButton, kBothKinds},
      {kOpenSyntax, "&Syntax", nullptr, "Open syntax file", {}, "text-x-script",
       SP::SP_DirOpenIcon, kBothKinds},
      {kClose, "&Close", nullptr, "Close window", {}, nullptr, SP::SP_TitleBarCloseButton, kBothKinds},
      {kSaveDataset, "Save Dataset\tCtr+S", nullptr, "Save dataset\nSave SPSS", {K(Qt::CTRL | Qt::Key_S)},
       "document-save", SP::SP_DialogSaveButton, kBothKinds},
      {kSaveDatasetAs, "Save Dataset As ...", nullptr, "Save dataset as", {}, nullptr,
       SP::SP_DialogSaveButton, kBothKinds},
      {kSave, "&Save Output", "&Save Syntax", nullptr, {}, "document-save-as",
       SP::SP_DriveFDIcon, kBothKinds},
      {kSaveAs, "Save Output &As ...", "Save Syntax &As ...", nullptr, {}, nullptr,
       SP::SP_DialogSaveButton, kBothKinds},
      {kExit, "E&xit", nullptr, "Quit the application; prompts to save documents\nExit", {},
       "application-exit", SP::SP_DialogCloseButton, kBothKinds},
      {kUndo, "&Undo\tCtrl+Z", nullptr, "Undo the last action\nUndo",
       {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)}, "edit-undo", SP::SP_ArrowBack,
       kBothKinds},
      {kCut, "Cu&t\tCtr+X", nullptr, "Cut the selection and put it on the Clipboard\nCut",
       {K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)}, "edit-cut", SP::SP_TrashIcon,
       kBothKinds},
      {kCopy, "&Copy\tCtrl+C", nullptr, "Copy Ccontents to Clipboard\nCopy",
       {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)}, "edit-copy", SP::SP_FileLinkIcon,
       kBothKinds},
      {kPaste, "&Paste\tCtrl+V", nullptr, "Insert Clipboard contents\nPaste",
       {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)}, "edit-paste",
       SP::SP_FileDialogDetailedView, kBothKinds},
      {kToggleToolbar, "&Toolbar", nullptr, "Show or hide the toolbar\nToggle ToolBar", {}, nullptr,
       SP::SP_TitleBarShadeButton, kBothKinds, true},
      {kToggleStatusBar, "&Status Bar", nullptr, "Show or hide the status bar\nToggle StatusBar", {},
       nullptr, SP::SP_TitleBarUnshadeButton, kBothKinds, true},
      {kAbout, "&About Vop...", nullptr, "Display program information, version number and copyright\nAbout",
       {}, "help-about", SP::SP_MessageBoxInformation, kBothKinds},
      {kDesignate, "Designate", nullptr,
       "Select this window for paste commands / output results\nDesignate", {}, "emblem-default",
       SP::SP_DialogApplyButton, kBothKinds},
      {kRun, "Run", nullptr, "Run Syntax\nRun", {K(Qt::CTRL | Qt::Key_R)}, nullptr,
       SP::SP_MediaPlay, kSyntaxKind},
      {kStop, "Stop", nullptr, "Stop the procesor\nStop", {}, nullptr, SP::SP_MediaStop,
       kSyntaxKind},
      {kTablesInExcel, "Tables in excel", nullptr, "Output results in excel format\nTables in excel", {},
       "x-office-spreadsheet", SP::SP_FileDialogListView, kBothKinds},
      {kWordWithoutCharts, "Without charts", nullptr,
       "Output results in Word format without charts\nWithout charts", {}, "x-office-document",
       SP::SP_FileDialogContentsView, kBothKinds},
      {kWordWithCharts, "With charts", nullptr, "Output results in Word format with charts\nWith charts",
       {}, "x-office-drawing", SP::SP_FileDialogInfoView, kBothKinds},
      {kExcelSyntaxGenerator, "Excel syntax generator", nullptr, "Get Excel Syntax generator", {},
       "accessories-text-editor", SP::SP_FileDialogToParent, kSyntaxKind},
      {kLanguageEn, "EN", nullptr, "Switch language to EN\nEN", {}, nullptr, SP::SP_CustomBase, kBothKinds},
      {kLanguageSr, "SR", nullptr, "Switch language to SR\nSR", {}, nullptr, SP::SP_CustomBase, kBothKinds},
      {kLanguageMk, "MK", nullptr, "Switch language to MK\nMK", {}, nullptr, SP::SP_CustomBase, kBothKinds},
      {kTesvin, "Tesvin", nullptr, "Pravljenje PPT od Wordovog dokumenta", {}, "x-office-presentation",
       SP::SP_ComputerIcon, kOutputKind},
      {kPyramid, "Pyramid", nullptr, "Pyramid generator\nPyramid", {}, "view-sort-ascending",
       SP::SP_ArrowUp, kOutputKind},
      {kNextPane, "Next Pane", nullptr, "Switch to the next window pane\nNext Pane", {K(Qt::Key_F6)},
       nullptr, SP::SP_CustomBase, kBothKinds},
      {kPreviousPane, "Previous Pane", nullptr, "Switch back to the previous window pane\nPrevious Pane",
       {K(Qt::SHIFT | Qt::Key_F6)}, nullptr, SP::SP_CustomBase, kBothKinds},
  };
  return t;
}

constexpr int kOutputToolbar[] = {kOpenData, kSaveDataset, 0, kNewOutput, kNewSyntax, 0,
                                       kCopy, kCopy, kPaste, 0, kDesignate, 0, kTablesInExcel,
                                       kWordWithoutCharts, kWordWithCharts, 0, kLanguageEn,
                                       kLanguageSr, kLanguageMk, 0, kTesvin, kPyramid};
constexpr int kSyntaxToolbar[] = {kOpenData, kSaveDataset, 0, kNewOutput, kNewSyntax,
                                       kOpenSyntax, kSave, 0, kCut, kCopy, kPaste, 0, kDesignate,
                                       0, kRun, kStop, 0, kTablesInExcel, kWordWithoutCharts,
                                       kWordWithCharts, 0, kLanguageEn, kLanguageSr, kLanguageMk,
                                       0, kExcelSyntaxGenerator};

}  // namespace

std::span<const Command> commands() { return table(); }

const Command* find_command(int id) {
  const auto& t = table();
  auto it = std::find_if(t.begin(), t.end(), [id](const Command& c) { return c.id == id; });
  return it == t.end() ? nullptr : &*it;
}

QString status_tip(const Command& c) {
  if (!c.prompt) return {};
  return QString::fromUtf8(c.prompt).section(u'\n', 0, 0);
}

QString tool_tip(const Command& c) {
  if (!c.prompt) return {};
  return QString::fromUtf8(c.prompt).section(u'\n', 1, 1);
}

QString command_text(const Command& c, FrameKind kind) {
  const char* text = kind == FrameKind::Syntax && c.syntax_text ? c.syntax_text : c.output_text;
  return QString::fromUtf8(text);
}

std::span<const int> toolbar_layout(FrameKind kind) {
  if (kind == FrameKind::Output) return kOutputToolbar;
  return kSyntaxToolbar;
}

}  // namespace vop::shell
