#include "shell/recent_files.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

namespace vop::shell {

namespace {

// Settings hold each entry as "kind:path", the kind as one letter.
constexpr const char* kKey = "recentFiles";
constexpr struct {
  RecentKind kind;
  QChar letter;
} kLetters[] = {{RecentKind::Output, u'o'}, {RecentKind::Syntax, u's'}, {RecentKind::Data, u'd'}};

QString encode(const RecentFile& f) {
  for (const auto& l : kLetters)
    if (l.kind == f.kind) return QString(l.letter) + u':' + f.path;
  return {};
}

bool decode(const QString& s, RecentFile* f) {
  if (s.size() < 3 || s[1] != u':') return false;
  for (const auto& l : kLetters) {
    if (l.letter != s[0]) continue;
    *f = {l.kind, s.mid(2)};
    return true;
  }
  return false;
}

}  // namespace

RecentFiles::RecentFiles(bool persistent) : persistent_(persistent) {
  if (!persistent_) return;
  for (const QString& s : QSettings().value(kKey).toStringList()) {
    RecentFile f;
    if (decode(s, &f) && items_.size() < kMost) items_.append(f);
  }
}

void RecentFiles::add(RecentKind kind, const QString& path) {
  const RecentFile f{kind, QDir::cleanPath(QDir().absoluteFilePath(path))};
  items_.removeAll(f);
  items_.prepend(f);
  while (items_.size() > kMost) items_.removeLast();
  save();
}

void RecentFiles::save() const {
  if (!persistent_) return;
  QStringList list;
  for (const RecentFile& f : items_) list.append(encode(f));
  QSettings().setValue(kKey, list);
}

}  // namespace vop::shell
