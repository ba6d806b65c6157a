// The files a user opened or saved lately, newest first, for the File
// menu's "Recent Files": output files, syntax files and datasets. Kept in
// the program's settings when the application remembers its settings,
// else for the session only.
#pragma once

#include <QList>
#include <QString>

namespace vop::shell {

enum class RecentKind { Output, Syntax, Data };

struct RecentFile {
  RecentKind kind = RecentKind::Syntax;
  QString path;
  bool operator==(const RecentFile&) const = default;
};

class RecentFiles {
 public:
  static constexpr int kMost = 8;  // entries kept

  explicit RecentFiles(bool persistent);
  // `path` goes to the head of the list (once: an older entry of it goes).
  void add(RecentKind kind, const QString& path);
  const QList<RecentFile>& items() const { return items_; }

 private:
  void save() const;

  bool persistent_;          // read from and written to QSettings
  QList<RecentFile> items_;  // newest first
};

}  // namespace vop::shell
