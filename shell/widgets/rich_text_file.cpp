// Written in three parts: the RTF writer, the RTF reader, then the file
// functions that choose between RTF and plain text.
//
// Lengths: Qt keeps margins, indents and tab positions in pixels, RTF in
// twips. Both directions use 96 pixels per inch (15 twips per pixel), so a
// length survives a save and a load.
#include "shell/widgets/rich_text_file.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "core/save_file.h"

namespace {

constexpr double kTwipsPerPixel = 15.0;  // 1440 twips per inch at 96 pixels per inch

int to_twips(qreal pixels) { return qRound(pixels * kTwipsPerPixel); }
qreal to_pixels(int twips) { return twips / kTwipsPerPixel; }

// Windows-1252 for bytes 0x80..0x9F (\'hh escapes and stray 8-bit bytes);
// the rest of the upper half is Latin-1. Unassigned bytes keep their value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QChar from_cp1252(unsigned char b) { return b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b); }

QString decode_cp1252(const QByteArray& bytes) {
  QString s;
  s.reserve(bytes.size());
  for (char b : bytes) s.append(from_cp1252((unsigned char)b));
  return s;
}

// Writer ----------------------------------------------------------------

// A run's character format with everything it inherits filled in.
struct RunFormat {
  QString family;   // font family
  int half_points;  // font size in half points (\fs)
  bool bold;        // weight DemiBold or more
  bool italic;      // italic
  bool underline;   // any underline
  QColor colour;    // text colour; invalid for the automatic colour
};

RunFormat resolve(const QTextCharFormat& f, const QFont& base) {
  RunFormat r;
  QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
  if (families.isEmpty() && f.hasProperty(QTextFormat::FontFamily))
    families.append(f.property(QTextFormat::FontFamily).toString());
  r.family = families.isEmpty() ? base.family() : families.first();
  qreal points = base.pointSizeF();
  if (f.hasProperty(QTextFormat::FontPointSize))
    points = f.fontPointSize();
  else if (f.hasProperty(QTextFormat::FontPixelSize))
    points = f.intProperty(QTextFormat::FontPixelSize) * 72.0 / 96.0;
  else if (points <= 0)
    points = base.pixelSize() > 0 ? base.pixelSize() * 72.0 / 96.0 : 12;
  r.half_points = qMax(1, qRound(points * 2));
  r.bold = (f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : base.weight()) >= QFont::DemiBold;
  r.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base.italic();
  r.underline = f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline)
                    ? f.fontUnderline()
                    : base.underline();
  if (f.foreground().style() != Qt::NoBrush) r.colour = f.foreground().color();
  return r;
}

// Text as RTF: the syntax characters escaped, tabs and line breaks as
// control words, everything beyond ASCII as \uN? (N a signed 16-bit
// number; characters beyond the BMP go as their two UTF-16 halves).
void append_text(QByteArray& out, QStringView text) {
  for (QChar ch : text) {
    const char16_t u = ch.unicode();
    if (u == u'\\' || u == u'{' || u == u'}') {
      out += '\\';
      out += char(u);
    } else if (u == u'\t') {
      out += "\\tab ";
    } else if (u == 0x2028 || u == u'\n' || u == u'\r') {
      out += "\\line ";
    } else if (u == 0x2029) {
      out += "\\par ";
    } else if (u == 0xFFFC || u < 0x20) {
      // objects (images) and control characters have no text to save
    } else if (u < 0x80) {
      out += char(u);
    } else {
      out += "\\u" + QByteArray::number(int(int16_t(u))) + '?';
    }
  }
}

