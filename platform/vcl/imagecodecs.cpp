// The picture loader and the decoders of device-independent bitmaps, bitmap files and icons.
#include "vcl/imagecodecs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/sysutils.h"
#include "vcl/imagecodecs_detail.h"

namespace imagecodecs_detail {

bool SizeWithinLimits(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

// One colour mask of a bit-field DIB: the field's place and its largest value.
struct TChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit TChannel(std::uint32_t m = 0) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1) == 0) ++shift;
        max = mask >> shift;
    }
    std::uint32_t Scale(std::uint32_t value) const {
        if (max == 0) return 0;
        return static_cast<std::uint32_t>((std::uint64_t{(value & mask) >> shift} * 255 + max / 2) / max);
    }
};

// What a DIB header says, with the places of its colour table and bits inside info.
struct TDibHeader {
    std::int64_t width = 0, height = 0;  // height of the colour image, positive
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
    std::size_t paletteOffset = 0;
    int paletteCount = 0;      // entries read from the colour table
    int paletteEntrySize = 4;  // RGBQUAD, or RGBTRIPLE for the core header
    std::size_t bitsOffset = 0;  // where the bits follow the colour table
};

std::optional<TDibHeader> ParseDibHeader(Bytes info, TDibUse use) {
    TDibHeader h;
    if (info.size() < 12) return std::nullopt;
    const std::uint32_t size = U32(info, 0);
    std::uint64_t tableEntries = 0;
    if (size == 12) {  // BITMAPCOREHEADER
        h.width = U16(info, 4);
        h.height = U16(info, 6);
        h.bitCount = static_cast<int>(U16(info, 10));
        h.paletteEntrySize = 3;
        if (h.bitCount <= 8) tableEntries = std::uint64_t{1} << h.bitCount;
        h.paletteOffset = 12;
    } else if (size >= 40 && size <= info.size()) {  // BITMAPINFOHEADER, V2 to V5, OS/2 2.0
        h.width = S32(info, 4);
        const std::int64_t height = S32(info, 8);
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        h.bitCount = static_cast<int>(U16(info, 14));
        h.compression = U32(info, 16);
        const std::uint32_t clrUsed = U32(info, 32);
        h.paletteOffset = size;
        if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
            const int count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
            std::size_t at = 40;
            if (size < 40u + 4u * count) h.paletteOffset = 40 + 4 * count;  // masks follow the header
            if (size >= 56 && h.compression == BI_BITFIELDS) h.masks[3] = U32(info, 52);
            if (h.paletteOffset > info.size()) return std::nullopt;
            for (int i = 0; i < count; ++i) h.masks[i] = U32(info, at + 4 * i);
        }
        if (h.bitCount <= 8) {
            if (clrUsed > 256) return std::nullopt;
            tableEntries = clrUsed != 0 ? clrUsed : std::uint64_t{1} << h.bitCount;
        } else {
            tableEntries = clrUsed;  // an optional table that the bits follow
        }
    } else {
        return std::nullopt;
    }

    if (use == TDibUse::Icon) {
        if (h.topDown || size == 12) return std::nullopt;
        h.height /= 2;
    }
    switch (h.bitCount) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default: return std::nullopt;
    }
    switch (h.compression) {
        case BI_RGB: break;
        case BI_RLE8: if (h.bitCount != 8 || h.topDown || use == TDibUse::Icon) return std::nullopt; break;
        case BI_RLE4: if (h.bitCount != 4 || h.topDown || use == TDibUse::Icon) return std::nullopt; break;
        case BI_BITFIELDS: case BI_ALPHABITFIELDS: if (h.bitCount != 16 && h.bitCount != 32) return std::nullopt; break;
        default: return std::nullopt;  // JPEG and PNG inside a DIB are not for screens
    }
    if (!SizeWithinLimits(h.width, h.height)) return std::nullopt;

    if (h.compression == BI_RGB) {
        if (h.bitCount == 16) h.masks = {0x7C00, 0x03E0, 0x001F, 0};
        if (h.bitCount >= 24) h.masks = {0xFF0000, 0x00FF00, 0x0000FF, use == TDibUse::Icon ? 0xFF000000u : 0};
    }
    const std::uint64_t tableBytes = tableEntries * static_cast<std::uint64_t>(h.paletteEntrySize);
    if (tableBytes > info.size() - std::min<std::size_t>(h.paletteOffset, info.size())) {
        if (h.bitCount <= 8) return std::nullopt;  // the colour table itself is cut off
        tableEntries = 0;
    }
    h.paletteCount = h.bitCount <= 8 ? static_cast<int>(std::min<std::uint64_t>(tableEntries, 1u << h.bitCount)) : 0;
    h.bitsOffset = h.paletteOffset + static_cast<std::size_t>(tableEntries) * h.paletteEntrySize;
    return h;
}

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return kOpaque | r << 16 | g << 8 | b; }

