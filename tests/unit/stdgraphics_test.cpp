#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Stdgraphics.h"
#include "rtl/clock.h"
#include "rtl/codepage.h"
#include "rtl/sysutils.h"
#include "support/childcase.h"
#include "vcl/graphics.h"
#include "vcl/testing.h"

using namespace Stdgraphics;

namespace {

// A colour no routine below draws, to tell unpainted pixels.
constexpr TColor kUnpainted = RGB(0x55, 0x66, 0x77);
constexpr int U = -1;  // an unpainted pixel in the tables

struct TPad {
    TBitmap bitmap;
    TPad(int w, int h) {
        bitmap.SetSize(w, h);
        bitmap.Canvas()->Brush()->SetColor(kUnpainted);
        bitmap.Canvas()->FillRect(TRect(0, 0, w, h));
    }
    TCanvas* Canvas() { return bitmap.Canvas(); }
    TColor At(int x, int y) { return bitmap.Canvas()->Pixels(x, y); }
    // Red of the pixel, or U when it was not painted.
    int Red(int x, int y) { return At(x, y) == kUnpainted ? U : GetRValue(At(x, y)); }
    std::vector<int> Row(int y) {
        std::vector<int> r;
        for (int x = 0; x < bitmap.Width(); ++x) r.push_back(Red(x, y));
        return r;
    }
    int CountPainted() {
        int n = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) n += At(x, y) != kUnpainted;
        return n;
    }
};

constexpr TColor Red(int r) { return RGB(r, 0, 0); }

}  // namespace

// ---- four-corner form ----

struct FourCornerCase {
    const char* name;
    TRect area;
    int canvasW, canvasH;
    TColor tl, tr, bl, br;
    std::function<int(int x, int y)> expectedRed;  // U where nothing is written
};