QByteArray paragraph_properties(const QTextBlockFormat& f) {
  QByteArray out = "\\pard";
  const Qt::Alignment h = f.alignment() & Qt::AlignHorizontal_Mask;
  if (h & Qt::AlignHCenter)
    out += "\\qc";
  else if (h & Qt::AlignJustify)
    out += "\\qj";
  else if (h & Qt::AlignRight)
    out += "\\qr";
  else
    out += "\\ql";
  const struct {
    const char* word;
    qreal pixels;
  } lengths[] = {{"\\li", f.leftMargin()}, {"\\ri", f.rightMargin()}, {"\\fi", f.textIndent()},
                 {"\\sb", f.topMargin()},  {"\\sa", f.bottomMargin()}};
  for (const auto& l : lengths)
    if (to_twips(l.pixels) != 0) out += l.word + QByteArray::number(to_twips(l.pixels));
  for (const QTextOption::Tab& tab : f.tabPositions()) {
    if (tab.type == QTextOption::RightTab) out += "\\tqr";
    else if (tab.type == QTextOption::CenterTab) out += "\\tqc";
    else if (tab.type == QTextOption::DelimiterTab) out += "\\tqdec";
    out += "\\tx" + QByteArray::number(to_twips(tab.position));
  }
  return out;
}

// Reader ----------------------------------------------------------------

// Deepest group nesting read; deeper files are refused rather than risk
// unbounded memory on a damaged file.
constexpr int kMaxGroupDepth = 10000;

struct CharState {
  int font = -1;          // font table index; -1 for the default font (\deff)
  int half_points = 24;   // \fs; RTF's default is 12 pt
  bool bold = false;      // \b
  bool italic = false;    // \i
  bool underline = false; // \ul
  int colour = 0;         // colour table index; 0 is the automatic colour
  bool operator==(const CharState&) const = default;
};

struct ParaState {
  Qt::Alignment alignment = Qt::AlignLeft;           // \ql \qc \qr \qj
  int left = 0, right = 0, first = 0;                // \li \ri \fi in twips
  int before = 0, after = 0;                         // \sb \sa in twips
  QList<QTextOption::Tab> tabs;                      // \tx, in pixels
  QTextOption::TabType next_tab = QTextOption::LeftTab;  // kind set by \tqr etc. for the next \tx
};

enum class Destination { Text, FontTable, ColourTable, Skip };

struct GroupState {
  CharState chars;                           // character properties
  ParaState para;                            // paragraph properties
  Destination destination = Destination::Text;  // where the group's text goes
  int unicode_skip = 1;                      // \uc: fallback characters after \uN
};

struct Run {
  QString text;     // characters of the run
  CharState chars;  // their format
};

struct Paragraph {
  ParaState para;   // its properties at its end
  QList<Run> runs;  // its text
};

// Destinations whose content is not document text.
const char* const kSkippedDestinations[] = {
    "info",      "stylesheet", "pict",     "header",       "footer",           "headerl",  "headerr",
    "headerf",   "footerl",    "footerr",  "footerf",      "footnote",         "object",   "listtable",
    "listoverridetable", "revtbl", "rsidtbl", "xmlnstbl", "fldinst",        "themedata", "colorschememapping",
    "latentstyles", "datastore", "generator", "filetbl",   "nonshppict",       "private",  "userprops",
};

// Special characters written as control words.
const struct {
  const char* word;
  char16_t ch;
} kCharacterWords[] = {
    {"tab", u'\t'},      {"line", 0x2028},   {"emdash", 0x2014},    {"endash", 0x2013},
    {"bullet", 0x2022},  {"lquote", 0x2018}, {"rquote", 0x2019},    {"ldblquote", 0x201C},
    {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002},
};

class RtfReader {
 public:
  explicit RtfReader(const QByteArray& data) : data_(data) {}

  bool read();
  void build(QTextDocument& document) const;

 private:
  void control();
  void word(const QByteArray& w, bool has_param, int param);
  void character(QChar c);
  void end_paragraph();
  void leave_group();
  QTextCharFormat char_format(const CharState& s) const;

  const QByteArray& data_;           // the RTF; not owned
  qsizetype pos_ = 0;                // next byte to read
  QList<GroupState> stack_;          // states of the enclosing groups
  GroupState state_;                 // state of the current group
  int default_font_ = 0;             // \deff
  QHash<int, QString> fonts_;        // font table: index -> family
  int font_index_ = 0;               // font being defined in the font table
  QString font_name_;                // its name so far
  QList<QColor> colours_;            // colour table; invalid = automatic
  int red_ = 0, green_ = 0, blue_ = 0;  // colour being defined
  bool colour_set_ = false;          // a component was given for it
  int skip_ = 0;                     // fallback characters still to drop after \uN
  QList<Paragraph> paragraphs_;      // finished paragraphs
  QList<Run> runs_;                  // runs of the paragraph being read
  bool pard_since_par_ = false;      // the paragraph being read was begun by \pard
};

