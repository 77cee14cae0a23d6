#include "vcl/pictures.h"

#include <algorithm>

#include "rtl/consts.h"
#include "rtl/sysutils.h"

namespace {

// A decoded bitmap file as our pixel buffer.
std::unique_ptr<TBitmap> MakeBitmap(const TDecodedImage& image) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(image.Width, image.Height);
    for (int y = 0; y < image.Height; ++y) {
        auto* row = static_cast<std::uint8_t*>(bitmap->ScanLine(y));
        for (int x = 0; x < image.Width; ++x) {
            std::uint32_t argb = image.Pixel(x, y);
            row[3 * x] = argb & 0xFF;
            row[3 * x + 1] = (argb >> 8) & 0xFF;
            row[3 * x + 2] = (argb >> 16) & 0xFF;
        }
    }
    return bitmap;
}

}  // namespace

void TDecodedGraphic::Draw(TCanvas* canvas, const TRect& rect) {
    int width = rect.Width(), height = rect.Height();
    if (Empty() || width <= 0 || height <= 0) return;
    const TDecodedImage& image = ImageFor(width, height);
    if (image.Width == 0 || image.Height == 0) return;
    for (int y = 0; y < height; ++y) {
        int sy = static_cast<int>(static_cast<long long>(y) * image.Height / height);
        for (int x = 0; x < width; ++x) {
            int sx = static_cast<int>(static_cast<long long>(x) * image.Width / width);
            std::uint32_t argb = image.Pixel(sx, sy);
            unsigned alpha = argb >> 24;
            if (alpha == 0) continue;
            int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
            int px = rect.Left + x, py = rect.Top + y;
            if (alpha < 255) {
                TColor under = canvas->Pixels(px, py);
                if (under == -1) continue;  // outside the clipping area
                r = (r * alpha + GetRValue(under) * (255 - alpha)) / 255;
                g = (g * alpha + GetGValue(under) * (255 - alpha)) / 255;
                b = (b * alpha + GetBValue(under) * (255 - alpha)) / 255;
            }
            canvas->SetPixels(px, py, RGB(r, g, b));
        }
    }
}

const TDecodedImage& TMetafile::ImageFor(int width, int height) {
    if (width == FImage.Width) return FImage;
    if (FScaled.Width != width) FScaled = DecodeMetafile({FBytes.data(), FBytes.size()}, width);
    return FScaled;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::LoadFromFile(const AnsiString& FileName) {
    // The kind comes from the suffix before the file is opened.
    TPictureKind kind = PictureKindOfFile(FileName);
    static const AnsiString* const invalid[] = {&SInvalidIcon, &SInvalidBitmap, &SInvalidMetafile};
    std::vector<std::uint8_t> bytes = ReadPictureFile(FileName, *invalid[static_cast<int>(kind)]);
    TDecodedImage image = Decode(kind, bytes);
    SetDecoded(std::move(image), kind, std::move(bytes));
}

void TPicture::LoadFromLayoutData(const std::string& data) {
    std::size_t nameLength = data.empty() ? 0 : static_cast<unsigned char>(data[0]);
    std::string className = data.substr(data.empty() ? 0 : 1, nameLength);
    std::vector<std::uint8_t> bytes(data.begin() + std::min(data.size(), 1 + nameLength), data.end());
    TPictureKind kind;
    if (className == "TIcon")
        kind = TPictureKind::Icon;
    else if (className == "TBitmap")
        kind = TPictureKind::Bitmap;
    else if (className == "TMetafile")
        kind = TPictureKind::Metafile;
    else
        throw EInvalidGraphic(Format(SUnknownExtension, {AnsiString(className)}));
    TDecodedImage image = Decode(kind, bytes);
    SetDecoded(std::move(image), kind, std::move(bytes));
}

TDecodedImage TPicture::Decode(TPictureKind kind, const std::vector<std::uint8_t>& bytes) {
    std::span<const std::uint8_t> span(bytes.data(), bytes.size());
    switch (kind) {
        case TPictureKind::Icon: return DecodeIcon(span);
        case TPictureKind::Bitmap: return DecodeBitmap(span);
        case TPictureKind::Metafile: return DecodeMetafile(span);
    }
    return {};
}

void TPicture::SetDecoded(TDecodedImage image, TPictureKind kind, std::vector<std::uint8_t> bytes) {
    switch (kind) {
        case TPictureKind::Icon:
            FGraphic = std::make_unique<TIcon>(std::move(image));
            break;
        case TPictureKind::Bitmap:
            FGraphic = MakeBitmap(image);
            break;
        case TPictureKind::Metafile:
            FGraphic = std::make_unique<TMetafile>(std::move(image), std::move(bytes));
            break;
    }
    Changed();
}

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}
