#include "shell/widgets/text_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

constexpr int kTextPointSize = 8;

// Preferred first; Liberation Mono has Courier New's advance widths.
const char* const kTextFamilies[] = {"Courier New", "Liberation Mono"};

}  // namespace

QFont vop_text_font() {
  const QStringList installed = QFontDatabase::families();
  for (const char* family : kTextFamilies) {
    if (installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive)) {
      QFont f(QString::fromLatin1(family), kTextPointSize);
      f.setStyleHint(QFont::TypeWriter);
      return f;
    }
  }
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setPointSize(kTextPointSize);
  return f;
}
