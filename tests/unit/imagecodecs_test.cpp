#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/sysutils.h"
#include "vcl/imagecodecs.h"
#include "vcl/resources.h"
#include "support/pictures.h"
#include "support/pipe.h"

namespace {

using namespace testpictures;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                        kBlack = 0xFF000000;

AnsiString InvalidMessage(const std::function<void()>& f) {
    try {
        f();
    } catch (const EInvalidGraphic& e) {
        return e.Message;
    }
    return "(no EInvalidGraphic)";
}

// --- Bitmaps --------------------------------------------------------------------------------

ByteVector InfoHeader(int w, int h, int bpp, std::uint32_t compression = 0, std::uint32_t clrUsed = 0) {
    return Writer().u32(40).u32(w).u32(static_cast<std::uint32_t>(h)).u16(1).u16(bpp).u32(compression)
        .u32(0).u32(0).u32(0).u32(clrUsed).u32(0).b;
}

ByteVector BmpFile(const ByteVector& info, const ByteVector& table, const ByteVector& bits) {
    Writer w;
    w.u8('B').u8('M').u32(0).u32(0).u32(static_cast<std::uint32_t>(14 + info.size() + table.size()));
    w.bytes(info).bytes(table).bytes(bits);
    w.put32(2, static_cast<std::uint32_t>(w.b.size()));
    return w.b;
}

ByteVector Quads(const std::vector<std::uint32_t>& colours) {
    Writer w;
    for (std::uint32_t c : colours) w.u8(c & 0xFF).u8(c >> 8 & 0xFF).u8(c >> 16 & 0xFF).u8(0);
    return w.b;
}

// The same 2 x 2 picture (red, green over blue, white) in every encoding a bitmap file may use.
struct BitmapCase { const char* name; ByteVector file; };

std::vector<BitmapCase> TwoByTwoBitmaps() {
    std::vector<BitmapCase> cases;
    auto bgr = [](Writer& w, std::uint32_t c) { w.u8(c & 0xFF).u8(c >> 8 & 0xFF).u8(c >> 16 & 0xFF); };
    {
        Writer bits;  // rows bottom-up, each padded to 4 bytes
        bgr(bits, kBlue); bgr(bits, kWhite); bits.pad(4);
        bgr(bits, kRed); bgr(bits, kGreen); bits.pad(4);
        cases.push_back({"24 bits bottom-up", BmpFile(InfoHeader(2, 2, 24), {}, bits.b)});
    }
    {
        Writer bits;
        bgr(bits, kRed); bgr(bits, kGreen); bits.pad(4);
        bgr(bits, kBlue); bgr(bits, kWhite); bits.pad(4);
        cases.push_back({"24 bits top-down", BmpFile(InfoHeader(2, -2, 24), {}, bits.b)});
    }
    const ByteVector four = Quads({kRed, kGreen, kBlue, kWhite});
    cases.push_back({"8-bit palette", BmpFile(InfoHeader(2, 2, 8, 0, 4), four, {2, 3, 0, 0, 0, 1, 0, 0})});
    {
        std::vector<std::uint32_t> sixteen(16, kBlack);
        sixteen[5] = kRed; sixteen[6] = kGreen; sixteen[7] = kBlue; sixteen[8] = kWhite;
        cases.push_back({"4-bit palette", BmpFile(InfoHeader(2, 2, 4), Quads(sixteen), {0x78, 0, 0, 0, 0x56, 0, 0, 0})});
    }
    {
        Writer core;  // BITMAPCOREHEADER with a table of RGB triples
        core.u32(12).u16(2).u16(2).u16(1).u16(8);
        Writer table;
        for (int i = 0; i < 256; ++i) bgr(table, i == 1 ? kRed : i == 2 ? kGreen : i == 3 ? kBlue : i == 4 ? kWhite : kBlack);
        cases.push_back({"core header", BmpFile(core.b, table.b, {3, 4, 0, 0, 1, 2, 0, 0})});
    }
    cases.push_back({"16 bits 5-5-5", BmpFile(InfoHeader(2, 2, 16), {},
                                               Writer().u16(0x001F).u16(0x7FFF).u16(0x7C00).u16(0x03E0).b)});
    {
        // Bit fields after the header, in an order no default has.
        const ByteVector masks = Writer().u32(0xFF000000).u32(0x00FF0000).u32(0x0000FF00).b;
        auto px = [](std::uint32_t c) { return (c & 0xFFFFFF) << 8; };
        cases.push_back({"32-bit bit fields", BmpFile(InfoHeader(2, 2, 32, 3), masks,
                                                       Writer().u32(px(kBlue)).u32(px(kWhite)).u32(px(kRed)).u32(px(kGreen)).b)});
    }
    cases.push_back({"RLE8", BmpFile(InfoHeader(2, 2, 8, 1, 4), four, {1, 2, 1, 3, 0, 0, 1, 0, 1, 1, 0, 1})});
    // An absolute run of three, the third beyond the row, padded to a 16-bit boundary.
    cases.push_back({"RLE8 absolute run", BmpFile(InfoHeader(2, 2, 8, 1, 4), four, {1, 2, 1, 3, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1})});
    cases.push_back({"RLE4", BmpFile(InfoHeader(2, 2, 4, 2, 4), four, {2, 0x23, 0, 0, 2, 0x01, 0, 1})});
    return cases;
}

TEST(DecodeBitmap, EveryEncodingGivesTheSamePictureTopRowFirst) {
    for (const BitmapCase& c : TwoByTwoBitmaps()) {
        SCOPED_TRACE(c.name);
        const TDecodedImage image = DecodeBitmap(c.file);
        ASSERT_EQ(image.Width, 2);
        ASSERT_EQ(image.Height, 2);
        EXPECT_EQ(image.Pixel(0, 0), kRed);
        EXPECT_EQ(image.Pixel(1, 0), kGreen);
        EXPECT_EQ(image.Pixel(0, 1), kBlue);
        EXPECT_EQ(image.Pixel(1, 1), kWhite);
    }
}

TEST(DecodeBitmap, RowPaddingOfAnOddWidth) {
    // 3 pixels of 4 bits take 2 bytes, padded to 4: the second row must start at byte 4.
    std::vector<std::uint32_t> table(16, kBlack);
    table[1] = kRed; table[2] = kBlue;
    const TDecodedImage image = DecodeBitmap(BmpFile(InfoHeader(3, 2, 4), Quads(table), {0x22, 0x20, 0xEE, 0xEE, 0x11, 0x10, 0, 0}));
    EXPECT_EQ(image.Pixel(2, 0), kRed);
    EXPECT_EQ(image.Pixel(2, 1), kBlue);
}

TEST(DecodeBitmap, DamagedFilesRaiseTheBitmapError) {
    const ByteVector good = TwoByTwoBitmaps()[0].file;
    ByteVector truncated(good.begin(), good.end() - 1);
    ByteVector badDepth = good; badDepth[14 + 14] = 3;
    ByteVector badHeader = good; badHeader[14] = 20;
    ByteVector garbage(64, 0xFF); garbage[0] = 'B'; garbage[1] = 'M';
    const std::vector<std::pair<const char*, ByteVector>> cases = {
        {"empty", {}},
        {"file header only", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"no BM", ByteVector(good.begin() + 2, good.end())},
        {"bits cut short", truncated},
        {"bit depth 3", badDepth},
        {"header size 20", badHeader},
        {"garbage", garbage},
        {"top-down RLE", BmpFile(InfoHeader(2, -2, 8, 1, 4), Quads({kRed}), {0, 1})},
        {"JPEG inside", BmpFile(InfoHeader(2, 2, 24, 4), {}, ByteVector(16))},
        {"colour table too long", BmpFile(InfoHeader(2, 2, 8, 0, 1000), {}, ByteVector(16))},
        {"colour table cut off", BmpFile(InfoHeader(2, 2, 8), Quads({kRed, kBlue}), {})},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(InvalidMessage([&] { DecodeBitmap(bytes); }), SInvalidBitmap) << name;
}

TEST(DecodeBitmap, HugeDimensionsAreRefusedBeforeAnyPixelIsAllocated) {
    // Run-length data never holds as many bytes as the picture has pixels, so only the limits
    // keep these few bytes from asking for gigabytes.
    const ByteVector rle = {0, 1};
    EXPECT_EQ(InvalidMessage([&] { DecodeBitmap(BmpFile(InfoHeader(100000, 100000, 8, 1), Quads({kRed}), rle)); }), SInvalidBitmap);
    EXPECT_EQ(InvalidMessage([&] { DecodeBitmap(BmpFile(InfoHeader(16384, 16384, 8, 1), Quads({kRed}), rle)); }), SInvalidBitmap);
    EXPECT_EQ(InvalidMessage([&] { DecodeBitmap(BmpFile(InfoHeader(16385, 1, 8, 1), Quads({kRed}), rle)); }), SInvalidBitmap);
    EXPECT_EQ(InvalidMessage([&] { DecodeBitmap(BmpFile(InfoHeader(1, -2147483647 - 1, 24), {}, {})); }), SInvalidBitmap);
    const TDecodedImage fits = DecodeBitmap(BmpFile(InfoHeader(4096, 4, 8, 1, 1), Quads({kRed}), rle));
    EXPECT_EQ(fits.Width, 4096);
}

// --- Icons ----------------------------------------------------------------------------------

// A grey ramp: index i is grey level 17 * i.
std::uint32_t Grey(int i) { return 0xFF000000u | 0x111111u * static_cast<std::uint32_t>(i); }

// An icon image: a DIB of doubled height, colour rows then AND-mask rows, both bottom-up.
ByteVector IconImage(int w, int h, int bpp, const std::function<std::uint32_t(int, int)>& colour,
                     const std::function<bool(int, int)>& masked) {
    Writer img;
    img.bytes(Writer().u32(40).u32(w).u32(2 * h).u16(1).u16(bpp).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).b);
    if (bpp <= 8) {
        std::vector<std::uint32_t> table;
        for (int i = 0; i < (1 << bpp); ++i) table.push_back(Grey(i % 16));
        img.bytes(Quads(table));
    }
    for (int y = h - 1; y >= 0; --y) {
        Writer row;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colour(x, y);
            if (bpp == 4) {
                if (x % 2 == 0) row.u8(c << 4);
                else row.b.back() |= static_cast<std::uint8_t>(c);
            } else if (bpp == 8) {
                row.u8(c);
            } else {
                row.u32(c);  // 32 bits: B, G, R, A
            }
        }
        row.pad(4);
        img.bytes(row.b);
    }
    for (int y = h - 1; y >= 0; --y) {
        Writer row;
        for (int x = 0; x < w; x += 8) {
            unsigned bits = 0;
            for (int k = 0; k < 8; ++k) if (x + k < w && masked(x + k, y)) bits |= 0x80u >> k;
            row.u8(bits);
        }
        row.pad(4);
        img.bytes(row.b);
    }
    return img.b;
}

