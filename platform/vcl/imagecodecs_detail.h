// Private parts shared by the picture decoders: bounds-checked little-endian reading and the
// device-independent bitmap (DIB) decoder that bitmap files, icons and metafiles all carry.
#pragma once

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

#include "vcl/imagecodecs.h"

namespace imagecodecs_detail {

using Bytes = std::span<const std::uint8_t>;

// Little-endian fields at byte offsets; a read past the end gives 0, so callers check sizes
// first and never read outside the file.
inline std::uint32_t U8(Bytes b, std::size_t at) { return at < b.size() ? b[at] : 0; }
inline std::uint32_t U16(Bytes b, std::size_t at) { return U8(b, at) | U8(b, at + 1) << 8; }
inline std::uint32_t U32(Bytes b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }
inline std::int32_t S16(Bytes b, std::size_t at) { return static_cast<std::int16_t>(U16(b, at)); }
inline std::int32_t S32(Bytes b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

// The part of b from offset on, at most length bytes; empty when offset lies beyond the end.
inline Bytes Slice(Bytes b, std::size_t offset, std::size_t length = SIZE_MAX) {
    if (offset >= b.size()) return {};
    return b.subspan(offset, std::min(length, b.size() - offset));
}

// A double squeezed into [low, high] before it becomes an int (NaN gives low).
inline int ClampToInt(double v, int low, int high) {
    if (!(v > low)) return low;
    if (v > high) return high;
    return static_cast<int>(v);
}

// True when width x height lies within the picture limits.
bool SizeWithinLimits(std::int64_t width, std::int64_t height);

// How a DIB is laid out: header, colour table and bits.
enum class TDibUse {
    Bitmap,  // a bitmap file or a metafile record: opaque, RLE allowed, top-down allowed
    Icon,    // an icon image: doubled height, AND mask after the colour bits, alpha if 32 bits
};

// Decodes a DIB whose header (and colour table) start at info, with its colour bits in bits
// (for an icon: the colour bits followed by the mask). An empty bits span means the bits follow
// the colour table inside info. Returns nothing for a damaged or unsupported DIB, or one beyond
// the picture limits (checked before any pixel is allocated).
std::optional<TDecodedImage> DecodeDib(Bytes info, Bytes bits, TDibUse use);

// The bit depth a DIB header announces (0 when the header is unreadable); used to rank icon images.
int DibBitCount(Bytes info);

// PNG data (a PNG-compressed icon image) through the toolkit's decoder; nothing when damaged
// or beyond the picture limits.
std::optional<TDecodedImage> DecodePng(Bytes png);
bool IsPng(Bytes data);

}  // namespace imagecodecs_detail
