// Writes small seed files for the picture and layout fuzz targets into the corpus folders given
// on the command line (fuzz_seeds FOLDER): FOLDER/<target>/<name>. Each seed is a well-formed
// file of one shape the decoder knows, so the fuzzer starts from real structure.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Little-endian file bytes.
struct Out {
    Bytes b;
    Out& u8(unsigned v) { b.push_back(static_cast<std::uint8_t>(v)); return *this; }
    Out& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8 & 0xFF); }
    Out& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Out& add(const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); return *this; }
};

// A BITMAPINFOHEADER.
Bytes Info(int w, int h, int bpp, unsigned compression = 0, unsigned colours = 0) {
    return Out().u32(40).u32(w).u32(h).u16(1).u16(bpp).u32(compression).u32(0).u32(0).u32(0)
        .u32(colours).u32(0).b;
}

Bytes BitmapFile(const Bytes& info, const Bytes& table, const Bytes& bits) {
    std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + table.size());
    return Out().u16(0x4D42).u32(offset + static_cast<std::uint32_t>(bits.size())).u32(0).u32(offset)
        .add(info).add(table).add(bits).b;
}

Bytes Palette(const std::vector<std::uint32_t>& colours) {
    Out out;
    for (std::uint32_t c : colours) out.u32(c);
    return out.b;
}

// An icon file of one image (colour bits and AND mask after the header, height doubled).
Bytes IconFile(int side, int bpp, const Bytes& table, const Bytes& bits, const Bytes& mask) {
    Bytes image = Out().add(Info(side, 2 * side, bpp)).add(table).add(bits).add(mask).b;
    return Out().u16(0).u16(1).u16(1).u8(side).u8(side).u8(0).u8(0).u16(1).u16(bpp)
        .u32(static_cast<std::uint32_t>(image.size())).u32(22).add(image).b;
}

// Windows metafile records: size in words, function, parameter words.
struct Wmf {
    Out records;
    Wmf& rec(unsigned function, const std::vector<int>& params) {
        records.u32(static_cast<std::uint32_t>(3 + params.size())).u16(function);
        for (int p : params) records.u16(static_cast<unsigned>(p) & 0xFFFF);
        return *this;
    }
    Bytes File(bool placeable) {
        Out out;
        if (placeable) {
            const unsigned head[10] = {0xCDD7, 0x9AC6, 0, 0, 0, 64, 32, 96, 0, 0};
            unsigned sum = 0;
            for (unsigned h : head) { out.u16(h); sum ^= h; }
            out.u16(sum);
        }
        Bytes body = Out().add(records.b).u32(3).u16(0).b;  // and the end record
        return out.u16(1).u16(9).u16(0x300).u32(static_cast<std::uint32_t>(9 + body.size() / 2)).u16(4)
            .u32(0).u16(0).add(body).b;
    }
};