TEST(FourCorner, PixelTable) {
    const FourCornerCase cases[] = {
        {"2x2, weights x/W: column 1 is 127.5 truncated", TRect(0, 0, 2, 2), 2, 2, clBlack,
         Red(255), clBlack, Red(255), [](int x, int) { return x == 0 ? 0 : 127; }},
        {"1x1 is exactly the top-left colour", TRect(0, 0, 1, 1), 1, 1, Red(77), Red(255),
         Red(3), Red(200), [](int, int) { return 77; }},
        {"Left and Top are not added", TRect(10, 10, 20, 20), 25, 25, Red(9), Red(9), Red(9),
         Red(9), [](int x, int y) { return x < 10 && y < 10 ? 9 : U; }},
        {"all 255 on 364x53: row 2 falls just below 255", TRect(0, 0, 364, 53), 364, 53,
         Red(255), Red(255), Red(255), Red(255), [](int, int y) { return y == 2 ? 254 : 255; }},
        {"all 1 with height 53: row 2 is 0", TRect(0, 0, 7, 53), 7, 53, Red(1), Red(1), Red(1),
         Red(1), [](int, int y) { return y == 2 ? 0 : 1; }},
        {"height 0 writes nothing", TRect(0, 0, 364, 0), 10, 3, Red(1), Red(1), Red(1), Red(1),
         [](int, int) { return U; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPad pad(c.canvasW, c.canvasH);
        DrawGradation(c.area, pad.Canvas(), c.tl, c.tr, c.bl, c.br);
        int wrong = 0;
        for (int y = 0; y < c.canvasH; ++y)
            for (int x = 0; x < c.canvasW; ++x)
                if (pad.Red(x, y) != c.expectedRed(x, y) && wrong++ < 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << " red " << pad.Red(x, y)
                                  << ", expected " << c.expectedRed(x, y);
        EXPECT_EQ(wrong, 0);
    }
}

TEST(FourCorner, LeavesPenAndBrushAlone) {
    TPad pad(4, 4);
    pad.Canvas()->Pen()->SetColor(clLime);
    pad.Canvas()->Pen()->SetWidth(3);
    pad.Canvas()->Brush()->SetColor(clAqua);
    DrawGradation(TRect(0, 0, 4, 4), pad.Canvas(), clRed, clBlue, clWhite, clBlack);
    EXPECT_EQ(pad.Canvas()->Pen()->Color(), clLime);
    EXPECT_EQ(pad.Canvas()->Pen()->Width(), 3);
    EXPECT_EQ(pad.Canvas()->Brush()->Color(), clAqua);
}

// ---- banded form ----

struct BandedCase {
    const char* name;
    TRect area;
    std::vector<TColor> colors;
    int canvasW;
    std::vector<int> row0;  // reds of row 0, U where unpainted
};

TEST(Banded, HorizontalPixelTable) {
    const std::vector<int> rising{U, U, U, 0, 28, 56, 84, 113, 141, 169, 198, 226, 254, U};
    const std::vector<int> falling{U, U, U, 255, 227, 199, 171, 142, 114, 86, 57, 29, 1, U};
    const BandedCase cases[] = {
        {"0 to 255 over three columns", TRect(0, 0, 3, 2), {clBlack, Red(255)}, 3, {0, 127, 255}},
        {"255 to 0 over three columns", TRect(0, 0, 3, 2), {Red(255), clBlack}, 3, {255, 128, 0}},
        {"0 to 255 over ten columns ends at 254", TRect(3, 0, 13, 2), {clBlack, Red(255)}, 14, rising},
        {"255 to 0 over ten columns ends at 1", TRect(3, 0, 13, 2), {Red(255), clBlack}, 14, falling},
        {"0 to 1 over 33 columns stays 0", TRect(0, 0, 33, 1), {Red(0), Red(1)}, 33,
         std::vector<int>(33, 0)},
        {"three colours over 10", TRect(0, 0, 10, 1), {Red(0), Red(100), Red(0)}, 10,
         {0, 25, 50, 75, 100, 100, 75, 50, 25, 0}},
        {"three colours over 11 leave the last column", TRect(0, 0, 11, 1),
         {Red(0), Red(100), Red(0)}, 11, {0, 25, 50, 75, 100, 100, 75, 50, 25, 0, U}},
        {"three colours off the origin: bands end at the band size", TRect(3, 0, 13, 1),
         {Red(0), Red(100), Red(0)}, 14, {U, U, U, 0, 100, U, U, U, 100, 0, U, U, U, U}},
        {"six colours over 4: band size 0", TRect(0, 0, 4, 1),
         {Red(1), Red(2), Red(3), Red(4), Red(5), Red(6)}, 4, {U, U, U, U}},
        {"a one-pixel band is the start colour", TRect(0, 0, 1, 1), {Red(10), Red(200)}, 2, {10, U}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPad pad(c.canvasW, 2);
        DrawGradation(c.area, pad.Canvas(), ddHorizontal, c.colors.data(),
                      static_cast<int>(c.colors.size()) - 1);
        EXPECT_EQ(pad.Row(0), c.row0);
    }
}

TEST(Banded, VerticalDrawsRows) {
    TPad pad(2, 3);
    const TColor colors[] = {clBlack, Red(255)};
    DrawGradation(TRect(0, 0, 2, 3), pad.Canvas(), ddVartical, colors, 1);
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(pad.Red(x, 0), 0);
        EXPECT_EQ(pad.Red(x, 1), 127);
        EXPECT_EQ(pad.Red(x, 2), 255);
    }
}

TEST(Banded, ReversedRectangleDrawsUpwardLines) {
    // Bottom above Top: only the width decides; each line runs from row 10 up to row 0.
    TPad pad(6, 12);
    const TColor colors[] = {Red(10), Red(50)};
    DrawGradation(TRect(0, 10, 5, 0), pad.Canvas(), ddHorizontal, colors, 1);
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 12; ++y)
            EXPECT_EQ(pad.Red(x, y) != U, x < 5 && y >= 1 && y <= 10) << x << "," << y;
    EXPECT_EQ(pad.Red(0, 5), 10);
    EXPECT_EQ(pad.Red(4, 5), 50);
}

TEST(Banded, OneColourFillsThroughTheBrush) {
    TPad pad(5, 5);
    const TColor colors[] = {clBtnFace};
    DrawGradation(TRect(1, 1, 4, 4), pad.Canvas(), ddHorizontal, colors, 0);
    EXPECT_EQ(pad.Canvas()->Brush()->Color(), clBtnFace);  // handed on unresolved
    EXPECT_EQ(pad.At(1, 1), static_cast<TColor>(GetSysColor(15)));
    EXPECT_EQ(pad.At(3, 3), static_cast<TColor>(GetSysColor(15)));
    EXPECT_EQ(pad.At(4, 4), kUnpainted);
}

TEST(Banded, NegativeIndexDrawsNothing) {
    TPad pad(5, 5);
    const TColor colors[] = {clRed};
    DrawGradation(TRect(0, 0, 5, 5), pad.Canvas(), ddHorizontal, colors, -1);
    EXPECT_EQ(pad.CountPainted(), 0);
}

// ---- oblique form ----

TEST(Oblique, ThreeByTwoBothWays) {
    struct Case {
        TDrawOblique direction;
        std::vector<int> row0, row1;
    } cases[] = {
        {doObliqueLtR, {U, U, U}, {63, 127, 191}},
        {doObliqueRtL, {191, 127, 63}, {255, 191, 127}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.direction == doObliqueLtR ? "LtR" : "RtL");
        TPad pad(3, 2);
        DrawGradation(TRect(0, 0, 3, 2), pad.Canvas(), c.direction, clBlack, Red(255));
        EXPECT_EQ(pad.Row(0), c.row0);
        EXPECT_EQ(pad.Row(1), c.row1);
    }
}

TEST(Oblique, LinesAreNotClippedToTheArea) {
    TPad pad(6, 6);
    DrawGradation(TRect(0, 0, 3, 2), pad.Canvas(), doObliqueLtR, clBlack, Red(255));
    EXPECT_EQ(pad.Red(0, 3), 191);  // the line x + y = 3 goes on below the area
}

TEST(Oblique, DegenerateAreasDrawNothingAndDoNotFault) {
    for (const TRect& r : {TRect(0, 0, 0, 1), TRect(0, 0, 1, 0), TRect(0, 0, 0, 0), TRect(4, 4, 1, 1)}) {
        TPad pad(5, 5);
        DrawGradation(r, pad.Canvas(), doObliqueLtR, clBlack, clRed);
        DrawGradation(r, pad.Canvas(), doObliqueRtL, clBlack, clRed);
        EXPECT_EQ(pad.CountPainted(), 0);
    }
}

// ---- what the routines leave behind ----

TEST(Gradation, SystemColoursAreResolvedInEveryForm) {
    const TColor sys = static_cast<TColor>(GetSysColor(15));
    const TColor colors[] = {clBtnFace, clBtnFace};
    TPad a(3, 3), b(3, 3), c(3, 3);
    DrawGradation(TRect(0, 0, 3, 3), a.Canvas(), clBtnFace, clBtnFace, clBtnFace, clBtnFace);
    DrawGradation(TRect(0, 0, 3, 3), b.Canvas(), ddHorizontal, colors, 1);
    DrawGradation(TRect(0, 0, 3, 3), c.Canvas(), doObliqueRtL, clBtnFace, clBtnFace);
    for (TPad* pad : {&a, &b, &c}) EXPECT_EQ(pad->At(1, 1), sys);
}

TEST(Gradation, PenKeepsTheLastLine) {
    TPad pad(3, 2);
    pad.Canvas()->Pen()->SetColor(clLime);
    pad.Canvas()->Pen()->SetWidth(4);
    const TColor colors[] = {clBlack, Red(255)};
    DrawGradation(TRect(0, 0, 3, 2), pad.Canvas(), ddHorizontal, colors, 1);
    EXPECT_EQ(pad.Canvas()->Pen()->Color(), Red(255));
    EXPECT_EQ(pad.Canvas()->Pen()->Width(), 1);
    DrawGradation(TRect(0, 0, 3, 2), pad.Canvas(), doObliqueLtR, Red(255), clBlack);
    EXPECT_EQ(pad.Canvas()->Pen()->Color(), clBlack);  // index 4: exactly the second colour
}

TEST(Line, SetsThePenOnlyWhereItDiffers) {
    TPad pad(5, 5);
    int changes = 0;
    pad.Canvas()->Pen()->OnChange = [&](TObject*) { ++changes; };
    Line(pad.Canvas(), clRed, 0, 0, 4, 0, 1);
    Line(pad.Canvas(), clRed, 0, 1, 4, 1, 1);
    EXPECT_EQ(changes, 1);  // the colour once; the width was already 1
    Line(pad.Canvas(), clRed, 0, 2, 4, 2, 2);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(pad.Canvas()->PenPos(), TPoint(4, 2));
    EXPECT_EQ(pad.At(3, 0), clRed);
    EXPECT_EQ(pad.At(4, 0), kUnpainted);  // the end point is left unpainted
}

namespace {
// A clock that moves 7 ms at every reading, starting just below the 32-bit wrap.
class TSteppingClock : public TClock {
public:
    std::uint64_t NowMs() override { return FNow += 7; }
    void SleepMs(std::uint32_t ms) override { FNow += ms; }
    std::uint64_t FNow = 0xFFFFFFFFull - 3;
};
}  // namespace

TEST(Gradation, ElapsedTimeIsTheTickDifferenceModulo32Bits) {
    TSteppingClock clock;
    SetClock(&clock);
    TPad pad(4, 4);
    const TColor colors[] = {clRed, clBlue};
    EXPECT_EQ(DrawGradation(TRect(0, 0, 4, 4), pad.Canvas(), clRed, clBlue, clRed, clBlue), 7u);
    EXPECT_EQ(DrawGradation(TRect(0, 0, 4, 4), pad.Canvas(), ddVartical, colors, 1), 7u);
    EXPECT_EQ(LightScreen(TRect(0, 0, 0, 0), pad.Canvas(), 10), 7u);
    SetClock(nullptr);
}

// ---- areas far larger than the canvas ----

namespace {

struct TRoutine {
    const char* name;
    bool sizesABitmap;  // LightScreen and TileBitmap make a bitmap of the area's size
    std::function<void(const TRect&, TCanvas*)> draw;
};

std::vector<TRoutine> Routines(TBitmap* tile) {
    static const TColor one[] = {Red(90)}, two[] = {Red(10), Red(250)},
                        three[] = {Red(10), Red(250), Red(30)};
    return {
        {"LightScreen", true, [](const TRect& r, TCanvas* c) { LightScreen(r, c, 40); }},
        {"TileBitmap", true, [tile](const TRect& r, TCanvas* c) { TileBitmap(r, c, tile); }},
        {"four-corner", false,
         [](const TRect& r, TCanvas* c) { DrawGradation(r, c, Red(10), Red(250), Red(30), Red(170)); }},
        {"one colour", false, [](const TRect& r, TCanvas* c) { DrawGradation(r, c, ddHorizontal, one, 0); }},
        {"two colours across", false,
         [](const TRect& r, TCanvas* c) { DrawGradation(r, c, ddHorizontal, two, 1); }},
        {"two colours down", false, [](const TRect& r, TCanvas* c) { DrawGradation(r, c, ddVartical, two, 1); }},
        {"three colours across", false,
         [](const TRect& r, TCanvas* c) { DrawGradation(r, c, ddHorizontal, three, 2); }},
        {"three colours down", false,
         [](const TRect& r, TCanvas* c) { DrawGradation(r, c, ddVartical, three, 2); }},
        {"oblique left to right", false,
         [](const TRect& r, TCanvas* c) { DrawGradation(r, c, doObliqueLtR, Red(10), Red(250)); }},
        {"oblique right to left", false,
         [](const TRect& r, TCanvas* c) { DrawGradation(r, c, doObliqueRtL, Red(10), Red(250)); }},
    };
}

// How a call ended: "finished", or the out-of-resources error.
std::string Outcome(const std::function<void()>& call) {
    try {
        call();
        return childcase::kFinished;
    } catch (const EOutOfResources& e) {
        return "EOutOfResources: " + AnsiToUtf8(e.Message);
    }
}

}  // namespace

// Every routine ends on an area of any size; one whose bitmap cannot be held raises the
// out-of-resources error, and the next call on the canvas works.
TEST(HugeAreas, EveryRoutineEndsOrRaises) {
    std::vector<TRect> areas;
    // Widths around 2^31 / 3, 2^31 / 2 and 2^31 - 1, with heights 0 and 1, and negative ones.
    for (int w : {715827882, 715827883, 1073741823, 1073741824, 1431655765, 1431655766, INT_MAX, -1, INT_MIN})
        for (int h : {0, 1, -1}) areas.push_back(TRect(0, 0, w, h));
    for (const TRect& r : {TRect(0, 0, 1, INT_MAX), TRect(0, 0, INT_MAX, INT_MAX),
                           TRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), TRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN),
                           TRect(INT_MIN, 0, INT_MAX, 1), TRect(-5, 3, INT_MAX, 9),
                           TRect(INT_MAX - 3, INT_MIN, INT_MAX, INT_MAX), TRect(INT_MIN, -2, 5, INT_MAX)})
        areas.push_back(r);
    for (const TRect& area : areas) {
        const long long w = (long long)area.Right - area.Left, h = (long long)area.Bottom - area.Top;
        SCOPED_TRACE("area " + std::to_string(area.Left) + ", " + std::to_string(area.Top) + ", " +
                     std::to_string(area.Right) + ", " + std::to_string(area.Bottom));
        childcase::Expect([area, w, h] {
            TBitmap tile;
            tile.SetSize(1, 1);
            for (const TRoutine& routine : Routines(&tile)) {
                TPad pad(8, 6);
                const std::string expected =
                    routine.sizesABitmap && w > 0 && h > 0 ? childcase::kOutOfResources : childcase::kFinished;
                const std::string got = Outcome([&] { routine.draw(area, pad.Canvas()); });
                if (got != expected) throw std::runtime_error(std::string(routine.name) + ": " + got);
                LightScreen(TRect(0, 0, 8, 6), pad.Canvas(), 1);
            }
        }, childcase::kFinished);
    }
}

