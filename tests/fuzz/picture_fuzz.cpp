// libFuzzer target for one picture decoder, chosen when it is built (PICTURE_ICON, PICTURE_BITMAP,
// PICTURE_WMF or PICTURE_EMF; the two metafile targets share a decoder and differ in their seeds).
// A damaged file may raise only its kind's error; whatever is decoded keeps within the limits.
#include <cstdint>
#include <span>

#include "rtl/consts.h"
#include "rtl/sysutils.h"
#include "vcl/imagecodecs.h"
#include "check.h"

namespace {

void CheckImage(const TDecodedImage& image) {
    Check(image.Width > 0 && image.Height > 0, "a decoded picture has pixels");
    Check(image.Width <= kMaxPictureSide && image.Height <= kMaxPictureSide, "sides within the limit");
    Check(std::int64_t{image.Width} * image.Height <= kMaxPicturePixels, "pixels within the limit");
    Check(image.Pixels.size() == static_cast<std::size_t>(image.Width) * image.Height,
          "one value per pixel");
}

template <typename Decode>
void Decodes(Decode decode, const AnsiString& error) {
    try {
        CheckImage(decode());
    } catch (const EInvalidGraphic& e) {
        Check(e.Message == error, "a damaged file raises its kind's error");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
#if defined(PICTURE_ICON)
    Decodes([&] { return DecodeIcon(bytes); }, SInvalidIcon);
#elif defined(PICTURE_BITMAP)
    Decodes([&] { return DecodeBitmap(bytes); }, SInvalidBitmap);
#elif defined(PICTURE_WMF) || defined(PICTURE_EMF)
    // At its own size (which any frame may set), and at a small width taken from the input's size,
    // as a stretched image draws it.
    Decodes([&] { return DecodeMetafile(bytes); }, SInvalidMetafile);
    Decodes([&] { return DecodeMetafile(bytes, static_cast<int>(1 + size % 256)); }, SInvalidMetafile);
#else
#error "PICTURE_ICON, PICTURE_BITMAP, PICTURE_WMF or PICTURE_EMF"
#endif
    return 0;
}