bool RtfReader::read() {
  if (!data_.startsWith("{\\rtf")) return false;
  while (pos_ < data_.size()) {
    const char c = data_[pos_++];
    if (c == '{') {
      if (stack_.size() >= kMaxGroupDepth) return false;
      stack_.append(state_);
      skip_ = 0;
    } else if (c == '}') {
      skip_ = 0;
      // The document's closing brace: what follows it is not part of it,
      // and the last paragraph keeps the properties it had.
      if (stack_.size() <= 1) break;
      leave_group();
    } else if (c == '\\') {
      control();
    } else if (c == '\r' || c == '\n') {
      // line ends in RTF source are not text
    } else {
      character(from_cp1252((unsigned char)c));
    }
  }
  if (!runs_.isEmpty() || pard_since_par_ || paragraphs_.isEmpty()) end_paragraph();
  return true;
}

void RtfReader::leave_group() {
  if (state_.destination == Destination::FontTable && !font_name_.trimmed().isEmpty()) {
    fonts_.insert(font_index_, font_name_.trimmed());
    font_name_.clear();
  }
  state_ = stack_.takeLast();
}

void RtfReader::control() {
  if (pos_ >= data_.size()) return;
  const char c = data_[pos_];
  if (!std::isalpha((unsigned char)c)) {
    ++pos_;
    switch (c) {
      case '\\': case '{': case '}': character(QChar(c)); break;
      case '~': character(QChar(0x00A0)); break;
      case '_': character(QChar(0x2011)); break;
      case '*': state_.destination = Destination::Skip; break;
      case '\r': case '\n':
        if (state_.destination == Destination::Text) end_paragraph();
        break;
      case '\'': {
        bool ok = false;
        const int b = data_.mid(pos_, 2).toInt(&ok, 16);
        pos_ += 2;
        if (ok) character(from_cp1252((unsigned char)b));
        break;
      }
      default: break;  // optional hyphen and the rest: nothing to show
    }
    return;
  }
  const qsizetype start = pos_;
  while (pos_ < data_.size() && std::isalpha((unsigned char)data_[pos_])) ++pos_;
  const QByteArray w = data_.mid(start, pos_ - start);
  bool has_param = false;
  int param = 0;
  const qsizetype digits = pos_;
  if (pos_ < data_.size() && data_[pos_] == '-') ++pos_;
  while (pos_ < data_.size() && std::isdigit((unsigned char)data_[pos_]) && pos_ - digits < 11) ++pos_;
  if (pos_ > digits) {
    param = int(qBound(qlonglong(INT_MIN), data_.mid(digits, pos_ - digits).toLongLong(&has_param), qlonglong(INT_MAX)));
    if (!has_param) pos_ = digits;
  }
  if (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;  // the delimiting blank
  word(w, has_param, param);
}

void RtfReader::word(const QByteArray& w, bool has_param, int param) {
  const bool on = !has_param || param != 0;
  if (w == "bin") {
    pos_ = qMin(data_.size(), pos_ + qMax(0, param));
    return;
  }
  if (state_.destination == Destination::Skip) return;
  if (w == "u") {
    if (!has_param) return;
    skip_ = 0;
    character(QChar(char16_t(param < 0 ? param + 65536 : param)));
    // The \uN character itself is never fallback; drop what follows it.
    skip_ = state_.unicode_skip;
    return;
  }
  if (w == "uc") {
    state_.unicode_skip = qMax(0, param);
    return;
  }
  if (w == "fonttbl") {
    state_.destination = Destination::FontTable;
    return;
  }
  if (w == "colortbl") {
    state_.destination = Destination::ColourTable;
    return;
  }
  for (const char* d : kSkippedDestinations) {
    if (w == d) {
      state_.destination = Destination::Skip;
      return;
    }
  }
  if (state_.destination == Destination::FontTable) {
    if (w == "f") font_index_ = param;
    return;
  }
  if (state_.destination == Destination::ColourTable) {
    if (w == "red") red_ = param, colour_set_ = true;
    else if (w == "green") green_ = param, colour_set_ = true;
    else if (w == "blue") blue_ = param, colour_set_ = true;
    return;
  }
  CharState& ch = state_.chars;
  ParaState& para = state_.para;
  if (w == "par") end_paragraph();
  else if (w == "pard") para = ParaState(), pard_since_par_ = true;
  else if (w == "plain") ch = CharState();
  else if (w == "deff") default_font_ = param;
  else if (w == "f") ch.font = param;
  else if (w == "fs") ch.half_points = param > 0 ? param : 24;
  else if (w == "b") ch.bold = on;
  else if (w == "i") ch.italic = on;
  else if (w == "ul") ch.underline = on;
  else if (w == "ulnone") ch.underline = false;
  else if (w == "cf") ch.colour = param;
  else if (w == "ql") para.alignment = Qt::AlignLeft;
  else if (w == "qr") para.alignment = Qt::AlignRight;
  else if (w == "qc") para.alignment = Qt::AlignHCenter;
  else if (w == "qj") para.alignment = Qt::AlignJustify;
  else if (w == "li") para.left = param;
  else if (w == "ri") para.right = param;
  else if (w == "fi") para.first = param;
  else if (w == "sb") para.before = param;
  else if (w == "sa") para.after = param;
  else if (w == "tqr") para.next_tab = QTextOption::RightTab;
  else if (w == "tqc") para.next_tab = QTextOption::CenterTab;
  else if (w == "tqdec") para.next_tab = QTextOption::DelimiterTab;
  else if (w == "tx" || w == "tb") {
    QTextOption::Tab tab(to_pixels(param), para.next_tab, para.next_tab == QTextOption::DelimiterTab ? u'.' : QChar());
    para.tabs.append(tab);
    para.next_tab = QTextOption::LeftTab;
  } else {
    for (const auto& cw : kCharacterWords) {
      if (w == cw.word) {
        character(QChar(cw.ch));
        return;
      }
    }
  }
}

void RtfReader::character(QChar c) {
  if (skip_ > 0) {
    --skip_;
    return;
  }
  switch (state_.destination) {
    case Destination::Skip: return;
    case Destination::FontTable:
      if (c == u';') {
        fonts_.insert(font_index_, font_name_.trimmed());
        font_name_.clear();
      } else {
        font_name_ += c;
      }
      return;
    case Destination::ColourTable:
      if (c == u';') {
        colours_.append(colour_set_ ? QColor(qBound(0, red_, 255), qBound(0, green_, 255), qBound(0, blue_, 255))
                                    : QColor());
        red_ = green_ = blue_ = 0;
        colour_set_ = false;
      }
      return;
    case Destination::Text:
      // Control characters (from \uN or stray bytes) are not text; line
      // breaks come only from \par and \line.
      if (c.unicode() < 0x20 && c != u'\t') return;
      if (runs_.isEmpty() || !(runs_.last().chars == state_.chars)) runs_.append(Run{QString(), state_.chars});
      runs_.last().text += c;
      return;
  }
}

void RtfReader::end_paragraph() {
  paragraphs_.append(Paragraph{state_.para, runs_});
  runs_.clear();
  pard_since_par_ = false;
}

QTextCharFormat RtfReader::char_format(const CharState& s) const {
  QTextCharFormat f;
  const QString family = fonts_.value(s.font < 0 ? default_font_ : s.font, fonts_.value(default_font_));
  if (!family.isEmpty()) f.setFontFamilies({family});
  f.setFontPointSize(s.half_points / 2.0);
  f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(s.italic);
  f.setFontUnderline(s.underline);
  if (s.colour > 0 && s.colour < colours_.size() && colours_[s.colour].isValid())
    f.setForeground(colours_[s.colour]);
  return f;
}

void RtfReader::build(QTextDocument& document) const {
  document.clear();
  QTextCursor cursor(&document);
  for (qsizetype i = 0; i < paragraphs_.size(); ++i) {
    const Paragraph& p = paragraphs_[i];
    QTextBlockFormat bf;
    bf.setAlignment(p.para.alignment);
    bf.setLeftMargin(to_pixels(p.para.left));
    bf.setRightMargin(to_pixels(p.para.right));
    bf.setTextIndent(to_pixels(p.para.first));
    bf.setTopMargin(to_pixels(p.para.before));
    bf.setBottomMargin(to_pixels(p.para.after));
    bf.setTabPositions(p.para.tabs);
    const QTextCharFormat first = char_format(p.runs.isEmpty() ? CharState() : p.runs.first().chars);
    if (i == 0) {
      cursor.setBlockFormat(bf);
      cursor.setBlockCharFormat(first);
    } else {
      cursor.insertBlock(bf, first);
    }
    for (const Run& run : p.runs) cursor.insertText(run.text, char_format(run.chars));
  }
}

bool is_rtf_path(const QString& path) { return path.right(3).compare(u"rtf", Qt::CaseInsensitive) == 0; }

QString reason(int err, const char* otherwise) {
  return err != 0 ? QString::fromLocal8Bit(std::strerror(err)) : QString::fromLatin1(otherwise);
}

}  // namespace