// Drawn on a small canvas, an area shows what it shows on a large one, and the pen ends as the
// last line leaves it: what lies off the canvas may be passed over, nothing else.
TEST(HugeAreas, ASmallCanvasShowsWhatALargeOneShows) {
    TBitmap tile;
    tile.SetSize(3, 2);
    tile.Canvas()->SetPixels(1, 1, clBlue);
    const TRect areas[] = {TRect(0, 0, 300, 200),  TRect(5, 3, 250, 120),   TRect(0, 10, 5, 0),
                           TRect(-50, -20, 100, 80), TRect(3, -7, 40, 260),   TRect(200, 5, 20, 190),
                           TRect(-100, 50, 30, 60),  TRect(17, 2, 18, 250),   TRect(40, 31, 41, 32)};
    for (const TRoutine& routine : Routines(&tile)) {
        for (const TRect& area : areas) {
            SCOPED_TRACE(std::string(routine.name) + " on " + std::to_string(area.Left) + ", " +
                         std::to_string(area.Top) + ", " + std::to_string(area.Right) + ", " +
                         std::to_string(area.Bottom));
            TPad large(400, 300), plain(13, 9);
            // A control's canvas: its point (30, 20) is the surface's (0, 0), clipped further.
            TPad surface(24, 18);
            TCanvas control;
            control.SetSurface(&surface.bitmap, TPoint(-30, -20), TRect(2, 1, 22, 17));
            control.Brush()->SetColor(kUnpainted);  // as the pads' fills left theirs
            for (TCanvas* canvas : {large.Canvas(), plain.Canvas(), &control}) routine.draw(area, canvas);

            int wrong = 0;
            for (int y = 0; y < 18; ++y)
                for (int x = 0; x < 24; ++x) {
                    const bool inside = x >= 2 && x < 22 && y >= 1 && y < 17;
                    wrong += surface.At(x, y) != (inside ? large.At(x + 30, y + 20) : kUnpainted);
                    if (x < 13 && y < 9) wrong += plain.At(x, y) != large.At(x, y);
                }
            EXPECT_EQ(wrong, 0);
            for (TCanvas* canvas : {plain.Canvas(), &control}) {
                EXPECT_EQ(canvas->Pen()->Color(), large.Canvas()->Pen()->Color());
                EXPECT_EQ(canvas->Pen()->Width(), large.Canvas()->Pen()->Width());
                EXPECT_EQ(canvas->PenPos(), large.Canvas()->PenPos());
                EXPECT_EQ(canvas->Brush()->Color(), large.Canvas()->Brush()->Color());
            }
        }
    }
}

