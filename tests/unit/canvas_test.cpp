// The class library's canvas and bitmap, and the GDI stand-ins under them.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <climits>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/sysutils.h"
#include "support/childcase.h"
#include "vcl/controls.h"
#include "vcl/graphics.h"
#include "vcl/testing.h"
#include "win/gdi.h"

namespace {

constexpr TColor kBack = RGB(0x55, 0x66, 0x77);

struct TPad {
    TBitmap bitmap;
    TPad(int w, int h) {
        bitmap.SetSize(w, h);
        Fill(kBack);
    }
    void Fill(TColor c) {
        bitmap.Canvas()->Brush()->SetColor(c);
        bitmap.Canvas()->FillRect(TRect(0, 0, bitmap.Width(), bitmap.Height()));
    }
    TCanvas* Canvas() { return bitmap.Canvas(); }
    TColor At(int x, int y) { return bitmap.Canvas()->Pixels(x, y); }
    std::set<std::pair<int, int>> Painted() {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (At(x, y) != kBack) s.insert({x, y});
        return s;
    }
};

using TPixels = std::set<std::pair<int, int>>;

}  // namespace

TEST(LineTo, GdiPixelChoice) {
    struct Case {
        const char* name;
        TPoint from, to;
        TPixels pixels;
    } cases[] = {
        {"horizontal, end left out", {0, 1}, {4, 1}, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}},
        {"leftward", {4, 1}, {0, 1}, {{4, 1}, {3, 1}, {2, 1}, {1, 1}}},
        {"vertical upward", {2, 4}, {2, 0}, {{2, 4}, {2, 3}, {2, 2}, {2, 1}}},
        {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {"zero length", {2, 2}, {2, 2}, {}},
        // Exactly between two pixels the upper one (x-major) or the left one (y-major) is lit.
        {"x-major ties go up", {0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {"x-major ties go up, reversed", {4, 2}, {0, 0}, {{4, 2}, {3, 1}, {2, 1}, {1, 0}}},
        {"y-major ties go left", {1, 0}, {2, 4}, {{1, 0}, {1, 1}, {1, 2}, {2, 3}}},
        {"shallow", {0, 0}, {5, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},
        {"clipped at the bitmap", {-3, 2}, {9, 2}, {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPad pad(6, 5);
        pad.Canvas()->Pen()->SetColor(clRed);
        pad.Canvas()->MoveTo(c.from.X, c.from.Y);
        pad.Canvas()->LineTo(c.to.X, c.to.Y);
        EXPECT_EQ(pad.Painted(), c.pixels);
        EXPECT_EQ(pad.Canvas()->PenPos(), c.to);
    }
}

TEST(LineTo, FarEndPointsEnd) {
    TPad pad(4, 4);
    pad.Canvas()->Pen()->SetColor(clRed);
    pad.Canvas()->MoveTo(INT_MIN, 1);
    pad.Canvas()->LineTo(INT_MAX, 1);
    EXPECT_EQ(pad.Painted().size(), 4u);
}

// A wide pen stamps a width x width square at every step, its centre pixel (width - 1) / 2 from
// its left and top edges, the end point included.
TEST(LineTo, WidePenStampsSquares) {
    struct Case {
        const char* name;
        TPoint from, to;
        int width;
        TPixels pixels;
    } cases[] = {
        {"zero length: one square", {1, 1}, {1, 1}, 2, {{1, 1}, {2, 1}, {1, 2}, {2, 2}}},
        {"horizontal", {2, 2}, {3, 2}, 3, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2}, {2, 2}, {3, 2}, {4, 2},
                                           {1, 3}, {2, 3}, {3, 3}, {4, 3}}},
        {"diagonal", {0, 0}, {2, 2}, 2, {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 2},
                                         {2, 3}, {3, 3}}},
        {"upward, cut at the bitmap", {5, 2}, {5, -9}, 2, {{5, 0}, {5, 1}, {5, 2}, {5, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPad pad(6, 5);
        pad.Canvas()->Pen()->SetColor(clRed);
        pad.Canvas()->Pen()->SetWidth(c.width);
        pad.Canvas()->MoveTo(c.from.X, c.from.Y);
        pad.Canvas()->LineTo(c.to.X, c.to.Y);
        EXPECT_EQ(pad.Painted(), c.pixels);
    }
}

// Only the pixels on the bitmap are visited, however long the line or wide the pen.
TEST(LineTo, FarEndPointsEndWithAWidePen) {
    childcase::Expect([] {
        TPad pad(4, 4);
        pad.Canvas()->Pen()->SetColor(clRed);
        pad.Canvas()->Pen()->SetWidth(3);
        pad.Canvas()->MoveTo(INT_MIN, 1);
        pad.Canvas()->LineTo(INT_MAX, 1);
        if (pad.Painted().size() != 12) throw std::runtime_error("not rows 0 to 2");
        pad.Canvas()->Pen()->SetWidth(INT_MAX);
        pad.Canvas()->MoveTo(INT_MIN, INT_MIN);
        pad.Canvas()->LineTo(INT_MAX, INT_MAX);
        if (pad.Painted().size() != 16) throw std::runtime_error("not every pixel");
    }, childcase::kFinished);
}

TEST(Canvas, SurfaceOriginAndClip) {
    // A control's canvas: (0, 0) at (3, 2) of the surface, clipped to (3, 2) .. (6, 4).
    TBitmap surface;
    surface.SetSize(10, 10);
    TCanvas canvas;
    canvas.SetSurface(&surface, TPoint(3, 2), TRect(3, 2, 6, 4));
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(TRect(-5, -5, 50, 50));
    EXPECT_EQ(canvas.ClipRect(), TRect(0, 0, 3, 2));
    int red = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) red += surface.Canvas()->Pixels(x, y) == clRed;
    EXPECT_EQ(red, 6);
    EXPECT_EQ(surface.Canvas()->Pixels(3, 2), clRed);
    EXPECT_EQ(canvas.Pixels(0, 0), clRed);
    EXPECT_EQ(canvas.Pixels(3, 0), static_cast<TColor>(CLR_INVALID));
    canvas.SetSurface(nullptr);
    canvas.FillRect(TRect(0, 0, 5, 5));  // no surface: nothing, and no fault
}

TEST(Canvas, FillRectBrushStylesAndReversedRectangles) {
    TPad pad(5, 5);
    pad.Canvas()->Brush()->SetColor(clRed);
    pad.Canvas()->FillRect(TRect(3, 3, 1, 1));  // the edges in either order
    EXPECT_EQ(pad.Painted(), (TPixels{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
    pad.Canvas()->Brush()->SetStyle(bsClear);
    pad.Canvas()->FillRect(TRect(0, 0, 5, 5));
    EXPECT_EQ(pad.Painted().size(), 4u);
}

TEST(Canvas, CopyModes) {
    const TColor src = RGB(10, 20, 30), dst = RGB(0xF0, 0x0F, 0x33);
    struct Case {
        TCopyMode mode;
        TColor result;
    } cases[] = {
        {cmSrcCopy, src},
        {cmNotSrcCopy, RGB(245, 235, 225)},
        {cmSrcInvert, RGB(10 ^ 0xF0, 20 ^ 0x0F, 30 ^ 0x33)},
        {cmSrcAnd, RGB(10 & 0xF0, 20 & 0x0F, 30 & 0x33)},
        {cmDstInvert, RGB(0x0F, 0xF0, 0xCC)},
        {cmBlackness, clBlack},
        {cmMergePaint, RGB((~10 & 0xFF) | 0xF0, (~20 & 0xFF) | 0x0F, (~30 & 0xFF) | 0x33)},  // generic path
    };
    TPad from(2, 2);
    from.Fill(src);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        TPad to(2, 2);
        to.Fill(dst);
        to.Canvas()->SetCopyMode(c.mode);
        to.Canvas()->CopyRect(TRect(0, 0, 2, 2), from.Canvas(), TRect(0, 0, 2, 2));
        EXPECT_EQ(to.At(1, 1), c.result);
    }
}

TEST(Canvas, StretchMirrorAndOverlap) {
    TPad from(2, 1);
    from.Canvas()->SetPixels(0, 0, clRed);
    from.Canvas()->SetPixels(1, 0, clBlue);

    TPad wide(4, 1);
    wide.Canvas()->CopyRect(TRect(0, 0, 4, 1), from.Canvas(), TRect(0, 0, 2, 1));
    EXPECT_EQ((std::vector<TColor>{wide.At(0, 0), wide.At(1, 0), wide.At(2, 0), wide.At(3, 0)}),
              (std::vector<TColor>{clRed, clRed, clBlue, clBlue}));

    TPad mirrored(2, 1);
    mirrored.Canvas()->CopyRect(TRect(2, 0, 0, 1), from.Canvas(), TRect(0, 0, 2, 1));
    EXPECT_EQ(mirrored.At(0, 0), clBlue);
    EXPECT_EQ(mirrored.At(1, 0), clRed);

    // Within one bitmap, overlapping: the source is read as it was.
    TPad row(4, 1);
    for (int x = 0; x < 4; ++x) row.Canvas()->SetPixels(x, 0, RGB(x, 0, 0));
    row.Canvas()->CopyRect(TRect(1, 0, 4, 1), row.Canvas(), TRect(0, 0, 3, 1));
    EXPECT_EQ((std::vector<TColor>{row.At(0, 0), row.At(1, 0), row.At(2, 0), row.At(3, 0)}),
              (std::vector<TColor>{RGB(0, 0, 0), RGB(0, 0, 0), RGB(1, 0, 0), RGB(2, 0, 0)}));

    // Drawing a graphic uses the canvas's copy mode.
    TPad target(2, 1);
    target.Canvas()->SetCopyMode(cmNotSrcCopy);
    target.Canvas()->Draw(0, 0, &from.bitmap);
    EXPECT_EQ(target.At(0, 0), RGB(0, 255, 255));
}

TEST(Bitmap, ResizeKeepsWhatFitsAndRowsArePadded) {
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetWidth(5);
    EXPECT_TRUE(b.Empty());
    b.SetHeight(3);
    EXPECT_FALSE(b.Empty());
    b.Canvas()->SetPixels(4, 2, clRed);
    b.Canvas()->SetPixels(1, 1, clBlue);
    // 5 pixels: 15 colour bytes and one fill byte per row.
    EXPECT_EQ(static_cast<char*>(b.ScanLine(1)) - static_cast<char*>(b.ScanLine(0)), 16);
    auto* row = static_cast<std::uint8_t*>(b.ScanLine(1));
    EXPECT_EQ((std::vector<int>{row[3], row[4], row[5]}), (std::vector<int>{0xFF, 0, 0}));  // blue, green, red
    EXPECT_THROW(b.ScanLine(3), Exception);
    EXPECT_THROW(b.ScanLine(-1), Exception);

    b.SetWidth(3);
    b.SetWidth(6);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(4, 2), clWhite);  // cut off, then grown back white
    b.SetHeight(-4);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, AssignCopiesAndNothingEmpties) {
    TBitmap a, b;
    a.SetSize(3, 2);
    a.SetPixelFormat(pf24bit);
    a.Canvas()->SetPixels(2, 1, clRed);
    b.Assign(&a);
    a.Canvas()->SetPixels(2, 1, clBlue);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(b.Canvas()->Pixels(2, 1), clRed);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    TFont notABitmap;
    EXPECT_THROW(b.Assign(&notABitmap), Exception);
}

// ---- sizes beyond what a bitmap can hold ----

namespace {

// Widths around 2^31 / 3, where a row's three bytes a pixel leave 32 bits, around 2^31 / 2, and
// the largest; with heights 0 and 1, and negative sizes.
struct TSize {
    int w, h;
};
std::vector<TSize> HugeSizes() {
    std::vector<TSize> sizes;
    for (int w : {715827882, 715827883, 1073741823, 1073741824, 1431655765, 1431655766, INT_MAX})
        for (int h : {0, 1}) sizes.push_back({w, h});
    // Many gigabytes in all, every row of them short.
    sizes.push_back({1, INT_MAX});
    sizes.push_back({46341, 46341});
    for (TSize negative : {TSize{-1, 1}, TSize{1, -1}, TSize{INT_MIN, INT_MIN}, TSize{-1431655766, 1},
                           TSize{1431655766, -1}, TSize{INT_MAX, INT_MIN}})
        sizes.push_back(negative);
    return sizes;
}

// Raises when the bitmap is not the red 3 x 2 one that it was before.
void ExpectUnchanged(TBitmap& b) {
    if (b.Width() != 3 || b.Height() != 2 || b.Canvas()->Pixels(2, 1) != clRed)
        throw std::runtime_error("the bitmap changed");
}

}  // namespace

TEST(BitmapSizes, ASizeThatCannotBeHeldRaisesAndKeepsTheBitmap) {
    for (const TSize& size : HugeSizes()) {
        SCOPED_TRACE(std::to_string(size.w) + " x " + std::to_string(size.h));
        const bool holds = size.w <= 0 || size.h <= 0;
        childcase::Expect([size] {
            TBitmap b;
            b.SetSize(3, 2);
            b.Canvas()->Brush()->SetColor(clRed);
            b.Canvas()->FillRect(TRect(0, 0, 3, 2));
            try {
                b.SetSize(size.w, size.h);
            } catch (const EOutOfResources&) {
                ExpectUnchanged(b);
                throw;
            }
            // An empty bitmap of that size: every drawing on it and from it ends, and draws nothing.
            if (!b.Empty() || b.Width() != std::max(size.w, 0) || b.Height() != std::max(size.h, 0))
                throw std::runtime_error("a size of none is not empty");
            TCanvas* canvas = b.Canvas();
            canvas->Brush()->SetColor(clBlue);
            canvas->FillRect(TRect(0, 0, size.w, size.h));
            canvas->FillRect(TRect(0, 0, INT_MAX, INT_MAX));
            canvas->SetPixels(INT_MAX - 1, 0, clBlue);
            TPad pad(4, 4);
            canvas->CopyRect(TRect(0, 0, size.w, size.h), pad.Canvas(), TRect(0, 0, 4, 4));
            pad.Canvas()->CopyRect(TRect(0, 0, 4, 4), canvas, TRect(0, 0, size.w, size.h));
            pad.Canvas()->Draw(0, 0, &b);
            if (pad.Painted().size() != 0) throw std::runtime_error("an empty bitmap drew");
        }, holds ? childcase::kFinished : childcase::kOutOfResources);
    }
}

// As the gradient box and the canvas helpers size their bitmaps: width first, then height.
TEST(BitmapSizes, WidthAndHeightSetOneAtATime) {
    childcase::Expect([] {
        TBitmap b;
        b.SetWidth(INT_MAX);  // no height yet: nothing to hold
        if (b.Width() != INT_MAX || !b.Empty()) throw std::runtime_error("the width was not taken");
        try {
            b.SetHeight(1);
        } catch (const EOutOfResources&) {
            if (b.Width() != INT_MAX || b.Height() != 0) throw std::runtime_error("the bitmap changed");
            throw;
        }
    }, childcase::kOutOfResources);
    childcase::Expect([] {
        TBitmap b;
        b.SetSize(3, 2);
        b.Canvas()->Brush()->SetColor(clRed);
        b.Canvas()->FillRect(TRect(0, 0, 3, 2));
        try {
            b.SetWidth(1431655766);
        } catch (const EOutOfResources&) {
            ExpectUnchanged(b);
            throw;
        }
    }, childcase::kOutOfResources);
}

// A size the bitmap allows, for which the system has no memory, raises the same error.
TEST(BitmapSizes, MemoryTheSystemRefusesRaisesTheSameError) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's allocator does not honour an address-space limit";
#endif
    childcase::Expect([] {
        TBitmap b;
        b.SetSize(3, 2);
        b.Canvas()->Brush()->SetColor(clRed);
        b.Canvas()->FillRect(TRect(0, 0, 3, 2));
        // Room for 256 MiB more than the program holds now; the bitmap needs 432 MB.
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t bytes = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (256u << 20);
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
        try {
            b.SetSize(12000, 12000);
        } catch (const EOutOfResources&) {
            ExpectUnchanged(b);
            throw;
        }
    }, childcase::kOutOfResources);
}

TEST(Canvas, ExtremeRectanglesCopyAndDrawWithoutOverflow) {
    childcase::Expect([] {
        TPad from(4, 4);
        from.Canvas()->SetPixels(1, 2, clRed);
        // The same extent on both sides: pixel for pixel, across the whole coordinate range.
        TPad to(4, 4);
        const TRect all(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        to.Canvas()->CopyRect(all, from.Canvas(), all);
        if (to.At(1, 2) != clRed || to.Painted().size() != 1) throw std::runtime_error("the copy moved");
        // Stretched from far away, the sources lie outside the bitmap: nothing is copied.
        TPad stretched(4, 4);
        stretched.Canvas()->CopyRect(TRect(0, 0, 4, 4), from.Canvas(), all);
        stretched.Canvas()->CopyRect(all, from.Canvas(), TRect(0, 0, 4, 4));
        stretched.Canvas()->CopyRect(TRect(0, 0, 4, 4), from.Canvas(), TRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN));
        // A source canvas with an origin, and places at the end of the range.
        TCanvas shifted;
        shifted.SetSurface(&from.bitmap, TPoint(5, 5), TCanvas::NoClip());
        to.Canvas()->CopyRect(TRect(INT_MAX - 2, 0, INT_MAX, 2), &shifted, TRect(INT_MAX - 2, 0, INT_MAX, 2));
        to.Canvas()->Draw(INT_MAX - 1, INT_MAX - 1, &from.bitmap);
        to.Canvas()->StretchDraw(all, &from.bitmap);
    }, childcase::kFinished);
}

TEST(SystemColours, ClassicSchemeAndColorToRGB) {
    EXPECT_EQ(GetSysColor(15), 0x00C8D0D4u);  // button face 212, 208, 200
    EXPECT_EQ(GetSysColor(16), 0x00808080u);  // button shadow
    EXPECT_EQ(GetSysColor(20), 0x00FFFFFFu);  // button highlight
    EXPECT_EQ(GetSysColor(13), 0x006A240Au);  // highlight 10, 36, 106
    EXPECT_EQ(GetSysColor(8), 0u);            // window text
    EXPECT_EQ(GetSysColor(24), 0x00E1FFFFu);  // tooltip background
    EXPECT_EQ(GetSysColor(25), 0u);
    EXPECT_EQ(GetSysColor(31), 0u);
    for (int i : {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 14, 17, 18, 19, 21, 22, 23, 26, 27, 28, 29, 30})
        EXPECT_EQ(static_cast<COLORREF>(ColorToRGB(SystemColor(i))), GetSysColor(i)) << i;
    EXPECT_EQ(ColorToRGB(clNavy), clNavy);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
}

TEST(DeviceContext, HandlePassesBrushAndFontOnlyWhenChanged) {
    TCanvas canvas;
    EXPECT_EQ(canvas.Handle()->BkMode, OPAQUE);
    canvas.Brush()->SetStyle(bsClear);
    EXPECT_EQ(canvas.Handle()->BkMode, TRANSPARENT);
    canvas.Brush()->SetStyle(bsSolid);
    EXPECT_EQ(SetBkMode(canvas.Handle(), TRANSPARENT), OPAQUE);
    EXPECT_EQ(canvas.Handle()->BkMode, TRANSPARENT);  // kept: the brush did not change since
    canvas.Font()->SetColor(clBtnShadow);
    EXPECT_EQ(canvas.Handle()->TextColor, 0x00808080u);
    EXPECT_EQ(SetBkMode(canvas.Handle(), 7), 0);
    EXPECT_EQ(SetBkMode(nullptr, OPAQUE), 0);
}

TEST(Font, SizeAndHeight) {
    TFont f;
    EXPECT_EQ(AnsiToUtf8(f.Name()), "ＭＳ Ｐゴシック");
    EXPECT_EQ(f.Height(), -12);
    EXPECT_EQ(f.Size(), 9);
    f.SetSize(11);
    EXPECT_EQ(f.Height(), -15);
}

// ---- DrawTextA ----

namespace {

struct TText {
    TBitmap bitmap;
    TText(int w, int h) {
        InitVclForTests();
        bitmap.SetSize(w, h);
        bitmap.Canvas()->Brush()->SetColor(clWhite);
        bitmap.Canvas()->FillRect(TRect(0, 0, w, h));
        bitmap.Canvas()->Font()->SetHeight(-14);
        bitmap.Canvas()->Font()->SetColor(clBlack);
    }
    int Draw(const std::string& utf8, TRect r, UINT format) {
        return DrawTextA(bitmap.Canvas()->Handle(), Utf8ToAnsi(utf8).c_str(), -1, &r, format);
    }
    TRect Measure(const std::string& utf8, TRect r, UINT format) {
        DrawTextA(bitmap.Canvas()->Handle(), Utf8ToAnsi(utf8).c_str(), -1, &r, format | DT_CALCRECT);
        return r;
    }
    // The painted columns' and rows' extent.
    TRect Ink() {
        TRect r(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (bitmap.Canvas()->Pixels(x, y) != clWhite) {
                    r.Left = std::min(r.Left, x), r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1), r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }
    std::set<TColor> Colours() {
        std::set<TColor> s;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) s.insert(bitmap.Canvas()->Pixels(x, y));
        return s;
    }
};

}  // namespace

TEST(DrawText, MeasuresLinesAndPrefixes) {
    TText t(200, 100);
    const TRect one = t.Measure("AB", TRect(0, 0, 200, 100), DT_LEFT);
    EXPECT_GT(one.Width(), 0);
    EXPECT_GT(one.Height(), 10);
    EXPECT_EQ(t.Measure("A&B", TRect(0, 0, 200, 100), DT_LEFT).Width(), one.Width());
    EXPECT_EQ(t.Measure("A&&B", TRect(0, 0, 200, 100), DT_LEFT),
              t.Measure("A&B", TRect(0, 0, 200, 100), DT_NOPREFIX));
    EXPECT_EQ(t.Measure("AB\r\nAB", TRect(0, 0, 200, 100), DT_LEFT).Height(), 2 * one.Height());
    EXPECT_EQ(t.Measure("AB\r\nAB", TRect(0, 0, 200, 100), DT_SINGLELINE).Height(), one.Height());
    EXPECT_EQ(t.Measure("", TRect(5, 5, 200, 100), DT_LEFT), TRect(5, 5, 5, 5));
    // Word breaking at blanks and between double-byte characters.
    const int word = t.Measure("word", TRect(0, 0, 200, 100), DT_LEFT).Width();
    EXPECT_EQ(t.Measure("word word word", TRect(0, 0, word + 2, 100), DT_WORDBREAK).Height(),
              3 * one.Height());
    const int kana = t.Measure("あい", TRect(0, 0, 200, 100), DT_LEFT).Width();
    EXPECT_EQ(t.Measure("あいあいあい", TRect(0, 0, kana + 1, 100), DT_WORDBREAK).Height(),
              3 * one.Height());
    // Nothing is drawn while measuring.
    EXPECT_EQ(t.Colours(), (std::set<TColor>{clWhite}));
}

TEST(DrawText, DrawsPlainPixelsAlignedAndClipped) {
    TText left(120, 30), centre(120, 30), right(120, 30);
    left.Draw("Hj", TRect(0, 0, 120, 30), DT_LEFT | DT_SINGLELINE);
    centre.Draw("Hj", TRect(0, 0, 120, 30), DT_CENTER | DT_SINGLELINE);
    right.Draw("Hj", TRect(0, 0, 120, 30), DT_RIGHT | DT_SINGLELINE);
    EXPECT_EQ(left.Colours(), (std::set<TColor>{clWhite, clBlack}));  // no anti-aliasing
    EXPECT_LT(left.Ink().Left, centre.Ink().Left);
    EXPECT_LT(centre.Ink().Left, right.Ink().Left);
    EXPECT_LE(right.Ink().Right, 120);

    TText clipped(120, 30);
    clipped.Draw("HHHH", TRect(0, 0, 6, 30), DT_LEFT | DT_SINGLELINE);
    EXPECT_LE(clipped.Ink().Right, 6);
    TText unclipped(120, 30);
    unclipped.Draw("HHHH", TRect(0, 0, 6, 30), DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(unclipped.Ink().Right, 6);
}

TEST(DrawText, PrefixUnderlinesAndOpaqueBackground) {
    TText plain(80, 30), marked(80, 30);
    const int h = plain.Draw("AB", TRect(0, 0, 80, 30), DT_LEFT);
    marked.Draw("&AB", TRect(0, 0, 80, 30), DT_LEFT);
    EXPECT_GT(h, 0);
    EXPECT_GT(marked.Ink().Bottom, plain.Ink().Bottom);  // a line under the A

    TText opaque(80, 30);
    opaque.bitmap.Canvas()->Brush()->SetColor(clYellow);
    opaque.Draw("AB", TRect(0, 0, 80, 30), DT_LEFT);
    EXPECT_EQ(opaque.bitmap.Canvas()->Pixels(0, 0), clYellow);
    opaque.bitmap.Canvas()->Brush()->SetStyle(bsClear);
    opaque.Draw("AB", TRect(0, 15, 80, 30), DT_LEFT);
    EXPECT_EQ(opaque.bitmap.Canvas()->Pixels(0, 15), clWhite);
}

TEST(DrawText, JapaneseFacesDrawGlyphs) {
    for (const char* face : {"ＭＳ Ｐゴシック", "ＭＳ Ｐ明朝"}) {
        TText t(80, 30);
        t.bitmap.Canvas()->Font()->SetName(Utf8ToAnsi(face));
        t.bitmap.Canvas()->Brush()->SetStyle(bsClear);
        t.Draw("異常終了", TRect(0, 0, 80, 30), DT_LEFT);
        EXPECT_GT(t.Ink().Width(), 30) << face;
    }
}

// ---- controls ----

TEST(Controls, AlignmentFillsAndFollowsTheClientArea) {
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 100, 50);
    auto* top = new TGraphicControl(nullptr);
    auto* client = new TGraphicControl(nullptr);
    top->SetBounds(0, 0, 10, 8);
    top->SetAlign(alTop);
    client->SetAlign(alClient);
    top->SetParent(&parent);
    client->SetParent(&parent);
    EXPECT_EQ(top->BoundsRect(), TRect(0, 0, 100, 8));
    EXPECT_EQ(client->BoundsRect(), TRect(0, 8, 100, 50));
    parent.SetClientWidth(60);
    EXPECT_EQ(client->BoundsRect(), TRect(0, 8, 60, 50));
    client->SetBounds(5, 5, 5, 5);  // an aligned control goes back into place
    EXPECT_EQ(client->BoundsRect(), TRect(0, 8, 60, 50));
    parent.DisableAlign();
    parent.SetClientHeight(30);
    EXPECT_EQ(client->BoundsRect(), TRect(0, 8, 60, 50));
    parent.EnableAlign();
    EXPECT_EQ(client->BoundsRect(), TRect(0, 8, 60, 30));
}

TEST(Controls, ParentFontAndOwnership) {
    TWinControl parent(nullptr);
    parent.Font()->SetHeight(-20);
    auto* child = new TGraphicControl(&parent);
    child->SetParent(&parent);
    EXPECT_EQ(child->Font()->Height(), -20);
    parent.Font()->SetColor(clRed);
    EXPECT_EQ(child->Font()->Color(), clRed);
    child->Font()->SetHeight(-9);
    EXPECT_FALSE(child->ParentFont());
    parent.Font()->SetHeight(-30);
    EXPECT_EQ(child->Font()->Height(), -9);
    EXPECT_EQ(parent.ControlCount(), 1);
    delete child;
    EXPECT_EQ(parent.ControlCount(), 0);
    EXPECT_EQ(parent.ComponentCount(), 0);
}
