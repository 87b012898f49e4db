#include <QFontMetrics>
#include <QHash>
#include <QStaticText>
#include <QTextLayout>

#include "platform/gbk.h"
#include "platform/gdi_dc.h"

namespace kelvanor {
namespace {

// QFont::key() builds its string anew on every call, and a paint draws many lines in a few
// fonts: the key of the font asked for last is kept (per thread).
const QString& KeyOf(const QFont& font) {
  thread_local QFont last;
  thread_local QString key = last.key();
  if (font != last) {
    last = font;
    key = font.key();
  }
  return key;
}

struct TextLine {
  QString text;
  int offset;  // index of the line's first character in the display text
};

// The longest prefix of `text` that fits `width` with "..." after it.
QString EndEllipsis(const QString& text, const QFontMetrics& fm, int width) {
  if (fm.horizontalAdvance(text) <= width) return text;
  const QString dots = QStringLiteral("...");
  int lo = 0, hi = static_cast<int>(text.size());
  while (lo < hi) {  // binary search: advances grow with the prefix length
    const int mid = (lo + hi + 1) / 2;
    if (fm.horizontalAdvance(text.left(mid) + dots) <= width) lo = mid;
    else hi = mid - 1;
  }
  return text.left(lo) + dots;
}

// The lines of one paragraph, with offsets within it.
std::vector<TextLine> LayOutParagraph(const QString& paragraph, const QFont& font, int width,
                                      bool breakLongWords) {
  std::vector<TextLine> lines;
  QTextLayout layout(paragraph, font);
  QTextOption option;
  option.setWrapMode(breakLongWords ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                    : QTextOption::WordWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(std::max(1, width));
    QString text = paragraph.mid(line.textStart(), line.textLength());
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);  // a break eats its blanks
    lines.push_back({text, line.textStart()});
  }
  layout.endLayout();
  return lines;
}

void WrapParagraph(const QString& paragraph, int offset, const QFont& font, int width,
                   bool breakLongWords, std::vector<TextLine>& lines) {
  if (paragraph.isEmpty()) {
    lines.push_back({QString(), offset});
    return;
  }
  // Laying out is as dear as shaping, and the same remarks wrap the same way on every
  // paint: recent layouts are kept (per thread, bounded).
  thread_local QHash<QString, std::vector<TextLine>> laidOut;
  constexpr qsizetype kMaxLaidOut = 4096;
  const QString key = KeyOf(font) + QChar(0) + QString::number(width) + QChar(breakLongWords ? 'a' : 'w') +
                      QChar(0) + paragraph;
  auto found = laidOut.find(key);
  if (found == laidOut.end()) {
    if (laidOut.size() >= kMaxLaidOut) laidOut.clear();
    found = laidOut.insert(key, LayOutParagraph(paragraph, font, width, breakLongWords));
  }
  for (const TextLine& line : *found) lines.push_back({line.text, offset + line.offset});
}

std::vector<TextLine> BreakLines(const QString& text, unsigned format, const QFont& font,
                                 int width) {
  std::vector<TextLine> lines;
  if (format & DT_SINGLELINE) {
    QString one = text;
    one.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    lines.push_back({one, 0});
    return lines;
  }
  int start = 0;
  while (true) {
    int end = static_cast<int>(text.indexOf(QLatin1Char('\n'), start));
    const bool last = end < 0;
    if (last) end = static_cast<int>(text.size());
    QString paragraph = text.mid(start, end - start);
    if (paragraph.endsWith(QLatin1Char('\r'))) paragraph.chop(1);
    if (format & DT_WORDBREAK)
      WrapParagraph(paragraph, start, font, width, (format & DT_EDITCONTROL) != 0, lines);
    else
      lines.push_back({paragraph, start});
    if (last) break;
    start = end + 1;
  }
  return lines;
}

bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Bytes of the first `chars` characters (a lead byte and its trail are one).
std::size_t LeadingBytes(std::string_view gbk, std::size_t chars) {
  std::size_t i = 0;
  for (; i < gbk.size() && chars > 0; --chars) {
    const bool pair = IsGbkLead(gbk[i]) && i + 1 < gbk.size() && IsGbkTrail(gbk[i + 1]);
    i += pair ? 2 : 1;
  }
  return i;
}

// Every character a font draws moves the pen on by a pixel at least, so a line shows at
// most as many characters as it has pixels, and one more whose glyph hangs into view.
std::size_t CharsWithin(int pixels) { return static_cast<std::size_t>(std::max(0, pixels)) + 2; }

// A centred or right-aligned line wider than its rectangle shows a part that depends on
// its whole width; such lines are measured whole up to this length.
constexpr std::size_t kAlignedLineChars = 16384;

// What of `gbk` can reach the visible part of `rect` (up to visibleRight, `lines` lines
// high) when drawn with `format`: laying out a megabyte remark for a tile that shows a
// few lines froze the window. The pixels are those of the whole text, unless a run of
// blanks wider than all the lines hides what follows it, or a line of over
// kAlignedLineChars characters is centred or right-aligned.
std::string ShownPart(const std::string& gbk, unsigned format, const GdiRect& rect, int visibleRight,
                      int lines) {
  const bool ellipsis = format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
  const bool wraps = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
  // A mnemonic "&&" shows one character.
  const std::size_t shownPerByte = (format & DT_NOPREFIX) ? 1 : 2;
  std::size_t lineChars = CharsWithin(std::max(rect.Width(), visibleRight - rect.left)) * shownPerByte;
  if ((format & (DT_CENTER | DT_RIGHT)) && !wraps && !ellipsis) lineChars = std::max(lineChars, kAlignedLineChars);
  if (lines <= 0) return {};
  if (format & DT_SINGLELINE) return gbk.substr(0, LeadingBytes(gbk, lineChars));
  // A wrapped paragraph fills `lines` lines with no more than that many lines' characters.
  const std::size_t paragraphChars = wraps ? lineChars * static_cast<std::size_t>(lines) : lineChars;
  std::string shown;
  std::string_view rest = gbk;
  for (int paragraph = 0; paragraph < lines; ++paragraph) {
    const std::string_view head = rest.substr(0, LeadingBytes(rest, paragraphChars));
    std::size_t end = head.find('\n');
    shown.append(head.substr(0, end));
    // A paragraph longer than that, broken anywhere, fills every line; otherwise its
    // first line can be one long word, and the next paragraph starts after it.
    if (end == std::string_view::npos && !(wraps && (format & DT_EDITCONTROL))) end = rest.find('\n', head.size());
    if (end == std::string_view::npos) break;
    shown += '\n';
    rest.remove_prefix(end + 1);
  }
  return shown;
}

// Draws one line with its top-left at `at`. Shaping a text is the dearest part of
// drawing it, and boards and grids draw the same texts on every paint, so the shaped
// lines of recent texts are kept (per thread, bounded).
void DrawShapedLine(QPainter& painter, QPoint at, const QString& text, const QFont& font) {
  thread_local QHash<QString, QStaticText> shaped;
  constexpr qsizetype kMaxShaped = 4096;
  const QString key = KeyOf(font) + QChar(0) + text;
  auto found = shaped.find(key);
  if (found == shaped.end()) {
    if (shaped.size() >= kMaxShaped) shaped.clear();
    QStaticText line(text);
    line.setTextFormat(Qt::PlainText);
    line.setPerformanceHint(QStaticText::AggressiveCaching);
    line.prepare(QTransform(), font);
    found = shaped.insert(key, line);
  }
  painter.drawStaticText(at, *found);
}

}  // namespace