// Run-length encoded bits (bottom-up): runs, absolute runs, end of line, delta and end of bitmap.
// Pixels that no run reaches stay black, as in a fresh device bitmap.
void DecodeRle(Bytes bits, const TDibHeader& h, const std::vector<std::uint32_t>& palette, TDecodedImage& out) {
    const bool four = h.compression == BI_RLE4;
    auto colour = [&](std::uint32_t index) { return index < palette.size() ? palette[index] : kOpaque; };
    std::int64_t x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](std::uint32_t index) {
        if (x < out.Width && y < out.Height)
            out.Pixels[static_cast<std::size_t>(out.Height - 1 - y) * out.Width + x] = colour(index);
        ++x;
    };
    std::size_t at = 0;
    while (at + 1 < bits.size() && y < out.Height) {
        const std::uint32_t count = bits[at], value = bits[at + 1];
        at += 2;
        if (count > 0) {
            for (std::uint32_t i = 0; i < count && x < out.Width; ++i)
                put(four ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
            continue;
        }
        if (value == 0) { x = 0; ++y; continue; }  // end of line
        if (value == 1) break;                     // end of bitmap
        if (value == 2) {                          // delta
            if (at + 1 >= bits.size()) break;
            x += bits[at];
            y += bits[at + 1];
            at += 2;
            continue;
        }
        const std::size_t length = four ? (value + 1) / 2 : value;  // absolute run
        if (at + length > bits.size()) break;
        for (std::uint32_t i = 0; i < value; ++i) {
            const std::uint32_t byte = bits[at + (four ? i / 2 : i)];
            put(four ? (i % 2 == 0 ? byte >> 4 : byte & 15) : byte);
        }
        at += (length + 1) & ~std::size_t{1};  // absolute runs end on a 16-bit boundary
    }
}

}  // namespace

int DibBitCount(Bytes info) {
    const std::uint32_t size = U32(info, 0);
    if (size == 12 && info.size() >= 12) return static_cast<int>(U16(info, 10));
    if (size >= 40 && info.size() >= 40) return static_cast<int>(U16(info, 14));
    return 0;
}

