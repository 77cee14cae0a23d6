// Text of the canvas (DrawTextA): laid out in lines as Windows does and drawn with Qt onto the
// canvas's own pixel buffer, without anti-aliasing, so that text pixels are plain colours.
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "vcl/graphics.h"
#include "vcl/qt/glue.h"

QFont ToQFont(const TFont& font) {
    QFont f = LabelFont(QString::fromStdString(AnsiToUtf8(font.Name())), font.Height());
    f.setBold(font.Style().Contains(fsBold));
    f.setItalic(font.Style().Contains(fsItalic));
    f.setUnderline(font.Style().Contains(fsUnderline));
    f.setStrikeOut(font.Style().Contains(fsStrikeOut));
    return f;
}

namespace {

// One character of the text: its UTF-16 form, whether it is double-byte (a place where a line
// may break) and whether a prefix "&" marks it for underlining.
struct TChar {
    QString Text;
    bool Wide = false;
    bool Underline = false;
    bool Space() const { return Text == QLatin1String(" "); }
};
using TLine = std::vector<TChar>;

std::vector<TLine> SplitText(const std::string& bytes, UINT format) {
    std::vector<TLine> lines;
    if (bytes.empty()) return lines;
    const bool single = format & DT_SINGLELINE;
    const bool prefix = !(format & DT_NOPREFIX);
    lines.emplace_back();
    bool underlineNext = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' || b == '\n') {
            if (!single) {
                if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
                lines.emplace_back();
            }
            continue;
        }
        if (prefix && b == '&') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '&') {
                ++i;  // "&&" is one "&"
            } else {
                underlineNext = true;  // a last lone "&" shows nothing
                continue;
            }
        }
        std::size_t len = IsDBCSLeadByte(b) && i + 1 < bytes.size() ? 2 : 1;
        TChar c;
        const std::u16string u = AnsiToUtf16(AnsiString(bytes.substr(i, len)));
        c.Text = QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
        c.Wide = len == 2 || (!c.Text.isEmpty() && c.Text[0].unicode() >= 0x0100);
        c.Underline = underlineNext;
        underlineNext = false;
        lines.back().push_back(c);
        i += len - 1;
    }
    return lines;
}

QString Join(const TLine& line, std::size_t from, std::size_t to) {
    QString s;
    for (std::size_t i = from; i < to; ++i) s += line[i].Text;
    return s;
}

// Greedy breaking: at a blank, or next to a double-byte character; a piece without such a place
// that is too wide is broken between characters. Blanks at a break are dropped.
std::vector<TLine> BreakLines(const std::vector<TLine>& lines, const QFontMetrics& fm, int width) {
    std::vector<TLine> out;
    for (const TLine& line : lines) {
        std::size_t start = 0;
        if (line.empty()) out.emplace_back();
        while (start < line.size()) {
            const auto fits = [&](std::size_t end) {
                std::size_t e = end;
                while (e > start && line[e - 1].Space()) --e;
                return fm.horizontalAdvance(Join(line, start, e)) <= width;
            };
            std::size_t brk = 0;
            for (std::size_t j = start + 1; j <= line.size(); ++j) {
                const bool allowed = j == line.size() ||
                                     (line[j - 1].Space() && !line[j].Space()) ||
                                     line[j - 1].Wide || line[j].Wide;
                if (!allowed) continue;
                if (!fits(j)) break;
                brk = j;
            }
            if (brk == 0) {
                brk = start + 1;
                while (brk < line.size() && fits(brk + 1)) ++brk;
            }
            std::size_t end = brk;
            while (end > start && line[end - 1].Space()) --end;
            out.emplace_back(line.begin() + static_cast<std::ptrdiff_t>(start),
                             line.begin() + static_cast<std::ptrdiff_t>(end));
            start = brk;
            while (start < line.size() && line[start].Space()) ++start;
        }
    }
    return out;
}

QColor ToQColor(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

int TCanvas::DCDrawText(const char* text, int count, TRect& rect, UINT format) {
    EnsureGuiApplication();
    const std::string bytes = count < 0 ? std::string(text) : std::string(text, strnlen(text, count));
    const QFont qfont = ToQFont(*FFont);
    const QFontMetrics fm(qfont);
    std::vector<TLine> lines = SplitText(bytes, format);
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
        lines = BreakLines(lines, fm, rect.Width());

    const int lineHeight = fm.height();
    const int textHeight = lineHeight * static_cast<int>(lines.size());
    std::vector<QString> strings;
    int textWidth = 0;
    for (const TLine& line : lines) {
        strings.push_back(Join(line, 0, line.size()));
        textWidth = std::max(textWidth, fm.horizontalAdvance(strings.back()));
    }
    if (format & DT_CALCRECT) {
        rect.Right = rect.Left + textWidth;
        rect.Bottom = rect.Top + textHeight;
        return textHeight;
    }

    int top = rect.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rect.Top + (rect.Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = rect.Bottom - lineHeight;
    }
    const int result = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))
                           ? top - rect.Top + textHeight
                           : textHeight;
    const TRect clip = DeviceClip();
    if (!FSurface || lines.empty() || clip.Left >= clip.Right) return result;

    QImage image = WrapBitmap(FSurface);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()));
    painter.translate(FOrigin.X, FOrigin.Y);
    if (!(format & DT_NOCLIP))
        painter.setClipRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()),
                            Qt::IntersectClip);
    painter.setFont(qfont);
    const QColor color = ToQColor(TextColor);
    painter.setPen(color);
    const int underlineWidth = std::max(1, fm.lineWidth());

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int y = top + static_cast<int>(i) * lineHeight;
        const int width = fm.horizontalAdvance(strings[i]);
        int x = rect.Left;
        if (format & DT_CENTER)
            x = rect.Left + (rect.Width() - width) / 2;
        else if (format & DT_RIGHT)
            x = rect.Right - width;
        if (BkMode == OPAQUE) painter.fillRect(QRect(x, y, width, lineHeight), ToQColor(BkColor));
        painter.drawText(QPoint(x, y + fm.ascent()), strings[i]);
        const TLine& line = lines[i];
        for (std::size_t k = 0; k < line.size(); ++k) {
            if (!line[k].Underline) continue;
            const int x0 = x + fm.horizontalAdvance(Join(line, 0, k));
            const int x1 = x + fm.horizontalAdvance(Join(line, 0, k + 1));
            painter.fillRect(QRect(x0, y + fm.ascent() + fm.underlinePos(), x1 - x0, underlineWidth),
                             color);
        }
    }
    return result;
}