// Enhanced metafile records after a header with a frame of 25.4 x 12.7 mm.
struct Emf {
    Out records;
    int count = 0;
    Emf& rec(std::uint32_t type, const std::vector<std::int32_t>& params) {
        records.u32(type).u32(static_cast<std::uint32_t>(8 + 4 * params.size()));
        for (std::int32_t p : params) records.u32(static_cast<std::uint32_t>(p));
        ++count;
        return *this;
    }
    Bytes File() {
        Out out;
        out.u32(1).u32(88).u32(0).u32(0).u32(96).u32(48).u32(0).u32(0).u32(2540).u32(1270);
        out.u32(0x464D4520).u32(0x10000).u32(0).u32(count + 2).u16(4).u16(0);
        out.u32(0).u32(0).u32(0).u32(960).u32(480).u32(254).u32(127);
        out.add(records.b).u32(14).u32(20).u32(0).u32(16).u32(20);
        std::uint32_t size = static_cast<std::uint32_t>(out.b.size());
        for (int i = 0; i < 4; ++i) out.b[48 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        return out.b;
    }
};

void Write(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Bytes as the 16-bit words of a Windows metafile record (the last one padded), and as the
// 32-bit values of an enhanced metafile record.
std::vector<int> Words(std::string s) {
    s.resize((s.size() + 1) / 2 * 2, '\0');
    std::vector<int> w;
    for (std::size_t i = 0; i < s.size(); i += 2) w.push_back(static_cast<unsigned char>(s[i]) | static_cast<unsigned char>(s[i + 1]) << 8);
    return w;
}
std::vector<std::int32_t> Longs(std::string s) {
    s.resize((s.size() + 3) / 4 * 4, '\0');
    std::vector<std::int32_t> l;
    for (std::size_t i = 0; i < s.size(); i += 4) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) v |= std::uint32_t{static_cast<unsigned char>(s[i + k])} << (8 * k);
        l.push_back(static_cast<std::int32_t>(v));
    }
    return l;
}
template <typename T>
std::vector<T> Cat(std::vector<T> first, const std::vector<T>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path corpus = argv[1];

    const auto bitmap = corpus / "bitmap_fuzz";
    Write(bitmap, "24bit", BitmapFile(Info(2, 2, 24), {}, Bytes{0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}));
    Write(bitmap, "top-down-8bit", BitmapFile(Info(2, -2, 8, 0, 2), Palette({0xFF0000, 0x00FF00}), Bytes{0, 1, 0, 0, 1, 0, 0, 0}));
    Write(bitmap, "rle8", BitmapFile(Info(4, 2, 8, 1, 2), Palette({0, 0xFFFFFF}), Bytes{4, 1, 0, 0, 2, 0, 2, 1, 0, 1}));
    Write(bitmap, "rle4", BitmapFile(Info(4, 2, 4, 2, 2), Palette({0, 0xFFFFFF}), Bytes{4, 0x10, 0, 0, 4, 0x01, 0, 1}));
    Write(bitmap, "1bit", BitmapFile(Info(3, 1, 1), Palette({0, 0xFFFFFF}), Bytes{0xA0, 0, 0, 0}));
    Write(bitmap, "16bit-bitfields", BitmapFile(Info(1, 1, 16, 3), Palette({0xF800, 0x07E0, 0x001F}), Bytes{0x1F, 0xF8, 0, 0}));

    const auto icon = corpus / "icon_fuzz";
    Write(icon, "4bit-with-mask", IconFile(2, 4, Palette({0, 0xFF0000}), Bytes{0x01, 0, 0, 0, 0x10, 0, 0, 0},
                                           Bytes{0x40, 0, 0, 0, 0x80, 0, 0, 0}));
    Write(icon, "32bit-alpha", IconFile(1, 32, {}, Bytes{0, 0, 255, 128}, Bytes{0, 0, 0, 0}));

    Wmf wmf;
    wmf.rec(0x0103, {8}).rec(0x020B, {0, 0}).rec(0x020C, {32, 64})
        .rec(0x02FC, {0, 0xFF, 0, 0}).rec(0x012D, {0}).rec(0x02FA, {0, 2, 0, 0xFF00, 0}).rec(0x012D, {1})
        .rec(0x041B, {24, 56, 8, 8}).rec(0x0418, {30, 60, 2, 2}).rec(0x0324, {3, 0, 0, 30, 0, 0, 20})
        .rec(0x0538, {2, 3, 3, 0, 0, 9, 0, 0, 9, 20, 20, 29, 20, 20, 29})
        .rec(0x0214, {0, 0}).rec(0x0213, {31, 63}).rec(0x041F, {5, 5, 0xFF, 0})
        .rec(0x001E, {}).rec(0x0416, {16, 32, 0, 0}).rec(0x0127, {-1}).rec(0x01F0, {0});
    Write(corpus / "wmf_fuzz", "placeable", wmf.File(true));
    Write(corpus / "wmf_fuzz", "plain", wmf.File(false));

    Emf emf;
    emf.rec(39, {1, 0, 0xFF0000, 0}).rec(37, {1}).rec(38, {2, 0, 1, 0, 0x00FF00}).rec(37, {2})
        .rec(43, {10, 10, 50, 30}).rec(42, {10, 10, 50, 30}).rec(44, {0, 0, 40, 20, 8, 8})
        .rec(86, {0, 0, 0, 0, 3, 10 | 10 << 16, 60 | 10 << 16, 10 | 40 << 16})
        .rec(15, {70, 5, 0xFF}).rec(17, {8}).rec(9, {10, 10}).rec(11, {96, 48})
        .rec(59, {}).rec(27, {1, 1}).rec(54, {8, 8}).rec(60, {}).rec(63, {0, 0, 96, 48})
        .rec(33, {}).rec(30, {0, 0, 5, 5}).rec(34, {-1}).rec(40, {1});
    Write(corpus / "emf_fuzz", "shapes", emf.File());

    // Text in both forms: a font (face "ＭＳ Ｐゴシック" in code page 932 or UTF-16), its colour,
    // alignment and background, and each text record with a rectangle and advances.
    std::string face932 = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
    face932.resize(32, '\0');
    const std::string text932 = "AB\x93\xFA\x96\x7B";  // "AB日本"
    Wmf wmfText;
    wmfText.rec(0x0103, {8}).rec(0x020B, {0, 0}).rec(0x020C, {32, 64})
        .rec(0x02FB, Cat({-12, 0, 450, 450, 700, 1 | 1 << 8, 0 | 128 << 8, 0, 0}, Words(face932))).rec(0x012D, {0})
        .rec(0x0209, {0xFF, 0}).rec(0x0201, {0xFF00, 0}).rec(0x0102, {2}).rec(0x012E, {6 | 24}).rec(0x0108, {1})
        .rec(0x0521, Cat({static_cast<int>(text932.size())}, Cat(Words(text932), {20, 4})))
        .rec(0x0A32, Cat({28, 2, static_cast<int>(text932.size()), 6, 0, 20, 60, 30}, Cat(Words(text932), {8, 8, 8, 8, 8, 8})))
        .rec(0x01F0, {0});
    Write(corpus / "wmf_fuzz", "text", wmfText.File(true));

    std::u16string face16 = u"ＭＳ Ｐゴシック";
    face16.resize(32, u'\0');
    const std::string faceBytes(reinterpret_cast<const char*>(face16.data()), face16.size() * 2);  // little-endian here
    const std::u16string text16 = u"AB日本";
    const std::string textBytes(reinterpret_cast<const char*>(text16.data()), text16.size() * 2);
    const std::int32_t offString = 8 + 28 + 40, offDx = offString + 8;
    Emf emfText;
    emfText.rec(82, Cat({1, -12, 0, 900, 900, 400, 1 | 128 << 24, 0}, Longs(faceBytes))).rec(37, {1})
        .rec(24, {0xFF}).rec(25, {0xFF00}).rec(18, {2}).rec(22, {6 | 24})
        .rec(84, Cat(Cat({0, 0, 0, 0, 1, 0, 0, 10, 20, static_cast<std::int32_t>(text16.size()), offString, 6, 0, 0, 60, 30, offDx},
                         Longs(textBytes)), {9, 9, 9, 9}))
        .rec(108, Cat({4, 40, static_cast<std::int32_t>(text932.size()), 0x100 | 0x200, 1, 0, 0}, Longs(text932)))
        .rec(40, {1});
    Write(corpus / "emf_fuzz", "text", emfText.File());

    Write(corpus / "formtext_fuzz", "every-value-kind", Text(
        "object Form1: TForm1\n  Caption = 'It''s '#26085'+\n    ' long'\n  Left = -8\n"
        "  Font.Style = [fsBold, fsItalic]\n  Items.Strings = (\n    'a'\n    ('b' 1.5e2))\n"
        "  Glyph.Data = {\n    0A0B}\n  Color = $00FF8000\n  // a comment line\n"
        "  object Child: TLabel\n    OnClick = Child1Click\n  end\nend\n"));
    return 0;
}