// ---- helpers ----

TEST(LightScreen, AddsTheAmountToEveryByteClamped) {
    struct Case {
        int amount;
        TColor before, after;
    } cases[] = {
        {0, RGB(250, 100, 0), RGB(250, 100, 0)},
        {40, RGB(250, 100, 0), RGB(255, 140, 40)},
        {255, RGB(1, 2, 3), clWhite},
        {1000, RGB(1, 2, 3), clWhite},
        {-255, RGB(250, 100, 3), clBlack},
        {INT_MIN, RGB(250, 100, 3), clBlack},
        {INT_MAX, RGB(250, 100, 3), clWhite},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.amount);
        TPad pad(7, 5);  // a width whose rows have fill bytes
        pad.Canvas()->Brush()->SetColor(c.before);
        pad.Canvas()->FillRect(TRect(1, 1, 6, 4));
        LightScreen(TRect(2, 1, 6, 3), pad.Canvas(), c.amount);
        EXPECT_EQ(pad.At(2, 1), c.after);
        EXPECT_EQ(pad.At(5, 2), c.after);
        EXPECT_EQ(pad.At(1, 1), c.before);  // outside the area
        EXPECT_EQ(pad.At(2, 3), c.before);
    }
}

TEST(LightScreen, EmptyOrReversedAreaChangesNothing) {
    for (const TRect& r : {TRect(1, 1, 1, 4), TRect(1, 1, 4, 1), TRect(4, 4, 1, 1)}) {
        TPad pad(5, 5);
        LightScreen(r, pad.Canvas(), 100);
        EXPECT_EQ(pad.CountPainted(), 0);
    }
}

