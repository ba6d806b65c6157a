#include "output_documents.h"

#include <QTextBlock>
#include <QTextCursor>

#include <cmath>

#include "shell/widgets/text_font.h"

namespace {

constexpr double kPixelsPerTwip = 1.0 / 15.0;

// The output window's paragraph: indented by 100 twips, a tab stop every
// 1420 twips.
QTextBlockFormat output_paragraph() {
  QTextBlockFormat f;
  f.setLeftMargin(100 * kPixelsPerTwip);
  QList<QTextOption::Tab> tabs;
  for (int i = 0; i < 32; ++i) tabs.append(QTextOption::Tab(i * 1420 * kPixelsPerTwip, QTextOption::LeftTab));
  f.setTabPositions(tabs);
  return f;
}

QTextCharFormat arial(double points, bool bold) {
  QTextCharFormat f;
  f.setFontFamilies({QStringLiteral("Arial")});
  f.setFontPointSize(points);
  f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  return f;
}

std::string number(double x) {
  const double r = std::round(x * 100) / 100;
  return QString::number(r).toStdString();
}

}  // namespace

void fill_sample_output(QTextDocument& document) {
  document.setDefaultFont(vop_text_font());
  QTextCursor c(&document);
  QTextBlockFormat heading = output_paragraph();
  heading.setAlignment(Qt::AlignHCenter);
  heading.setTopMargin(480 * kPixelsPerTwip);
  heading.setBottomMargin(240 * kPixelsPerTwip);
  c.setBlockFormat(heading);
  c.insertText(QStringLiteral("Customer survey"), arial(20, true));

  QTextBlockFormat row = output_paragraph();
  QList<QTextOption::Tab> tabs = row.tabPositions();
  tabs.append(QTextOption::Tab(50000 * kPixelsPerTwip, QTextOption::RightTab));
  row.setTabPositions(tabs);
  c.insertBlock(row, QTextCharFormat());
  c.insertText(QStringLiteral("Total\tMale\tFemale\t100"), QTextCharFormat());

  c.insertBlock(output_paragraph(), QTextCharFormat());
  QTextCharFormat caption = arial(14, true);
  caption.setForeground(QColor(193, 0, 0));
  c.insertText(QStringLiteral("ERROR : "), caption);
  c.insertText(QStringLiteral("Undefined name {x} in C:\\data\\a.s"), QTextCharFormat());

  c.insertBlock(output_paragraph(), QTextCharFormat());
  QTextCharFormat note;
  note.setFontItalic(true);
  note.setFontUnderline(true);
  note.setForeground(QColor(0, 0, 255));
  c.insertText(QStringLiteral("Note:"), note);
  c.insertText(QStringLiteral(" caf\u00e9, \u0428\u0430\u0431\u0430\u0446, \U0001F600 and \u20ac 5"),
               QTextCharFormat());

  QTextBlockFormat right = output_paragraph();
  right.setAlignment(Qt::AlignRight);
  right.setTextIndent(-200 * kPixelsPerTwip);
  right.setRightMargin(300 * kPixelsPerTwip);
  c.insertBlock(right, QTextCharFormat());
  c.insertText(QStringLiteral("Data is not weighted."), QTextCharFormat());
  c.insertBlock(output_paragraph(), QTextCharFormat());
}

std::string describe(const QTextDocument& document) {
  const QFont base = document.defaultFont();
  std::string out;
  for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat p = b.blockFormat();
    out += "align=" + std::to_string(int(p.alignment() & Qt::AlignHorizontal_Mask)) +
           " li=" + number(p.leftMargin()) + " ri=" + number(p.rightMargin()) + " fi=" + number(p.textIndent()) +
           " sb=" + number(p.topMargin()) + " sa=" + number(p.bottomMargin()) + " tabs=";
    for (const QTextOption::Tab& t : p.tabPositions()) out += number(t.position) + "/" + std::to_string(t.type) + ",";
    std::string last_format;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
      const bool bold = (f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : base.weight()) >= QFont::DemiBold;
      const std::string format =
          (families.isEmpty() ? base.family() : families.first()).toStdString() + " " +
          number(f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : base.pointSizeF()) +
          (bold ? " b" : "") + (f.fontItalic() ? " i" : "") + (f.fontUnderline() ? " u" : "") +
          (f.foreground().style() != Qt::NoBrush ? " " + f.foreground().color().name().toStdString() : "");
      if (format != last_format) out += " [" + format + "]";
      last_format = format;
      out += it.fragment().text().toStdString();
    }
    out += "\n";
  }
  return out;
}
