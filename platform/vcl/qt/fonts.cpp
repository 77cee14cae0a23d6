// The faces the programs name, drawn by their installed stand-ins in the labels' text style:
// plain pixels without anti-aliasing, full hinting, no kerning.
#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <algorithm>

#include "vcl/qt/glue.h"

namespace {

// The Windows faces the programs name, and the metric-compatible IPA fonts drawn for them.
struct TFaceMap {
    const char* Windows;
    const char* Ipa;
};
constexpr TFaceMap kFaces[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"ＭＳ 明朝", "IPAMincho"},
};

}  // namespace

QFont LabelFont(const QString& face, int height) {
    QString family = face;
    for (const TFaceMap& m : kFaces)
        if (face == QString::fromUtf8(m.Windows)) family = QString::fromUtf8(m.Ipa);
    QFont f(family);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    if (height < 0) {
        f.setPixelSize(-height);  // the em height
    } else {
        // The cell height (em and internal leading): find the em that gives it.
        const int cell = height == 0 ? 16 : height;
        f.setPixelSize(cell);
        const int measured = QFontMetrics(f).height();
        if (measured > 0) f.setPixelSize(std::max(1, cell * cell / measured));
    }
    return f;
}