TEST(TileBitmap, TilesFromTheAreaCornerAndCutAtItsEdge) {
    TBitmap tile;
    tile.SetSize(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) tile.Canvas()->SetPixels(x, y, RGB(x * 20, y * 20, 9));
    TPad pad(40, 40);
    TileBitmap(TRect(5, 3, 30, 28), pad.Canvas(), &tile);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 5 && x < 30 && y >= 3 && y < 28;
            const TColor want = inside ? RGB((x - 5) % 10 * 20, (y - 3) % 10 * 20, 9) : kUnpainted;
            ASSERT_EQ(pad.At(x, y), want) << x << "," << y;
        }
}

TEST(TileBitmap, LargeTileShowsItsCornerOnceAndEmptyTileNothing) {
    TBitmap tile;
    tile.SetSize(30, 30);
    tile.Canvas()->Brush()->SetColor(clRed);
    tile.Canvas()->FillRect(TRect(0, 0, 30, 30));
    tile.Canvas()->SetPixels(0, 0, clBlue);
    TPad pad(10, 10);
    TileBitmap(TRect(2, 2, 8, 8), pad.Canvas(), &tile);
    EXPECT_EQ(pad.At(2, 2), clBlue);
    EXPECT_EQ(pad.At(7, 7), clRed);
    EXPECT_EQ(pad.At(8, 8), kUnpainted);

    TBitmap empty;
    TPad untouched(10, 10);
    EXPECT_EQ(TileBitmap(TRect(0, 0, 10, 10), untouched.Canvas(), &empty), 0u);
    EXPECT_EQ(untouched.CountPainted(), 0);
}

