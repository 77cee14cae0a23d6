#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/sysutils.h"
#include "support/process.h"
#include "vcl/pictures.h"

namespace {

// A 2 x 1 bottom-up 24-bit bitmap: red, then blue.
std::string TwoPixelBitmap() {
    std::string b = "BM";
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i)); };
    auto u16 = [&](unsigned v) { b += static_cast<char>(v); b += static_cast<char>(v >> 8); };
    u32(14 + 40 + 8); u32(0); u32(14 + 40);
    u32(40); u32(2); u32(1); u16(1); u16(24); u32(0); u32(8); u32(0); u32(0); u32(0); u32(0);
    b += std::string("\x00\x00\xFF\xFF\x00\x00\x00\x00", 8);
    return b;
}

std::string Icon() { return testproc::ReadFile(VARNITH_SOURCE_DIR "/resources/Varnith2.ico"); }

AnsiString Path(const std::filesystem::path& p) { return Utf8ToAnsi(p.string()); }

}  // namespace

TEST(Picture, TheKindComesFromTheSuffixInAnyLetterCase) {
    testproc::TempDir dir;
    testproc::WriteFile(dir.path / "a.BMP", TwoPixelBitmap());
    testproc::WriteFile(dir.path / "b.Ico", Icon());
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };

    picture.LoadFromFile(Path(dir.path / "a.BMP"));
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(static_cast<TBitmap*>(picture.Graphic())->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(static_cast<TBitmap*>(picture.Graphic())->Canvas()->Pixels(1, 0), clBlue);

    picture.LoadFromFile(Path(dir.path / "b.Ico"));
    EXPECT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 32);
    EXPECT_EQ(changes, 2);
}

TEST(Picture, AFileThatCannotBeLoadedKeepsThePictureAndRaisesItsKindsError) {
    testproc::TempDir dir;
    testproc::WriteFile(dir.path / "x.png", Icon());
    testproc::WriteFile(dir.path / "noext", Icon());
    testproc::WriteFile(dir.path / "bad.ico", "not an icon");
    testproc::WriteFile(dir.path / "bad.bmp", "BM");
    struct Case { const char* file; AnsiString message; } cases[] = {
        {"x.png", Format(SUnknownExtension, {"png"})},
        {"noext", Format(SUnknownExtension, {""})},
        {"bad.ico", SInvalidIcon},
        {"bad.bmp", SInvalidBitmap},
    };
    TPicture picture;
    picture.LoadFromLayoutData("\x05TIcon" + Icon());
    TGraphic* before = picture.Graphic();
    for (const Case& c : cases) {
        try {
            picture.LoadFromFile(Path(dir.path / c.file));
            ADD_FAILURE() << c.file << " loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message, c.message) << c.file;
        }
        EXPECT_EQ(picture.Graphic(), before) << c.file;
    }
    EXPECT_THROW(picture.LoadFromFile(Path(dir.path / "missing.ico")), EFOpenError);
}

TEST(Picture, AnIconIsDrawnWithItsTransparency) {
    TPicture picture;
    picture.LoadFromLayoutData("\x05TIcon" + Icon());
    TBitmap target;
    target.SetSize(32, 32);
    target.Canvas()->Brush()->SetColor(clFuchsia);  // a colour the icon does not hold
    target.Canvas()->FillRect(TRect(0, 0, 32, 32));
    target.Canvas()->Draw(0, 0, picture.Graphic());
    int kept = 0, painted = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) (target.Canvas()->Pixels(x, y) == clFuchsia ? kept : painted)++;
    EXPECT_GT(kept, 0);     // the corners of the disc are transparent
    EXPECT_GT(painted, 0);  // the disc itself is drawn
}
