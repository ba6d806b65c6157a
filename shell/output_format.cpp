#include "shell/output_format.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include "output/output_stream.h"

namespace vop::shell {

namespace {

struct FaceStandIn {
  const char* face;      // the face the formats name
  const char* stand_in;  // a metric-compatible face shipped on free systems
};
constexpr FaceStandIn kStandIns[] = {
    {"Courier New", "Liberation Mono"},
    {"Arial", "Liberation Sans"},
    {"Tahoma", "DejaVu Sans"},
};

}  // namespace

QString available_family(const QString& face) {
  if (QFontDatabase::hasFamily(face)) return face;
  for (const FaceStandIn& s : kStandIns)
    if (face == QLatin1String(s.face) && QFontDatabase::hasFamily(QString::fromLatin1(s.stand_in)))
      return QString::fromLatin1(s.stand_in);
  return face;
}

QFont default_output_font() {
  const CharFormat f = OutputStream::default_format();
  QFont font(available_family(QString::fromStdString(f.font)));
  font.setPointSizeF(qreal(f.size_twips) / kTwipsPerPoint);
  font.setWeight(QFont::Weight(f.weight));
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

qreal twips_to_pixels(int twips) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
  return twips * dpi / 1440.0;
}

QTextCharFormat qt_char_format(const CharFormat& f) {
  QTextCharFormat q;
  q.setFontFamilies({available_family(QString::fromStdString(f.font))});
  q.setFontPointSize(qreal(f.size_twips) / kTwipsPerPoint);
  q.setFontWeight(f.weight);
  if (f.colour) q.setForeground(QColor(f.colour->r, f.colour->g, f.colour->b));
  if (f.clear_effects) {
    q.setFontItalic(false);
    q.setFontUnderline(false);
    q.setFontStrikeOut(false);
  }
  return q;
}

QTextBlockFormat qt_block_format(TextFormat f) {
  QTextBlockFormat b;
  b.setLeftMargin(twips_to_pixels(kStartIndentTwips));
  if (const auto p = OutputStream::paragraph_format(f)) {
    b.setLeftMargin(twips_to_pixels(kStartIndentTwips + p->indent_delta));
    b.setTopMargin(twips_to_pixels(p->space_before));
    b.setBottomMargin(twips_to_pixels(p->space_after));
  }
  return b;
}

}  // namespace vop::shell