QByteArray document_to_rtf(const QTextDocument& document) {
  const QFont base = document.defaultFont();
  QStringList fonts{base.family()};
  QList<QColor> colours;
  // Formats of every run, resolved once: the tables come first in the file.
  QList<QList<RunFormat>> formats;
  for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
    QList<RunFormat>& runs = formats.emplace_back();
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const RunFormat r = resolve(it.fragment().charFormat(), base);
      if (!fonts.contains(r.family)) fonts.append(r.family);
      if (r.colour.isValid() && !colours.contains(r.colour)) colours.append(r.colour);
      runs.append(r);
    }
  }

  QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
  for (qsizetype i = 0; i < fonts.size(); ++i) {
    out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
    append_text(out, fonts[i]);
    out += ";}";
  }
  out += "}\n{\\colortbl ;";
  for (const QColor& c : colours)
    out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
           QByteArray::number(c.blue()) + ';';
  out += "}\n";

  qsizetype block_index = 0;
  for (QTextBlock b = document.begin(); b.isValid(); b = b.next(), ++block_index) {
    out += paragraph_properties(b.blockFormat());
    out += '\n';
    qsizetype run_index = 0;
    for (auto it = b.begin(); !it.atEnd(); ++it, ++run_index) {
      const RunFormat& r = formats[block_index][run_index];
      out += "{\\f" + QByteArray::number(fonts.indexOf(r.family)) + "\\fs" + QByteArray::number(r.half_points);
      if (r.bold) out += "\\b";
      if (r.italic) out += "\\i";
      if (r.underline) out += "\\ul";
      if (r.colour.isValid()) out += "\\cf" + QByteArray::number(colours.indexOf(r.colour) + 1);
      out += ' ';
      append_text(out, it.fragment().text());
      out += '}';
    }
    if (b.next().isValid()) out += "\\par\n";
  }
  out += "\n}\n";
  return out;
}