struct IconEntry { int w, h, bpp; ByteVector data; };

ByteVector IconFile(const std::vector<IconEntry>& entries, unsigned type = 1) {
    Writer w;
    w.u16(0).u16(type).u16(static_cast<unsigned>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const IconEntry& e : entries) {
        w.u8(e.w & 0xFF).u8(e.h & 0xFF).u8(e.bpp == 4 ? 16 : 0).u8(0).u16(1).u16(e.bpp)
            .u32(static_cast<std::uint32_t>(e.data.size())).u32(offset);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const IconEntry& e : entries) w.bytes(e.data);
    return w.b;
}

// 32 x 32, 16 colours: index (x + 2y) mod 16, transparent in the top right 8 x 8 block.
ByteVector TestIcon() {
    return IconFile({{32, 32, 4, IconImage(32, 32, 4, [](int x, int y) { return static_cast<std::uint32_t>((x + 2 * y) % 16); },
                                            [](int x, int y) { return x >= 24 && y < 8; })}});
}

TEST(DecodeIcon, SixteenColourImageWithItsMask) {
    const TDecodedImage icon = DecodeIcon(TestIcon());
    ASSERT_EQ(icon.Width, 32);
    ASSERT_EQ(icon.Height, 32);
    EXPECT_EQ(icon.Pixel(0, 0), Grey(0));
    EXPECT_EQ(icon.Pixel(1, 0), Grey(1));
    EXPECT_EQ(icon.Pixel(0, 1), Grey(2));   // rows come top-down
    EXPECT_EQ(icon.Pixel(30, 20), Grey(6)); // (30 + 40) mod 16
    EXPECT_EQ(icon.Pixel(24, 0) >> 24, 0u);  // the mask makes it transparent
    EXPECT_EQ(icon.Pixel(31, 7) >> 24, 0u);
    EXPECT_EQ(icon.Pixel(23, 7), Grey((23 + 14) % 16));
    EXPECT_EQ(icon.Pixel(31, 8), Grey((31 + 16) % 16));
}