std::optional<TDecodedImage> DecodeDib(Bytes info, Bytes bits, TDibUse use) {
    const std::optional<TDibHeader> parsed = ParseDibHeader(info, use);
    if (!parsed) return std::nullopt;
    const TDibHeader& h = *parsed;
    if (bits.empty()) bits = Slice(info, h.bitsOffset);

    std::vector<std::uint32_t> palette;
    for (int i = 0; i < h.paletteCount; ++i) {
        const std::size_t at = h.paletteOffset + static_cast<std::size_t>(i) * h.paletteEntrySize;
        palette.push_back(Rgb(U8(info, at + 2), U8(info, at + 1), U8(info, at)));
    }

    const std::int64_t stride = (h.width * h.bitCount + 31) / 32 * 4;
    const std::int64_t maskStride = (h.width + 31) / 32 * 4;
    const bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
    bool hasMask = false;
    if (!rle) {
        const std::int64_t colourBytes = stride * h.height;
        if (colourBytes > static_cast<std::int64_t>(bits.size())) return std::nullopt;
        if (use == TDibUse::Icon) {
            hasMask = colourBytes + maskStride * h.height <= static_cast<std::int64_t>(bits.size());
            if (!hasMask && h.bitCount != 32) return std::nullopt;  // only an alpha image may lack its mask
        }
    }

    TDecodedImage out;
    out.Width = static_cast<int>(h.width);
    out.Height = static_cast<int>(h.height);
    out.Pixels.assign(static_cast<std::size_t>(h.width * h.height), kOpaque);
    if (rle) {
        DecodeRle(bits, h, palette, out);
        return out;
    }

    const TChannel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
    bool anyAlpha = false;
    for (int y = 0; y < out.Height; ++y) {
        const std::size_t row = static_cast<std::size_t>((h.topDown ? y : out.Height - 1 - y) * stride);
        std::uint32_t* dst = &out.Pixels[static_cast<std::size_t>(y) * out.Width];
        for (int x = 0; x < out.Width; ++x) {
            std::uint32_t value;
            switch (h.bitCount) {
                case 1: case 4: case 8: {
                    const std::size_t bit = static_cast<std::size_t>(x) * h.bitCount;
                    const std::uint32_t byte = bits[row + bit / 8];
                    const std::uint32_t index = (byte >> (8 - h.bitCount - bit % 8)) & ((1u << h.bitCount) - 1);
                    dst[x] = index < palette.size() ? palette[index] : kOpaque;
                    continue;
                }
                case 16: value = U16(bits, row + 2 * x); break;
                case 24: value = U16(bits, row + 3 * x) | U8(bits, row + 3 * x + 2) << 16; break;
                default: value = U32(bits, row + 4 * x); break;
            }
            const std::uint32_t a = alpha.Scale(value);
            anyAlpha = anyAlpha || a != 0;
            dst[x] = a << 24 | red.Scale(value) << 16 | green.Scale(value) << 8 | blue.Scale(value);
        }
    }

    // Bitmaps draw opaque; an icon uses its alpha channel when it has one, else its AND mask.
    const bool useAlpha = use == TDibUse::Icon && anyAlpha;
    if (!useAlpha)
        for (std::uint32_t& p : out.Pixels) p |= kOpaque;
    if (use == TDibUse::Icon && !useAlpha && hasMask) {
        const std::size_t maskStart = static_cast<std::size_t>(stride * h.height);
        for (int y = 0; y < out.Height; ++y) {
            const std::size_t row = maskStart + static_cast<std::size_t>((out.Height - 1 - y) * maskStride);
            for (int x = 0; x < out.Width; ++x)
                if ((bits[row + x / 8] >> (7 - x % 8)) & 1)  // set: the screen shows through
                    out.Pixels[static_cast<std::size_t>(y) * out.Width + x] = 0;
        }
    }
    return out;
}

bool IsPng(Bytes data) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return data.size() >= 8 && std::equal(kSignature, kSignature + 8, data.begin());
}

}  // namespace imagecodecs_detail

using namespace imagecodecs_detail;

namespace {

[[noreturn]] void Invalid(const AnsiString& message) { throw EInvalidGraphic(message); }

std::uint32_t BigEndian32(Bytes b, std::size_t at) {
    return U8(b, at) << 24 | U8(b, at + 1) << 16 | U8(b, at + 2) << 8 | U8(b, at + 3);
}

// One image of an icon file, as far as choosing among them needs.
struct TIconCandidate {
    Bytes data;
    std::int64_t width = 0, height = 0;
    int bitCount = 0;
    bool png = false;
};

std::optional<TIconCandidate> ReadIconEntry(Bytes file, std::size_t entry) {
    const std::uint32_t length = U32(file, entry + 8), offset = U32(file, entry + 12);
    if (offset >= file.size() || length > file.size() - offset) return std::nullopt;
    TIconCandidate c;
    c.data = Slice(file, offset, length);
    if (IsPng(c.data)) {
        if (c.data.size() < 26) return std::nullopt;
        c.png = true;
        c.width = BigEndian32(c.data, 16);
        c.height = BigEndian32(c.data, 20);
        c.bitCount = 32;
    } else {
        if (c.data.size() < 40 || U32(c.data, 0) < 40) return std::nullopt;
        c.width = S32(c.data, 4);
        c.height = S32(c.data, 8) / 2;
        c.bitCount = DibBitCount(c.data);
    }
    return c;
}

}  // namespace