bool rtf_to_document(const QByteArray& rtf, QTextDocument& document) {
  RtfReader reader(rtf);
  if (!reader.read()) return false;
  reader.build(document);
  return true;
}

bool save_output(const QTextDocument& document, const QString& path, QString* error) {
  const QByteArray bytes = is_rtf_path(path) ? document_to_rtf(document) : document.toPlainText().toUtf8();
  errno = 0;
  const bool ok = vop::save_file(QFile::encodeName(path).toStdString(), [&bytes](std::FILE* f) {
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
  });
  if (!ok && error)
    *error = QStringLiteral("Could not save \"%1\": %2").arg(path, reason(errno, "the file could not be written"));
  return ok;
}

bool load_output(QTextDocument& document, const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("Could not open \"%1\": %2").arg(path, file.errorString());
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = QStringLiteral("Could not read \"%1\": %2").arg(path, file.errorString());
    return false;
  }
  if (QFileInfo(path).suffix().compare(u"rtf", Qt::CaseInsensitive) == 0) {
    if (!rtf_to_document(bytes, document)) {
      if (error) *error = QStringLiteral("Could not read \"%1\": it is not a Rich Text file").arg(path);
      return false;
    }
  } else {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = decode_cp1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    document.setPlainText(text);
  }
  document.setModified(false);
  return true;
}
