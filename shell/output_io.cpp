#include "shell/output_io.h"

#include <QFile>
#include <QSaveFile>
#include <QTextDocument>

#include "output/text_encoding.h"

namespace vop::shell {

bool is_rtf_path(const QString& path) { return path.right(3).compare(QLatin1String("rtf"), Qt::CaseInsensitive) == 0; }

bool write_text_file(const QString& path, const QString& text, QString* error) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) {
    *error = QStringLiteral("Cannot write %1: %2").arg(path, f.errorString());
    return false;
  }
  f.write(text.toUtf8());
  if (!f.commit()) {
    *error = QStringLiteral("Cannot write %1: %2").arg(path, f.errorString());
    return false;
  }
  return true;
}

bool read_text_file(const QString& path, QString* text, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("Cannot open %1: %2").arg(path, f.errorString());
    return false;
  }
  const QByteArray bytes = f.readAll();
  *text = QString::fromStdString(clean_utf8(std::string_view(bytes.constData(), size_t(bytes.size()))));
  return true;
}

bool save_output(const QTextDocument& doc, const QString& path, QString* error) {
  return write_text_file(path, doc.toPlainText(), error);
}

bool load_output(QTextDocument& doc, const QString& path, QString* error) {
  QString text;
  if (!read_text_file(path, &text, error)) return false;
  doc.setPlainText(text);
  return true;
}

}  // namespace vop::shell
