// PNG-compressed icon images, decoded by Qt's image reader (the size is checked before any
// pixel is allocated).
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include "vcl/imagecodecs_detail.h"

namespace imagecodecs_detail {

std::optional<TDecodedImage> DecodePng(Bytes png) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(png.data()),
                                              static_cast<qsizetype>(png.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid() || !SizeWithinLimits(size.width(), size.height())) return std::nullopt;
    QImage image;
    if (!reader.read(&image)) return std::nullopt;
    image = image.convertToFormat(QImage::Format_ARGB32);  // 0xAARRGGBB, not premultiplied
    if (image.isNull()) return std::nullopt;

    TDecodedImage out;
    out.Width = image.width();
    out.Height = image.height();
    out.Pixels.resize(static_cast<std::size_t>(out.Width) * out.Height);
    for (int y = 0; y < out.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::copy(row, row + out.Width, out.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * out.Width);
    }
    return out;
}

}  // namespace imagecodecs_detail
