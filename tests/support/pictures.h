// Test support: picture files assembled by hand, little-endian: a byte writer and the records
// of Windows metafiles and enhanced metafiles, text records included.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rtl/system.h"
#include "vcl/graphics.h"

namespace testpictures {

using ByteVector = std::vector<std::uint8_t>;

// Little-endian file bytes assembled by hand.
struct Writer {
    ByteVector b;
    Writer& u8(unsigned v) { b.push_back(static_cast<std::uint8_t>(v)); return *this; }
    Writer& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8 & 0xFF); }
    Writer& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Writer& bytes(const ByteVector& v) { b.insert(b.end(), v.begin(), v.end()); return *this; }
    Writer& pad(std::size_t multiple) { while (b.size() % multiple) u8(0); return *this; }
    void put32(std::size_t at, std::uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i)); }
};

// Records of a Windows metafile: size in words, function, parameters (words).
struct Wmf {
    Writer records;
    int objects = 0;
    Wmf& rec(unsigned function, const std::vector<int>& params) {
        records.u32(static_cast<std::uint32_t>(3 + params.size())).u16(function);
        for (int p : params) records.u16(static_cast<unsigned>(p) & 0xFFFF);
        return *this;
    }
    Wmf& solidBrush(std::uint32_t colorRef) { ++objects; return rec(0x02FC, {0, static_cast<int>(colorRef & 0xFFFF), static_cast<int>(colorRef >> 16), 0}); }
    Wmf& nullPen() { ++objects; return rec(0x02FA, {5, 0, 0, 0, 0}); }
    Wmf& select(int index) { return rec(0x012D, {index}); }
    Wmf& rectangle(int l, int t, int r, int b) { return rec(0x041B, {b, r, t, l}); }

    ByteVector Build(bool placeable, int left = 0, int top = 0, int right = 0, int bottom = 0, int inch = 1440) {
        Writer w;
        if (placeable) {
            const unsigned head[10] = {0xCDD7, 0x9AC6, 0, static_cast<unsigned>(left) & 0xFFFF, static_cast<unsigned>(top) & 0xFFFF,
                                       static_cast<unsigned>(right) & 0xFFFF, static_cast<unsigned>(bottom) & 0xFFFF,
                                       static_cast<unsigned>(inch), 0, 0};
            unsigned sum = 0;
            for (unsigned h : head) { w.u16(h); sum ^= h; }
            w.u16(sum);
        }
        Writer body = records;
        body.u32(3).u16(0);  // EOF
        w.u16(1).u16(9).u16(0x300).u32(static_cast<std::uint32_t>(9 + body.b.size() / 2)).u16(objects).u32(0).u16(0);
        return w.bytes(body.b).b;
    }
};

// Records of an enhanced metafile after its header.
struct Emf {
    Writer records;
    int count = 0;
    Emf& raw(std::uint32_t type, const ByteVector& payload) {
        records.u32(type).u32(static_cast<std::uint32_t>(8 + payload.size())).bytes(payload);
        ++count;
        return *this;
    }
    Emf& rec(std::uint32_t type, const std::vector<std::int32_t>& params) {
        Writer p;
        for (std::int32_t v : params) p.u32(static_cast<std::uint32_t>(v));
        return raw(type, p.b);
    }
    // frame in hundredths of a millimetre; a reference device of 96 dots per inch.
    ByteVector Build(int frameRight, int frameBottom) {
        Writer w;
        w.u32(1).u32(88).u32(0).u32(0).u32(0).u32(0);           // type, size, bounds
        w.u32(0).u32(0).u32(frameRight).u32(frameBottom);        // frame
        w.u32(0x464D4520).u32(0x10000).u32(0).u32(0).u16(4).u16(0);  // signature, version, bytes, records, handles
        w.u32(0).u32(0).u32(0).u32(960).u32(480).u32(254).u32(127);  // description, palette, device, millimetres
        w.bytes(records.b);
        w.u32(14).u32(20).u32(0).u32(16).u32(20);  // EOF
        w.put32(48, static_cast<std::uint32_t>(w.b.size()));
        w.put32(52, static_cast<std::uint32_t>(count + 2));
        return w.b;
    }
};

// Bytes as the 16-bit words of a Windows metafile record, the last one padded.
inline std::vector<int> Words(const std::string& bytes) {
    std::vector<int> w;
    for (std::size_t i = 0; i < bytes.size(); i += 2)
        w.push_back(static_cast<unsigned char>(bytes[i]) | (i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0));
    return w;
}
template <typename... T>
std::vector<int> Cat(std::vector<int> first, const T&... rest) {
    (first.insert(first.end(), rest.begin(), rest.end()), ...);
    return first;
}

