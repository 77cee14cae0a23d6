// Picture decoding behind the class library's icon, bitmap and metafile classes: turns the bytes
// of a Windows .ico, .bmp, .wmf or .emf file into a plain pixel image; our own decoders and our
// own small metafile player, no toolkit involved (PNG-compressed icon images go through Qt).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "rtl/system.h"

// A decoded picture: 0xAARRGGBB pixels, rows top-down; alpha 0 is transparent, 255 opaque.
struct TDecodedImage {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels;

    std::uint32_t Pixel(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// Limits that keep a hostile file from taking the machine: no side above kMaxPictureSide and no
// more than kMaxPicturePixels in all; a bitmap or icon beyond them is refused, a metafile is
// rendered smaller. Files above kMaxPictureFileBytes are not read.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 24;
inline constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{1} << 27;

// A Windows icon file: the image shown at 32 x 32 (the one nearest that size, then the one with
// the most colours); transparent where the AND mask is set, or by its alpha channel.
// Raises EInvalidGraphic(SInvalidIcon) for a file that is no icon or is damaged.
TDecodedImage DecodeIcon(std::span<const std::uint8_t> bytes);

// A Windows bitmap file (all pixels opaque, as drawn by GDI).
// Raises EInvalidGraphic(SInvalidBitmap) for a file that is no bitmap or is damaged.
TDecodedImage DecodeBitmap(std::span<const std::uint8_t> bytes);

// A Windows metafile (placeable or plain .wmf) or enhanced metafile (.emf), told apart by its
// content and played into a transparent image. widthHint 0 renders at the picture's own size
// at 96 dots per inch; a positive widthHint renders that many pixels wide, the height following
// the picture's proportions. A plain .wmf gets its size from its window extent. Text is drawn
// through the toolkit, which then needs its application object. Raises
// EInvalidGraphic(SInvalidMetafile) for a bad header or signature.
TDecodedImage DecodeMetafile(std::span<const std::uint8_t> bytes, int widthHint = 0);

// The picture kinds the class library's picture loader knows.
enum class TPictureKind { Icon, Bitmap, Metafile };

// The kind named by the suffix after the last "." of the file name, letter case ignored:
// "ico", "bmp", "wmf", "emf". Any other suffix, or none, raises
// EInvalidGraphic("拡張子 .%s の画像形式は処理できません") with the suffix as written.
TPictureKind PictureKindOfFile(const AnsiString& path);

// The whole content of a file (path in code page 932); EFOpenError("ファイル %s は開けません")
// when it cannot be opened or is a folder. A named pipe, a device or anything else that is no
// regular file, and a file above kMaxPictureFileBytes, raise invalidMessage (the picture kind's
// own error) as EInvalidGraphic; none of them is ever waited on.
std::vector<std::uint8_t> ReadPictureFile(const AnsiString& path, const AnsiString& invalidMessage);

struct TDecodedPicture {
    TPictureKind Kind = TPictureKind::Bitmap;
    TDecodedImage Image;
};

// The picture loader: the kind by the suffix (checked before the file is opened), then the
// file read and decoded by that kind's decoder.
TDecodedPicture DecodePictureFile(const AnsiString& path);