TEST(DecodeIcon, ThePictureShownIsTheStandardSizeWithTheMostColours) {
    auto plain = [](int w, int bpp, int index) {
        return IconEntry{w, w, bpp, IconImage(w, w, bpp, [=](int, int) { return static_cast<std::uint32_t>(index); },
                                               [](int, int) { return false; })};
    };
    const TDecodedImage icon = DecodeIcon(IconFile({plain(16, 8, 1), plain(32, 4, 2), plain(32, 8, 3), plain(48, 8, 4)}));
    EXPECT_EQ(icon.Width, 32);
    EXPECT_EQ(icon.Pixel(5, 5), Grey(3));
    const TDecodedImage nearest = DecodeIcon(IconFile({plain(16, 8, 1), plain(48, 4, 2)}));
    EXPECT_EQ(nearest.Width, 16);
}

TEST(DecodeIcon, AnAlphaChannelWinsOverTheMask) {
    const ByteVector file = IconFile({{2, 2, 32, IconImage(2, 2, 32, [](int x, int y) { return y == 0 ? 0x80FF0000u : 0xFF00FF00u; },
                                                             [](int, int) { return true; })}});
    const TDecodedImage icon = DecodeIcon(file);
    EXPECT_EQ(icon.Pixel(0, 0), 0x80FF0000u);
    EXPECT_EQ(icon.Pixel(1, 1), 0xFF00FF00u);
}

// A PNG file by hand: RGBA, 8 bits, one stored deflate block.
ByteVector Png(int w, int h, const std::vector<std::uint32_t>& argb) {
    auto crc = [](const ByteVector& data, std::size_t from) {
        std::uint32_t c = 0xFFFFFFFF;
        for (std::size_t i = from; i < data.size(); ++i) {
            c ^= data[i];
            for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
        }
        return ~c;
    };
    auto be32 = [](ByteVector& out, std::uint32_t v) { for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s)); };
    ByteVector out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    auto chunk = [&](const char* type, const ByteVector& body) {
        be32(out, static_cast<std::uint32_t>(body.size()));
        const std::size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), body.begin(), body.end());
        be32(out, crc(out, start));
    };
    ByteVector ihdr;
    be32(ihdr, w); be32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    chunk("IHDR", ihdr);
    ByteVector raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = argb[y * w + x];
            raw.insert(raw.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                   static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
        }
    }
    ByteVector z = {0x78, 0x01, 0x01, static_cast<std::uint8_t>(raw.size()), static_cast<std::uint8_t>(raw.size() >> 8),
                    static_cast<std::uint8_t>(~raw.size()), static_cast<std::uint8_t>(~raw.size() >> 8)};
    z.insert(z.end(), raw.begin(), raw.end());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) { a = (a + v) % 65521; b = (b + a) % 65521; }
    be32(z, b << 16 | a);
    chunk("IDAT", z);
    chunk("IEND", {});
    return out;
}

TEST(DecodeIcon, PngCompressedImage) {
    const TDecodedImage icon = DecodeIcon(IconFile({{2, 2, 32, Png(2, 2, {kRed, 0x00000000, 0x800000FF, kWhite})}}));
    ASSERT_EQ(icon.Width, 2);
    EXPECT_EQ(icon.Pixel(0, 0), kRed);
    EXPECT_EQ(icon.Pixel(1, 0) >> 24, 0u);
    EXPECT_EQ(icon.Pixel(0, 1), 0x800000FFu);
    EXPECT_EQ(icon.Pixel(1, 1), kWhite);
}

