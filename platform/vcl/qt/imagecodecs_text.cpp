// The metafile player's text through Qt, drawn straight into the picture's pixels.
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>

#include "vcl/imagecodecs_text.h"
#include "vcl/qt/glue.h"

namespace imagecodecs_detail {

namespace {

QString ToQString(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// The toolkit font of a metafile font: the labels' text style, then its weight, slant and width.
QFont TextQFont(const TTextFont& font) {
    EnsureGuiApplication();
    QFont f = LabelFont(ToQString(font.face), font.height);
    if (font.weight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
    f.setItalic(font.italic);
    if (font.width > 0) {
        // GDI's width is the average character width: stretch the face to it.
        const double natural = QFontMetricsF(f).averageCharWidth();
        if (natural > 0) f.setStretch(std::clamp(static_cast<int>(std::lround(100 * font.width / natural)), 1, 4000));
    }
    return f;
}

}  // namespace

TTextMetrics MeasureText(const TTextFont& font, const TTextChars& chars) {
    const QFontMetricsF fm(TextQFont(font));
    TTextMetrics m;
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    for (const std::u16string& c : chars) m.advances.push_back(fm.horizontalAdvance(ToQString(c)));
    return m;
}

void DrawTextRun(TDecodedImage& image, const TTextFont& font, const TTextRun& run, int left, int top, int right,
                 int bottom) {
    if (left >= right || top >= bottom || image.Pixels.empty()) return;
    const QFont qfont = TextQFont(font);
    const QFontMetricsF fm(qfont);
    QImage target(reinterpret_cast<uchar*>(image.Pixels.data()), image.Width, image.Height,
                  image.Width * 4, QImage::Format_ARGB32);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(QRect(left, top, right - left, bottom - top));
    painter.translate(run.origin.x, run.origin.y);
    painter.rotate(-run.angle);
    painter.setFont(qfont);
    const QColor colour = QColor::fromRgba(run.colour);
    painter.setPen(colour);
    for (std::size_t i = 0; i < run.chars.size() && i < run.positions.size(); ++i)
        painter.drawText(QPointF(run.positions[i], 0), ToQString(run.chars[i]));
    // The lines go across the whole run, gaps of an advance array included.
    const double thickness = std::max(1.0, std::round(fm.lineWidth()));
    if (font.underline) painter.fillRect(QRectF(0, std::round(fm.underlinePos()), run.width, thickness), colour);
    if (font.strikeOut) painter.fillRect(QRectF(0, -std::round(fm.strikeOutPos()), run.width, thickness), colour);
}

}  // namespace imagecodecs_detail