TEST(DrawTextShadow, ShadowUnderTextTransparentAndAreaKept) {
    InitVclForTests();
    const auto draw = [](int dx, int dy, TCanvas*& canvasOut, TBitmap& bitmap) {
        bitmap.SetSize(60, 24);
        canvasOut = bitmap.Canvas();
        canvasOut->Brush()->SetColor(clWhite);
        canvasOut->FillRect(TRect(0, 0, 60, 24));
        canvasOut->Font()->SetHeight(-16);
        TRect area(2, 2, 58, 22);
        DrawTextShadow(area, canvasOut, "HW", DT_LEFT | DT_SINGLELINE, dx, dy, clRed, clBlack);
        EXPECT_EQ(area, TRect(2, 2, 58, 22));
    };
    const auto count = [](TBitmap& b, TColor c) {
        int n = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) n += b.Canvas()->Pixels(x, y) == c;
        return n;
    };
    TBitmap moved, same;
    TCanvas* canvas = nullptr;
    draw(2, 2, canvas, moved);
    EXPECT_GT(count(moved, clBlack), 0);
    EXPECT_GT(count(moved, clRed), 0);
    EXPECT_EQ(count(moved, clWhite) + count(moved, clBlack) + count(moved, clRed), 60 * 24)
        << "no blended pixels, no background boxes";
    EXPECT_EQ(canvas->Font()->Color(), clRed);
    EXPECT_EQ(canvas->Handle()->BkMode, TRANSPARENT);

    draw(0, 0, canvas, same);
    EXPECT_EQ(count(same, clBlack), 0);  // the text covers its shadow exactly
    EXPECT_GT(count(same, clRed), 0);
}