TEST(DecodeIcon, DamagedFilesRaiseTheIconError) {
    const ByteVector good = TestIcon();
    ByteVector moreEntries = good; moreEntries[4] = moreEntries[5] = 0xFF;
    ByteVector farOffset = good; farOffset[6 + 12] = 0xFF; farOffset[6 + 13] = 0xFF;
    ByteVector badDepth = good; badDepth[22 + 14] = 3;
    ByteVector topDown = good; topDown[22 + 11] = 0xFF;  // negative height
    ByteVector brokenPng = IconFile({{2, 2, 32, Png(2, 2, {kRed, kRed, kRed, kRed})}});
    brokenPng[brokenPng.size() - 20] ^= 0xFF;
    const std::vector<std::pair<const char*, ByteVector>> cases = {
        {"empty", {}},
        {"a cursor", IconFile({{32, 32, 4, IconImage(32, 32, 4, [](int, int) { return 0u; }, [](int, int) { return false; })}}, 2)},
        {"no images", {0, 0, 1, 0, 0, 0}},
        {"directory longer than the file", moreEntries},
        {"image beyond the file", farOffset},
        {"mask cut short", ByteVector(good.begin(), good.end() - 64)},
        {"colours cut short", ByteVector(good.begin(), good.begin() + 300)},
        {"bit depth 3", badDepth},
        {"top-down image", topDown},
        {"broken PNG", brokenPng},
        {"a bitmap file", TwoByTwoBitmaps()[0].file},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(InvalidMessage([&] { DecodeIcon(bytes); }), SInvalidIcon) << name;
}

TEST(ProgramIcon, MainIconIsBuiltInAndIsTheShippedIconFile) {
    std::size_t size = 0;
    const unsigned char* data = FindResourceData("MAINICON", size);
    ASSERT_NE(data, nullptr);
    const ByteVector bytes(data, data + size);
    std::ifstream file(VARNITH_SOURCE_DIR "/resources/Varnith2.ico", std::ios::binary);
    EXPECT_EQ(ByteVector(std::istreambuf_iterator<char>(file), {}), bytes);

    EXPECT_EQ(bytes[4], 1);        // one image
    EXPECT_EQ(bytes[6 + 2], 16);   // of 16 colours
    EXPECT_EQ(bytes[22 + 14], 4);  // as a 4-bit DIB
    const TDecodedImage icon = DecodeIcon(bytes);
    EXPECT_EQ(icon.Width, 32);
    EXPECT_EQ(icon.Height, 32);
    EXPECT_EQ(icon.Pixel(0, 0) >> 24, 0u);     // transparent corner
    EXPECT_EQ(icon.Pixel(14, 14) >> 24, 0u);   // the disc's centre hole
    EXPECT_EQ(icon.Pixel(6, 14) >> 24, 255u);  // the disc

    EXPECT_EQ(FindResourceData("NOSUCH", size), nullptr);
    EXPECT_EQ(size, 0u);
}

// --- Metafiles ------------------------------------------------------------------------------

ByteVector Points16(const std::vector<std::pair<int, int>>& points) {
    Writer w;
    w.u32(0).u32(0).u32(0).u32(0).u32(static_cast<std::uint32_t>(points.size()));  // bounds, count
    for (auto [x, y] : points) w.u16(static_cast<unsigned>(x) & 0xFFFF).u16(static_cast<unsigned>(y) & 0xFFFF);
    return w.b;
}

struct Probe { int x, y; std::uint32_t argb; };

void ExpectPixels(const TDecodedImage& image, const std::vector<Probe>& probes) {
    for (const Probe& p : probes)
        EXPECT_EQ(image.Pixel(p.x, p.y), p.argb) << "pixel " << p.x << "," << p.y;
}

TEST(DecodeMetafile, PlaceableWmfRectangleWithFrameAndFill) {
    // 64 x 32 units of 1/96 inch: one unit per pixel. The default black pen frames the fill
    // and leaves the right and bottom edge outside, as GDI does.
    Wmf wmf;
    wmf.solidBrush(0x0000FF).select(0).rectangle(8, 8, 56, 24);
    const TDecodedImage image = DecodeMetafile(wmf.Build(true, 0, 0, 64, 32, 96));
    ASSERT_EQ(image.Width, 64);
    ASSERT_EQ(image.Height, 32);
    ExpectPixels(image, {{8, 8, kBlack}, {55, 23, kBlack}, {8, 16, kBlack}, {30, 8, kBlack},
                         {9, 9, kRed}, {54, 22, kRed}, {30, 16, kRed},
                         {56, 16, 0}, {30, 24, 0}, {4, 4, 0}, {63, 31, 0}});
}

TEST(DecodeMetafile, WmfWindowMapsOntoThePicture) {
    struct Case { const char* name; ByteVector file; int widthHint, width, height; std::vector<Probe> probes; };
    Wmf twips;  // 1440 x 720 twips = 96 x 48 pixels; the right half filled
    twips.rec(0x0103, {8}).rec(0x020B, {0, 0}).rec(0x020C, {720, 1440}).solidBrush(0xFF0000).select(0).nullPen().select(1)
        .rectangle(720, 0, 1440, 720);
    Wmf plain;  // no placeable header: the window extent is the size
    plain.rec(0x0103, {8}).rec(0x020B, {0, 0}).rec(0x020C, {20, 40}).solidBrush(0x00FF00).select(0).nullPen().select(1)
        .rectangle(0, 0, 40, 20);
    const std::vector<Case> cases = {
        {"twips", twips.Build(true, 0, 0, 1440, 720), 0, 96, 48, {{47, 24, 0}, {48, 24, kBlue}, {95, 47, kBlue}, {48, 0, kBlue}}},
        {"twips, twice as wide", twips.Build(true, 0, 0, 1440, 720), 192, 192, 96, {{95, 50, 0}, {96, 50, kBlue}, {191, 95, kBlue}}},
        {"plain", plain.Build(false), 0, 40, 20, {{0, 0, kGreen}, {39, 19, kGreen}}},
        {"plain, wider", plain.Build(false), 80, 80, 40, {{0, 0, kGreen}, {79, 39, kGreen}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TDecodedImage image = DecodeMetafile(c.file, c.widthHint);
        ASSERT_EQ(image.Width, c.width);
        ASSERT_EQ(image.Height, c.height);
        ExpectPixels(image, c.probes);
    }
}

TEST(DecodeMetafile, EmfShapes) {
    // Frame 25.4 x 12.7 mm: 96 x 48 pixels. A blue brush and no pen, then each shape.
    auto emf = [](const std::function<void(Emf&)>& shapes) {
        Emf e;
        e.rec(39, {1, 0, 0xFF0000, 0}).rec(37, {1}).rec(37, {static_cast<std::int32_t>(0x80000008u)});
        shapes(e);
        return e.Build(2540, 1270);
    };
    struct Case { const char* name; ByteVector file; std::vector<Probe> probes; };
    const std::vector<Case> cases = {
        {"rectangle", emf([](Emf& e) { e.rec(43, {10, 10, 50, 30}); }),
         {{10, 10, kBlue}, {49, 29, kBlue}, {30, 20, kBlue}, {9, 20, 0}, {50, 20, 0}, {30, 30, 0}}},
        {"ellipse", emf([](Emf& e) { e.rec(42, {10, 10, 50, 30}); }), {{30, 20, kBlue}, {11, 11, 0}, {48, 28, 0}}},
        {"polygon16", emf([](Emf& e) { e.raw(86, Points16({{10, 10}, {60, 10}, {10, 40}})); }),
         {{12, 12, kBlue}, {58, 38, 0}}},
        {"polypolygon16 with a hole", emf([](Emf& e) {
             Writer p;
             p.u32(0).u32(0).u32(0).u32(0).u32(2).u32(8).u32(4).u32(4);
             for (auto [x, y] : std::vector<std::pair<int, int>>{{10, 10}, {40, 10}, {40, 40}, {10, 40}, {20, 20}, {30, 20}, {30, 30}, {20, 30}})
                 p.u16(x).u16(y);
             e.raw(91, p.b);
         }),
         {{12, 12, kBlue}, {25, 25, 0}, {35, 35, kBlue}}},
        {"pixel", emf([](Emf& e) { e.rec(15, {70, 5, 0x0000FF}); }), {{70, 5, kRed}, {71, 5, 0}}},
        {"window and viewport", emf([](Emf& e) {
             e.rec(17, {8}).rec(9, {10, 10}).rec(11, {96, 48}).rec(43, {5, 0, 10, 10});  // right half
         }),
         {{47, 24, 0}, {48, 24, kBlue}, {95, 47, kBlue}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TDecodedImage image = DecodeMetafile(c.file);
        ASSERT_EQ(image.Width, 96);
        ASSERT_EQ(image.Height, 48);
        ExpectPixels(image, c.probes);
    }
}

TEST(DecodeMetafile, DamagedFilesRaiseTheMetafileError) {
    Wmf wmf;
    wmf.solidBrush(0xFF).select(0).rectangle(0, 0, 10, 10);
    const ByteVector placeable = wmf.Build(true, 0, 0, 10, 10);
    const ByteVector plainWithoutExtent = wmf.Build(false);
    Emf emf;
    emf.rec(43, {0, 0, 10, 10});
    const ByteVector good = emf.Build(2540, 1270);
    ByteVector badSignature = good; badSignature[40] = 'X';
    ByteVector zeroInch = placeable; zeroInch[14] = zeroInch[15] = 0;
    ByteVector badVersion = placeable; badVersion[22 + 4] = 7;
    const std::vector<std::pair<const char*, ByteVector>> cases = {
        {"empty", {}},
        {"garbage", ByteVector(200, 0xAB)},
        {"placeable header cut", ByteVector(placeable.begin(), placeable.begin() + 30)},
        {"records cut", ByteVector(placeable.begin(), placeable.end() - 8)},
        {"inch 0", zeroInch},
        {"version 7", badVersion},
        {"plain without a window extent", plainWithoutExtent},
        {"EMF signature", badSignature},
        {"EMF cut", ByteVector(good.begin(), good.end() - 4)},
        {"EMF header cut", ByteVector(good.begin(), good.begin() + 60)},
        {"a bitmap file", TwoByTwoBitmaps()[0].file},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(InvalidMessage([&] { DecodeMetafile(bytes); }), SInvalidMetafile) << name;
}

TEST(DecodeMetafile, HugeFramesAreRenderedWithinTheLimits) {
    Emf emf;
    emf.rec(43, {0, 0, 0x7FFFFFFF, 0x7FFFFFFF}).rec(42, {-0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF})
        .rec(54, {0x7FFFFFFF, -0x7FFFFFFF});
    const TDecodedImage image = DecodeMetafile(emf.Build(0x7FFFFFFF, 0x7FFFFFFF));
    EXPECT_LE(image.Width, kMaxPictureSide);
    EXPECT_LE(static_cast<std::int64_t>(image.Width) * image.Height, kMaxPicturePixels);
    const TDecodedImage hinted = DecodeMetafile(emf.Build(2540, 1270), 1 << 30);
    EXPECT_LE(hinted.Width, kMaxPictureSide);
    // Shrunk to the pixel limit, 5602.5 x 2994.8 pixels: rounding both up would pass it.
    const TDecodedImage rounded = DecodeMetafile(emf.Build(4950, 2646), 8192);
    EXPECT_LE(static_cast<std::int64_t>(rounded.Width) * rounded.Height, kMaxPicturePixels)
        << rounded.Width << " x " << rounded.Height;
    EXPECT_GE(static_cast<std::int64_t>(rounded.Width) * rounded.Height, kMaxPicturePixels - 2 * 5603);
}

// --- Metafile text ---------------------------------------------------------------------------

// A box of pixels [left, right) x [top, bottom).
struct Box {
    int left, top, right, bottom;
};
// Where the pixels of one colour lie: their bounding box, and how many there are.
struct Ink {
    int left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN, count = 0;
};
Ink InkOf(const TDecodedImage& image, std::uint32_t argb) {
    Ink ink;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (image.Pixel(x, y) == argb) {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x + 1);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y + 1);
                ++ink.count;
            }
    return ink;
}
int InkIn(const TDecodedImage& image, std::uint32_t argb, Box box) {
    int n = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) n += image.Pixel(x, y) == argb;
    return n;
}
// Pixels that are neither transparent nor one of the colours given.
int OtherPixels(const TDecodedImage& image, const std::vector<std::uint32_t>& colours) {
    int n = 0;
    for (std::uint32_t p : image.Pixels)
        if (p != 0 && std::find(colours.begin(), colours.end(), p) == colours.end()) ++n;
    return n;
}

const std::string kProduct = "製品名"_cp932.c_str();  // three double-byte characters

TEST(DecodeMetafile, TextIsDrawnInItsBoxInTheTextColour) {
    // Each case: where the red ink must lie, and a box that must hold some of it.
    struct Case { const char* name; ByteVector file; Box within, holds; };
    const std::vector<int> noRect;
    const std::vector<Case> cases = {
        {"wmf TEXTOUT, top left", WmfText::Picture().textOut(10, 10, "VARNITH").Build(),
         {10, 10, 160, 34}, {10, 10, 30, 30}},
        {"wmf EXTTEXTOUT in code page 932", WmfText::Picture().extTextOut(10, 10, 0, noRect, kProduct).Build(),
         {10, 10, 72, 36}, {50, 10, 70, 30}},
        {"wmf right and bottom", WmfText::Picture().align(2 | 8).textOut(190, 50, "VARNITH").Build(),
         {30, 20, 190, 50}, {170, 30, 190, 50}},
        {"wmf centre and baseline", WmfText::Picture().align(6 | 24).textOut(100, 40, "VARNITH").Build(),
         {20, 15, 180, 41}, {60, 20, 140, 40}},
        {"wmf rotated a quarter turn", WmfText::Picture(900).textOut(10, 190, "VARNITH").Build(60, 200),
         {10, 30, 36, 190}, {10, 150, 36, 190}},
        {"wmf clipped", WmfText::Picture().extTextOut(10, 10, 4, {10, 10, 40, 40}, "VARNITH VARNITH").Build(),
         {10, 10, 40, 40}, {10, 10, 40, 30}},
        {"emf EXTTEXTOUTW in UTF-16", EmfText::Picture().extTextOut(10, 10, u"製品名").Build(),
         {10, 10, 72, 36}, {50, 10, 70, 30}},
        {"emf SMALLTEXTOUT", EmfText::Picture().smallTextOut(10, 10, "VARNITH").Build(),
         {10, 10, 160, 34}, {10, 10, 30, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TDecodedImage image = DecodeMetafile(c.file);
        const Ink ink = InkOf(image, kRed);
        EXPECT_GT(ink.count, 20);
        EXPECT_GE(ink.left, c.within.left);
        EXPECT_GE(ink.top, c.within.top);
        EXPECT_LE(ink.right, c.within.right);
        EXPECT_LE(ink.bottom, c.within.bottom);
        EXPECT_GT(InkIn(image, kRed, c.holds), 5);
        EXPECT_EQ(OtherPixels(image, {kRed}), 0);
    }
}

// The words and faces themselves, without a picture of them: code page 932 bytes of a Windows
// metafile and UTF-16 of an enhanced one draw the same pixels, and other words or faces do not.
TEST(DecodeMetafile, CodePage932AndUtf16TextAndFacesDrawTheSameCharacters) {
    auto pixels = [](const TDecodedImage& image) {
        std::vector<std::uint32_t> area;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 192; ++x) area.push_back(image.Pixel(x, y));
        return area;
    };
    const auto wmf = pixels(DecodeMetafile(WmfText::Picture().textOut(10, 10, kProduct).Build()));
    EXPECT_EQ(wmf, pixels(DecodeMetafile(EmfText::Picture().extTextOut(10, 10, u"製品名").Build())));
    EXPECT_NE(wmf, pixels(DecodeMetafile(EmfText::Picture().extTextOut(10, 10, u"名品製").Build())));
    const auto mincho = pixels(DecodeMetafile(WmfText::Picture(0, "ＭＳ Ｐ明朝"_cp932.c_str()).textOut(10, 10, kProduct).Build()));
    EXPECT_EQ(mincho, pixels(DecodeMetafile(EmfText::Picture(u"ＭＳ Ｐ明朝").extTextOut(10, 10, u"製品名").Build())));
    EXPECT_NE(mincho, wmf);
}

TEST(DecodeMetafile, OpaqueTextFillsItsRectangleOrItsCells) {
    // The background fills the opaquing rectangle (right and bottom edges left out), or else
    // the characters' cells from the reference point.
    struct Case { const char* name; ByteVector file; std::uint32_t background; std::optional<Box> rect; };
    const std::vector<Case> cases = {
        {"wmf opaque rectangle", WmfText::Picture().background(0xFF0000).extTextOut(10, 10, 2, {5, 5, 195, 55}, "VARNITH").Build(),
         kBlue, Box{5, 5, 195, 55}},
        {"wmf opaque background mode", WmfText::Picture().background(0x00FF00).bkMode(2).textOut(10, 10, "VARNITH").Build(),
         kGreen, std::nullopt},
        {"emf opaque rectangle", [] {
             EmfText e = EmfText::Picture();
             e.rec(25, {0xFF0000}).extTextOut(10, 10, u"製品名", 2, {5, 5, 180, 40});
             return e.Build();
         }(), kBlue, Box{5, 5, 180, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TDecodedImage image = DecodeMetafile(c.file);
        const Ink fill = InkOf(image, c.background), ink = InkOf(image, kRed);
        EXPECT_GT(ink.count, 20);
        EXPECT_EQ(OtherPixels(image, {kRed, c.background}), 0);
        const Box expected = c.rect ? *c.rect : Box{10, 10, fill.right, fill.bottom};
        EXPECT_EQ(fill.left, expected.left);
        EXPECT_EQ(fill.top, expected.top);
        EXPECT_EQ(fill.right, expected.right);
        EXPECT_EQ(fill.bottom, expected.bottom);
        if (!c.rect) {  // the run's width and the font's height
            EXPECT_GE(fill.right, ink.right);
            EXPECT_LE(fill.right, ink.right + 4);
            EXPECT_GE(fill.bottom, ink.bottom);
            EXPECT_LE(fill.bottom, 10 + 30);
        }
        EXPECT_EQ(fill.count + InkIn(image, kRed, expected),
                  (expected.right - expected.left) * (expected.bottom - expected.top));
    }
}

TEST(DecodeMetafile, AdvancesAndTheCurrentPositionPlaceTheCharacters) {
    // 製, 品, 名 with their advances of 40: each character alone in its 40 pixels.
    struct Case { const char* name; ByteVector file; };
    const std::vector<Case> spread = {
        {"wmf, an advance per byte", WmfText::Picture().extTextOut(10, 10, 0, {}, kProduct, {40, 0, 40, 0, 40, 0}).Build()},
        {"emf, an advance per character", EmfText::Picture().extTextOut(10, 10, u"製品名", 0, {0, 0, -1, -1}, {40, 40, 40}).Build()},
        {"wmf, character extra", [&] {
             WmfText w = WmfText::Picture();
             w.rec(0x0108, {20});
             return w.textOut(10, 10, kProduct).Build();
         }()},
    };
    for (const Case& c : spread) {
        SCOPED_TRACE(c.name);
        const TDecodedImage image = DecodeMetafile(c.file);
        for (int k = 0; k < 3; ++k) {
            EXPECT_GT(InkIn(image, kRed, {10 + 40 * k, 10, 30 + 40 * k, 34}), 5) << "character " << k;
            EXPECT_EQ(InkIn(image, kRed, {31 + 40 * k, 0, 50 + 40 * k, 48}), 0) << "gap " << k;
        }
    }

    // With the current position updated the second text follows the first, wherever its own
    // reference point says.
    WmfText cp = WmfText::Picture();
    cp.rec(0x0214, {10, 10}).align(1).textOut(150, 40, "AA").textColour(0xFF0000).textOut(150, 40, "AA");
    const TDecodedImage image = DecodeMetafile(cp.Build());
    const Ink first = InkOf(image, kRed), second = InkOf(image, kBlue);
    EXPECT_EQ(first.left, 10);
    EXPECT_GE(second.left, first.right);
    EXPECT_LE(second.left, first.right + 4);
    EXPECT_EQ(second.top, first.top);
}

TEST(DecodeMetafile, HostileTextRecordsAreRefusedOrBounded) {
    // A font a mile high, text lengths beyond the record, and a file of long texts with long
    // advance arrays: each decodes without drawing beyond the picture or without end.
    auto tall = [](int height) { WmfText w; w.font(height).select(0).textOut(10, 10, "VARNITH"); return w.Build(); };
    EmfText tallEmf;
    tallEmf.font(1, -0x7FFFFFFF).rec(37, {1}).extTextOut(10, 10, u"VARNITH");
    WmfText longWmf = WmfText::Picture();
    longWmf.rec(0x0A32, {10, 10, 0xFFFF, 0, 'V' | 'A' << 8});
    EmfText longEmf = EmfText::Picture();
    const std::size_t countAt = 88 + longEmf.records.b.size() + 44;  // the text record's character count
    longEmf.extTextOut(10, 10, u"VARNITH");
    Writer longEmfFile{longEmf.Build()};
    longEmfFile.put32(countAt, 0x7FFFFFFF);
    EmfText many = EmfText::Picture();
    many.font(2, -200).rec(37, {2});
    const std::u16string text(20000, u'W');
    const std::vector<int> dx(text.size(), 0);  // every character on the first
    for (int i = 0; i < 200; ++i) many.extTextOut(0, 0, text, 0, {0, 0, -1, -1}, dx);
    many.rec(39, {3, 0, 0xFF0000, 0}).rec(37, {3}).rec(43, {0, 0, 192, 48});  // after the budget: not drawn

    const std::vector<std::pair<const char*, ByteVector>> cases = {
        {"em height of 32000 pixels", tall(-32000)}, {"cell height of 32000 pixels", tall(32000)},
        {"emf em height of 2^31 - 1", tallEmf.Build()}, {"wmf text longer than its record", longWmf.Build()},
        {"emf text longer than its record", longEmfFile.b},
    };
    for (const auto& [name, file] : cases) {
        const TDecodedImage image = DecodeMetafile(file);
        EXPECT_EQ(OtherPixels(image, {}), 0) << name;
    }
    const TDecodedImage image = DecodeMetafile(many.Build());
    EXPECT_GT(InkOf(image, kRed).count, 100);
    EXPECT_EQ(InkOf(image, kBlue).count, 0);
}

// --- The picture loader ---------------------------------------------------------------------

class PictureFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("imagecodecs_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    // Writes bytes under a UTF-8 name and gives the path as code page 932 text.
    AnsiString Write(const std::string& utf8Name, const ByteVector& bytes) {
        std::ofstream(dir_ / utf8Name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                              static_cast<std::streamsize>(bytes.size()));
        return Path(utf8Name);
    }
    AnsiString Path(const std::string& utf8Name) const { return Utf8ToAnsi((dir_ / utf8Name).string()); }
    std::filesystem::path dir_;
};

TEST_F(PictureFile, TheSuffixChoosesTheKindWithoutRegardToCase) {
    const ByteVector icon = TestIcon(), bitmap = TwoByTwoBitmaps()[0].file;
    struct Case { std::string name; ByteVector bytes; TPictureKind kind; int width; };
    Emf emf;
    const std::vector<Case> cases = {
        {"x.Ico", icon, TPictureKind::Icon, 32},
        {"x.ICO", icon, TPictureKind::Icon, 32},
        {"a.b.bMp", bitmap, TPictureKind::Bitmap, 2},
        {"ディスク.ico", icon, TPictureKind::Icon, 32},
        {"x.EMF", emf.Build(2540, 1270), TPictureKind::Metafile, 96},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TDecodedPicture picture = DecodePictureFile(Write(c.name, c.bytes));
        EXPECT_EQ(picture.Kind, c.kind);
        EXPECT_EQ(picture.Image.Width, c.width);
    }
    // The content must fit the kind the suffix names.
    EXPECT_EQ(InvalidMessage([&] { DecodePictureFile(Write("icon.bmp", icon)); }), SInvalidBitmap);
    EXPECT_EQ(InvalidMessage([&] { DecodePictureFile(Write("bitmap.ico", bitmap)); }), SInvalidIcon);
    EXPECT_EQ(InvalidMessage([&] { DecodePictureFile(Write("bitmap.wmf", bitmap)); }), SInvalidMetafile);
}

TEST_F(PictureFile, OtherSuffixesAreRefusedBeforeTheFileIsOpened) {
    struct Case { std::string name; const char* suffix; };
    const std::vector<Case> cases = {
        {"x.PNG", "PNG"}, {"x.png", "png"}, {"noext", ""}, {"dot.d/file", ""}, {"x.", ""}, {"x.icon", "icon"},
        {"x.jpeg", "jpeg"},
    };
    for (const Case& c : cases)  // none of these files exists
        EXPECT_EQ(InvalidMessage([&] { DecodePictureFile(Path(c.name)); }), Format(SUnknownExtension, {c.suffix})) << c.name;
    EXPECT_EQ(InvalidMessage([&] { DecodePictureFile("x.PNG"); }), "拡張子 .PNG の画像形式は処理できません"_cp932);
}

TEST_F(PictureFile, AFileThatCannotBeOpened) {
    std::filesystem::create_directory(dir_ / "folder.bmp");
    for (const std::string name : {"missing.ico", "folder.bmp", "ない.emf"}) {
        const AnsiString path = Path(name);
        try {
            DecodePictureFile(path);
            ADD_FAILURE() << name;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message, Format(SFOpenError, {path})) << name;
        }
    }
}

TEST_F(PictureFile, APipeOrADeviceIsNoPictureAndIsNeverWaitedOn) {
    testproc::WatchedPipe icon(dir_ / "pipe.ico"), bitmap(dir_ / "pipe.bmp");
    ASSERT_TRUE(icon.Made() && bitmap.Made());
    std::filesystem::create_symlink("/dev/null", dir_ / "null.emf");
    EXPECT_EQ(InvalidMessage([&] { DecodePictureFile(Path("pipe.ico")); }), SInvalidIcon);
    EXPECT_EQ(InvalidMessage([&] { DecodePictureFile(Path("pipe.bmp")); }), SInvalidBitmap);
    EXPECT_EQ(InvalidMessage([&] { DecodePictureFile(Path("null.emf")); }), SInvalidMetafile);
    EXPECT_FALSE(icon.WaitedOn() || bitmap.WaitedOn());
}

}  // namespace