std::string_view LeadingPart(std::string_view gbk, int pixels) {
  return gbk.substr(0, LeadingBytes(gbk, CharsWithin(pixels)));
}

// Windows mnemonic rules: "&&" shows one "&", "&x" underlines x, unless DT_NOPREFIX.
QString GdiDC::DisplayText(const std::string& gbk, unsigned format, int* underlined) const {
  QString text = GbkToQString(gbk);
  if (format & DT_EXPANDTABS) text.replace(QLatin1Char('\t'), QStringLiteral("        "));
  *underlined = -1;
  if (format & DT_NOPREFIX || !text.contains(QLatin1Char('&'))) return text;
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) {
      shown += text[i];
      continue;
    }
    if (++i == text.size()) break;
    if (text[i] != QLatin1Char('&')) *underlined = static_cast<int>(shown.size());
    shown += text[i];
  }
  return shown;
}

int GdiDC::DrawText(const std::string& gbk, GdiRect& rect, unsigned format) {
  const QFontMetrics fm(font_);
  const int lineHeight = fm.height();
  // Drawing lays out only what the rectangle (or, unclipped, the clip box) can show; a
  // measurement needs the whole text.
  const GdiRect clip = GetClipBox();
  const int visibleRight = (format & DT_NOCLIP) ? clip.right : rect.right;
  const int visibleBottom = (format & DT_NOCLIP) ? clip.bottom : rect.bottom;
  std::string shown;
  if (!(format & DT_CALCRECT)) {
    const int shownLines = std::max(0, visibleBottom - rect.top + lineHeight - 1) / std::max(1, lineHeight);
    shown = ShownPart(gbk, format, rect, visibleRight, shownLines);
  }
  int underlined = -1;
  const QString text = DisplayText((format & DT_CALCRECT) ? gbk : shown, format, &underlined);
  std::vector<TextLine> lines = BreakLines(text, format, font_, rect.Width());
  const int totalHeight = lineHeight * static_cast<int>(lines.size());
  const bool ellipsis = format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
  if (ellipsis && !(format & DT_WORDBREAK))
    for (TextLine& line : lines) line.text = EndEllipsis(line.text, fm, rect.Width());

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const TextLine& line : lines) widest = std::max(widest, fm.horizontalAdvance(line.text));
    rect.right = rect.left + widest;
    rect.bottom = rect.top + totalHeight;
    return totalHeight;
  }
  if (!painter_) return totalHeight;

  int y = rect.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect.top + (rect.Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = rect.bottom - lineHeight;
  }
  painter_->save();
  if (!(format & DT_NOCLIP)) painter_->setClipRect(ToDevice(rect), Qt::IntersectClip);
  painter_->setFont(font_);
  painter_->setPen(ToQColor(textColor_));
  for (const TextLine& line : lines) {
    if (y >= visibleBottom) break;
    // An edit control shows no partly visible last line.
    if ((format & DT_EDITCONTROL) && y + lineHeight > rect.bottom && y > rect.top) break;
    // Measuring a line costs a shaping pass; a left-aligned transparent line needs none.
    const bool measured = (format & (DT_CENTER | DT_RIGHT)) || bkMode_ == OPAQUE;
    const int width = measured ? fm.horizontalAdvance(line.text) : 0;
    int x = rect.left;
    if (format & DT_CENTER) x = rect.left + (rect.Width() - width) / 2;
    else if (format & DT_RIGHT) x = rect.right - width;
    if (bkMode_ == OPAQUE) painter_->fillRect(QRect(ToDevice(x, y), QSize(width, lineHeight)), ToQColor(bkColor_));
    DrawShapedLine(*painter_, ToDevice(x, y), line.text, font_);
    const int at = underlined - line.offset;
    if (at >= 0 && at < line.text.size()) {
      const int ux = x + fm.horizontalAdvance(line.text.left(at));
      const int uw = fm.horizontalAdvance(line.text.at(at));
      painter_->fillRect(QRect(ToDevice(ux, y + fm.ascent() + 1), QSize(uw, 1)), ToQColor(textColor_));
    }
    y += lineHeight;
  }
  painter_->restore();
  return totalHeight;
}

QSize GdiDC::GetTextExtent(const std::string& gbk) const {
  const QFontMetrics fm(font_);
  return QSize(fm.horizontalAdvance(GbkToQString(gbk)), fm.height());
}

TextMetric GdiDC::GetTextMetrics() const {
  const QFontMetrics fm(font_);
  const int em = font_.pixelSize() > 0 ? font_.pixelSize() : fm.ascent();
  return TextMetric{fm.height(),           fm.ascent(),          fm.descent(),
                    std::max(0, fm.height() - em), fm.leading(), fm.averageCharWidth(),
                    fm.maxWidth()};
}

}  // namespace kelvanor
