#include "shell/output_io.h"

#include <QFile>
#include <QTextDocument>

#include "core/save_file.h"
#include "document/text_encoding.h"
#include "shell/widgets/rich_text_file.h"

namespace vop::shell {

bool is_rtf_path(const QString& path) { return path.right(3).compare(QLatin1String("rtf"), Qt::CaseInsensitive) == 0; }

bool write_text_file(const QString& path, const QString& text, QString* error) {
  const QByteArray bytes = text.toUtf8();
  const bool ok = save_file(path.toStdString(), [&](std::FILE* f) {
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
  });
  if (!ok) *error = QStringLiteral("Cannot write %1").arg(path);
  return ok;
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
  return ::save_output(doc, path, error);
}

bool load_output(QTextDocument& doc, const QString& path, QString* error) {
  return ::load_output(doc, path, error);
}

}  // namespace vop::shell