// Text records of a Windows metafile.
struct WmfText : Wmf {
    WmfText& rec(unsigned function, const std::vector<int>& params) { Wmf::rec(function, params); return *this; }
    WmfText& select(int index) { Wmf::select(index); return *this; }
    WmfText& font(int height, int escapement = 0, const std::string& face = "ＭＳ Ｐゴシック"_cp932.c_str()) {
        std::string name = face;
        name.resize(32, '\0');
        ++objects;
        rec(0x02FB, Cat({height, 0, escapement, escapement, 400, 0, 128 << 8 /* Shift-JIS */, 0, 0}, Words(name)));
        return *this;
    }
    WmfText& textColour(std::uint32_t c) { rec(0x0209, {static_cast<int>(c & 0xFFFF), static_cast<int>(c >> 16)}); return *this; }
    WmfText& background(std::uint32_t c) { rec(0x0201, {static_cast<int>(c & 0xFFFF), static_cast<int>(c >> 16)}); return *this; }
    WmfText& bkMode(int mode) { rec(0x0102, {mode}); return *this; }
    WmfText& align(int mode) { rec(0x012E, {mode}); return *this; }
    WmfText& textOut(int x, int y, const std::string& text) {
        rec(0x0521, Cat({static_cast<int>(text.size())}, Words(text), std::vector<int>{y, x}));
        return *this;
    }
    WmfText& extTextOut(int x, int y, int options, const std::vector<int>& rect, const std::string& text,
                        const std::vector<int>& dx = {}) {
        rec(0x0A32, Cat({y, x, static_cast<int>(text.size()), options}, rect, Words(text), dx));
        return *this;
    }
    // 200 x 60 units of 1/96 inch, one unit per pixel; a font of em 20, red text, no background.
    static WmfText Picture(int escapement = 0, const std::string& face = "ＭＳ Ｐゴシック"_cp932.c_str()) {
        WmfText w;
        w.font(-20, escapement, face);
        w.select(0);
        w.textColour(0x0000FF).bkMode(1);
        return w;
    }
    ByteVector Build(int width = 200, int height = 60) { return Wmf::Build(true, 0, 0, width, height, 96); }
};

// Text records of an enhanced metafile: 192 x 48 pixels, one logical unit per pixel.
struct EmfText : Emf {
    EmfText& rec(std::uint32_t type, const std::vector<std::int32_t>& params) { Emf::rec(type, params); return *this; }
    EmfText& font(int index, int height, const std::u16string& face = u"ＭＳ Ｐゴシック") {
        Writer p;
        p.u32(index).u32(static_cast<std::uint32_t>(height)).u32(0).u32(0).u32(0).u32(400).u8(0).u8(0).u8(0).u8(128).u32(0);
        for (std::size_t i = 0; i < 32; ++i) p.u16(i < face.size() ? face[i] : 0);
        raw(82, p.b);
        return *this;
    }
    // EXTTEXTOUTW with its reference point, options, rectangle and advances (none when empty).
    EmfText& extTextOut(int x, int y, const std::u16string& text, unsigned options = 0, std::vector<int> rect = {0, 0, -1, -1},
                        const std::vector<int>& dx = {}) {
        Writer p;
        p.u32(0).u32(0).u32(0).u32(0).u32(1).u32(0).u32(0);  // bounds, graphics mode, scales
        const std::uint32_t offString = 8 + 28 + 40, offDx = offString + static_cast<std::uint32_t>((text.size() * 2 + 3) / 4 * 4);
        p.u32(x).u32(y).u32(static_cast<std::uint32_t>(text.size())).u32(offString).u32(options);
        for (int r : rect) p.u32(static_cast<std::uint32_t>(r));
        p.u32(dx.empty() ? 0 : offDx);
        for (char16_t c : text) p.u16(c);
        p.pad(4);
        for (int d : dx) p.u32(static_cast<std::uint32_t>(d));
        raw(84, p.b);
        return *this;
    }
    // SMALLTEXTOUT of 8-bit text, without a rectangle.
    EmfText& smallTextOut(int x, int y, const std::string& text) {
        Writer p;
        p.u32(x).u32(y).u32(static_cast<std::uint32_t>(text.size())).u32(0x100 | 0x200).u32(1).u32(0).u32(0);
        for (char c : text) p.u8(static_cast<unsigned char>(c));
        p.pad(4);
        raw(108, p.b);
        return *this;
    }
    // A font of em 20, red text, no background.
    static EmfText Picture(const std::u16string& face = u"ＭＳ Ｐゴシック") {
        EmfText e;
        e.font(1, -20, face).rec(37, {1}).rec(24, {0x0000FF}).rec(18, {1});  // red text, transparent background
        return e;
    }
    ByteVector Build() { return Emf::Build(5080, 1270); }
};

// A placeable metafile of 120 x 36 pixels whose only drawing is "VARNITH" at (4, 4) in colour.
inline ByteVector TextLogo(TColor colour) {
    WmfText logo = WmfText::Picture();
    logo.textColour(static_cast<std::uint32_t>(colour)).textOut(4, 4, "VARNITH");
    return logo.Build(120, 36);
}

// How many pixels of a painting have the colour, inside the rectangle and outside it.
struct TColourCount { int Inside = 0, Outside = 0; };
inline TColourCount CountColour(TBitmap& painted, TColor colour, const TRect& r) {
    TColourCount n;
    for (int y = 0; y < painted.Height(); ++y)
        for (int x = 0; x < painted.Width(); ++x)
            if (painted.Canvas()->Pixels(x, y) == colour)
                ++(x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom ? n.Inside : n.Outside);
    return n;
}

}  // namespace testpictures