TDecodedImage DecodeIcon(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 6 || U16(bytes, 0) != 0 || U16(bytes, 2) != 1) Invalid(SInvalidIcon);
    const std::size_t count = U16(bytes, 4);
    if (count == 0 || 6 + 16 * count > bytes.size()) Invalid(SInvalidIcon);

    // The image shown at the standard icon size: the nearest in size, then the most colours.
    std::optional<TIconCandidate> best;
    auto distance = [](const TIconCandidate& c) { return std::abs(c.width - 32) + std::abs(c.height - 32); };
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<TIconCandidate> c = ReadIconEntry(bytes, 6 + 16 * i);
        if (!c) continue;
        if (!best || distance(*c) < distance(*best) ||
            (distance(*c) == distance(*best) && c->bitCount > best->bitCount))
            best = c;
    }
    if (!best) Invalid(SInvalidIcon);
    std::optional<TDecodedImage> image =
        best->png ? DecodePng(best->data) : DecodeDib(best->data, {}, TDibUse::Icon);
    if (!image) Invalid(SInvalidIcon);
    return std::move(*image);
}

TDecodedImage DecodeBitmap(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M') Invalid(SInvalidBitmap);
    const Bytes info = Slice(bytes, 14);
    // The file header says where the bits begin; a place inside the headers is not believed.
    const std::uint64_t bitsOffset = U32(bytes, 10);
    Bytes bits;
    if (bitsOffset >= 14 + std::uint64_t{U32(info, 0)} && bitsOffset < bytes.size()) bits = Slice(bytes, bitsOffset);
    std::optional<TDecodedImage> image = DecodeDib(info, bits, TDibUse::Bitmap);
    if (!image) Invalid(SInvalidBitmap);
    return std::move(*image);
}

TPictureKind PictureKindOfFile(const AnsiString& path) {
    const AnsiString name = path.SubString(path.LastDelimiter("/") + 1, path.Length());
    const int dot = name.LastDelimiter(".");
    const AnsiString suffix = dot == 0 ? AnsiString() : name.SubString(dot + 1, name.Length());
    std::string lower = suffix.str();
    for (char& c : lower) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (lower == "ico") return TPictureKind::Icon;
    if (lower == "bmp") return TPictureKind::Bitmap;
    if (lower == "wmf" || lower == "emf") return TPictureKind::Metafile;
    throw EInvalidGraphic(Format(SUnknownExtension, {suffix}));
}

std::vector<std::uint8_t> ReadPictureFile(const AnsiString& path, const AnsiString& invalidMessage) {
    // Opened without waiting, so that a named pipe or a device never stalls the loader; only a
    // regular file can hold a picture.
    struct TCloser {
        int fd;
        ~TCloser() { ::close(fd); }
    };
    const int fd = ::open(AnsiToUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) throw EFOpenError(Format(SFOpenError, {path}));
    const TCloser closer{fd};
    struct stat info {};
    // A folder cannot be opened as a file; a pipe or a device can, but holds no picture.
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) throw EFOpenError(Format(SFOpenError, {path}));
    if (!S_ISREG(info.st_mode) || info.st_size > kMaxPictureFileBytes) Invalid(invalidMessage);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // cut short: the decoder finds the picture incomplete
        filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    return bytes;
}

TDecodedPicture DecodePictureFile(const AnsiString& path) {
    TDecodedPicture picture;
    picture.Kind = PictureKindOfFile(path);
    switch (picture.Kind) {
        case TPictureKind::Icon: picture.Image = DecodeIcon(ReadPictureFile(path, SInvalidIcon)); break;
        case TPictureKind::Bitmap: picture.Image = DecodeBitmap(ReadPictureFile(path, SInvalidBitmap)); break;
        case TPictureKind::Metafile: picture.Image = DecodeMetafile(ReadPictureFile(path, SInvalidMetafile)); break;
    }
    return picture;
}