TEST(DivideRGB, SplitsTheLowThreeBytes) {
    std::uint8_t r, g, b;
    DivideRGB(0x00336699, r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0x99, 0x66, 0x33}));
    DivideRGB(static_cast<TColor>(0x8000000F), r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0x0F, 0, 0}));
}

TEST(InValue, ClampsOrWraps) {
    struct Case {
        int value, min, max;
        bool wrap;
        int expected;
    } cases[] = {
        {300, 0, 255, false, 255},  {-5, 0, 255, false, 0},     {300, 0, 255, true, 44},
        {-1, 0, 255, true, 255},    {5, 10, 20, true, 16},      {47, 10, 20, true, 14},
        {-15, -10, 10, true, 6},    {7, 5, 5, true, 5},         {7, 5, 5, false, 5},
        {1, 9, 3, true, 9},         {1, 9, 3, false, 9},        {128, 0, 255, true, 128},
        // A range wider than the int range, and values far outside a small range.
        {INT_MAX, INT_MIN, INT_MAX - 1, true, INT_MIN},
        {INT_MIN, -1, 0, true, 0},  {INT_MAX, 0, 1, true, 1},   {INT_MIN, 0, 255, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InValue(c.value, c.min, c.max, c.wrap), c.expected)
            << c.value << " in " << c.min << ".." << c.max << (c.wrap ? " wrapped" : "");
}

TEST(GetPixelForByteSize, BytesPerPixel) {
    EXPECT_EQ(GetPixelForByteSize(pf8bit), 1);
    EXPECT_EQ(GetPixelForByteSize(pf16bit), 2);
    EXPECT_EQ(GetPixelForByteSize(pf24bit), 3);
    EXPECT_EQ(GetPixelForByteSize(pf32bit), 4);
    EXPECT_EQ(GetPixelForByteSize(pf1bit), 0);
}
