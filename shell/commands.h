// The command set of the two window kinds: one table holds, for every
// command, its identifier, texts, shortcuts, icon and the window kinds that
// offer it. Menus, toolbars and the handlers (handlers.cpp) are all built
// from identifiers, so a command's texts live in one place.
#pragma once

#include <QKeySequence>
#include <QString>
#include <QStyle>

#include <span>
#include <vector>

namespace vop::shell {

enum class FrameKind { Output, Syntax };

// Bits of Command::kinds.
inline constexpr unsigned kOutputKind = 1;
inline constexpr unsigned kSyntaxKind = 2;
inline constexpr unsigned kBothKinds = kOutputKind | kSyntaxKind;
constexpr unsigned kind_bit(FrameKind k) { return k == FrameKind::Output ? kOutputKind : kSyntaxKind; }

// Command identifiers as the window resources number them.
enum CommandId : int {
  kNewData = 32772,
  kNewOutput = 32773,
  kNewSyntax = 32774,
  kDesignate = 32779,
  kRun = 32775,
  kStop = 32781,
  kOpenOutput = 32782,
  kOpenSyntax = 32783,
  kOpenData = 32784,
  kTablesInExcel = 32820,
  kExcelRedirect = 32795,
  kExcelSyntaxGenerator = 32798,
  kWordWithoutCharts = 32803,
  kWordWithCharts = 32805,
  kLanguageEn = 32808,
  kLanguageSr = 32809,
  kLanguageMk = 32810,
  kTesvin = 32818,
  kPyramid = 32821,
  kSaveDataset = 32823,
  kSaveDatasetAs = 32824,
  kClose = 57602,
  kSave = 57603,
  kSaveAs = 57604,
  kCopy = 57634,
  kCut = 57635,
  kPaste = 57637,
  kUndo = 57643,
  kAbout = 57664,
  kExit = 57665,
  kNextPane = 57680,
  kPreviousPane = 57681,
  kToggleToolbar = 59392,
  kToggleStatusBar = 59393,
};

// The "&Do" menu's items carry identifiers from here on (the item's
// position added), up to kLastDoItem.
inline constexpr int kFirstDoItem = 1000;
inline constexpr int kLastDoItem = 1100;

struct Command {
  int id;                                 // CommandId
  const char* output_text;                // menu text in an output window (else the tooltip)
  const char* syntax_text;                // menu text in a syntax window; nullptr: as output_text
  const char* prompt;                     // status-bar text "\n" tooltip; nullptr: none
  std::vector<QKeySequence> shortcuts;    // window-wide accelerators, first shown in menus
  const char* icon;                       // freedesktop icon theme name; nullptr: none
  QStyle::StandardPixmap fallback_icon;   // used when the theme has no such icon
  unsigned kinds;                         // kOutputKind | kSyntaxKind: where it appears
  bool checkable = false;                 // a View toggle
};

// Every command, in no particular order.
std::span<const Command> commands();
// The command of an identifier; nullptr for an unknown one.
const Command* find_command(int id);

// The parts of a prompt: the status-bar text before "\n" and the tooltip
// after it (empty when the prompt has none).
QString status_tip(const Command& c);
QString tool_tip(const Command& c);
// The text of a command's menu item or toolbar button in a kind of window.
QString command_text(const Command& c, FrameKind kind);

// The toolbar of a kind of window: identifiers, 0 for a separator.
std::span<const int> toolbar_layout(FrameKind kind);

}  // namespace vop::shell
