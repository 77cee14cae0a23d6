// Writes small seed files for the picture and layout fuzz targets into the corpus folders given
// on the command line (fuzz_seeds FOLDER): FOLDER/<target>/<name>. Each seed is a well-formed
// file of one shape the decoder knows, so the fuzzer starts from real structure.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/pictures.h"

namespace {

using testpictures::Cat;
using testpictures::Words;
using Out = testpictures::Writer;
using Bytes = testpictures::ByteVector;

// A BITMAPINFOHEADER.
Bytes Info(int w, int h, int bpp, unsigned compression = 0, unsigned colours = 0) {
    return Out().u32(40).u32(w).u32(h).u16(1).u16(bpp).u32(compression).u32(0).u32(0).u32(0)
        .u32(colours).u32(0).b;
}

Bytes BitmapFile(const Bytes& info, const Bytes& table, const Bytes& bits) {
    std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + table.size());
    return Out().u16(0x4D42).u32(offset + static_cast<std::uint32_t>(bits.size())).u32(0).u32(offset)
        .bytes(info).bytes(table).bytes(bits).b;
}

Bytes Palette(const std::vector<std::uint32_t>& colours) {
    Out out;
    for (std::uint32_t c : colours) out.u32(c);
    return out.b;
}

// An icon file of one image (colour bits and AND mask after the header, height doubled).
Bytes IconFile(int side, int bpp, const Bytes& table, const Bytes& bits, const Bytes& mask) {
    Bytes image = Out().bytes(Info(side, 2 * side, bpp)).bytes(table).bytes(bits).bytes(mask).b;
    return Out().u16(0).u16(1).u16(1).u8(side).u8(side).u8(0).u8(0).u16(1).u16(bpp)
        .u32(static_cast<std::uint32_t>(image.size())).u32(22).bytes(image).b;
}

void Write(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

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

    testpictures::Wmf wmf;
    wmf.rec(0x0103, {8}).rec(0x020B, {0, 0}).rec(0x020C, {32, 64})
        .rec(0x02FC, {0, 0xFF, 0, 0}).rec(0x012D, {0}).rec(0x02FA, {0, 2, 0, 0xFF00, 0}).rec(0x012D, {1})
        .rec(0x041B, {24, 56, 8, 8}).rec(0x0418, {30, 60, 2, 2}).rec(0x0324, {3, 0, 0, 30, 0, 0, 20})
        .rec(0x0538, {2, 3, 3, 0, 0, 9, 0, 0, 9, 20, 20, 29, 20, 20, 29})
        .rec(0x0214, {0, 0}).rec(0x0213, {31, 63}).rec(0x041F, {5, 5, 0xFF, 0})
        .rec(0x001E, {}).rec(0x0416, {16, 32, 0, 0}).rec(0x0127, {-1}).rec(0x01F0, {0});
    wmf.objects = 4;
    Write(corpus / "wmf_fuzz", "placeable", wmf.Build(true, 0, 0, 64, 32, 96));
    Write(corpus / "wmf_fuzz", "plain", wmf.Build(false));

    testpictures::Emf emf;
    emf.rec(39, {1, 0, 0xFF0000, 0}).rec(37, {1}).rec(38, {2, 0, 1, 0, 0x00FF00}).rec(37, {2})
        .rec(43, {10, 10, 50, 30}).rec(42, {10, 10, 50, 30}).rec(44, {0, 0, 40, 20, 8, 8})
        .rec(86, {0, 0, 0, 0, 3, 10 | 10 << 16, 60 | 10 << 16, 10 | 40 << 16})
        .rec(15, {70, 5, 0xFF}).rec(17, {8}).rec(9, {10, 10}).rec(11, {96, 48})
        .rec(59, {}).rec(27, {1, 1}).rec(54, {8, 8}).rec(60, {}).rec(63, {0, 0, 96, 48})
        .rec(33, {}).rec(30, {0, 0, 5, 5}).rec(34, {-1}).rec(40, {1});
    Write(corpus / "emf_fuzz", "shapes", emf.Build(2540, 1270));

    // Text in both forms: a font of the face "ＭＳ Ｐゴシック" (code page 932 or UTF-16), turned
    // by its escapement, its colour, alignment and opaque background, and each text record with a
    // rectangle and advances.
    const std::string gothic932 = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
    const std::string text932 = "AB\x93\xFA\x96\x7B";  // "AB日本"
    testpictures::WmfText wmfText;
    wmfText.font(-12, 450, gothic932).select(0).textColour(0x0000FF).background(0x00FF00).bkMode(2)
        .align(6 | 24).rec(0x0108, {1})
        .textOut(4, 20, text932).extTextOut(2, 28, 6, {0, 20, 60, 30}, text932, {8, 8, 8, 8, 8, 8});
    Write(corpus / "wmf_fuzz", "text", wmfText.Build(64, 32));

    testpictures::EmfText emfText = testpictures::EmfText::Picture();
    emfText.rec(25, {0x00FF00}).rec(18, {2}).rec(22, {6 | 24})
        .extTextOut(10, 20, u"AB日本", 6, {0, 0, 60, 30}, {9, 9, 9, 9}).smallTextOut(4, 40, text932);
    Write(corpus / "emf_fuzz", "text", emfText.Build());

    Write(corpus / "formtext_fuzz", "every-value-kind", Text(
        "object Form1: TForm1\n  Caption = 'It''s '#26085'+\n    ' long'\n  Left = -8\n"
        "  Font.Style = [fsBold, fsItalic]\n  Items.Strings = (\n    'a'\n    ('b' 1.5e2))\n"
        "  Glyph.Data = {\n    0A0B}\n  Color = $00FF8000\n  // a comment line\n"
        "  object Child: TLabel\n    OnClick = Child1Click\n  end\nend\n"));
    return 0;
}
