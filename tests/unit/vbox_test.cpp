#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Stdgraphics.h"
#include "VBox.h"
#include "rtl/clock.h"
#include "rtl/sysutils.h"
#include "support/childcase.h"
#include "support/pictures.h"
#include "vcl/controls.h"
#include "vcl/formloader.h"

namespace {

// A parent window that records what its children invalidate.
class TProbeParent : public TWinControl {
public:
    TProbeParent() : TWinControl(nullptr) { SetBounds(0, 0, 200, 100); }
    void InvalidateRect(const TRect& rect) override {
        Invalidated.push_back(rect);
        TWinControl::InvalidateRect(rect);
    }
    std::vector<TRect> Invalidated;
};

// The box with its paint reachable, to read what a paint shows.
class TProbeBox : public TVBox {
public:
    using TVBox::TVBox;
    std::unique_ptr<TBitmap> Painted() { return PaintedOn(std::max(Width(), 1), std::max(Height(), 1)); }
    // What a paint shows on a w x h surface.
    std::unique_ptr<TBitmap> PaintedOn(int w, int h) {
        auto b = std::make_unique<TBitmap>();
        b->SetSize(w, h);
        b->Canvas()->Brush()->SetColor(clFuchsia);
        b->Canvas()->FillRect(TRect(0, 0, b->Width(), b->Height()));
        Canvas()->SetSurface(b.get());
        Paint();
        Canvas()->SetSurface(nullptr);
        return b;
    }
};

class VBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        box = new TProbeBox(nullptr);
        box->SetParent(&parent);
        box->SetBounds(10, 10, 8, 6);
        box->OnGradDraw = [this](TObject* sender) {
            EXPECT_EQ(sender, box);
            ++draws;
        };
        box->OnGradFine = [this](TObject*) { ++fines; };
        Reset();
    }
    void TearDown() override { delete box; }
    void Reset() {
        draws = fines = 0;
        parent.Invalidated.clear();
    }
    bool InvalidatedBox() const {
        for (const TRect& r : parent.Invalidated)
            if (r == box->BoundsRect()) return true;
        return false;
    }

    TProbeParent parent;
    TProbeBox* box = nullptr;
    int draws = 0, fines = 0;
};

}  // namespace

TEST(VBoxDefaults, ConstructorWritesTheDefaultsAndDrawsNothing) {
    TVBox box(nullptr);
    EXPECT_EQ(box.RectColor()->UpRight(), clBlue);
    EXPECT_EQ(box.RectColor()->UpLeft(), clWhite);
    EXPECT_EQ(box.RectColor()->DownRight(), clNavy);
    EXPECT_EQ(box.RectColor()->DownLeft(), clBlue);
    EXPECT_EQ(box.GradStyle(), vbHGrad);
    EXPECT_EQ(box.BorderTop(), clBtnHighlight);
    EXPECT_EQ(box.BorderBottom(), clBtnShadow);
    EXPECT_EQ(box.BorderWidth(), 1);
    EXPECT_EQ(box.Align(), alNone);
    EXPECT_TRUE(box.Texture()->Empty());
    EXPECT_EQ(box.Width(), 0);
}

TEST_F(VBoxTest, EveryFillSetterAndEveryBoundsCallRedraws) {
    TBitmap tile;
    tile.SetSize(2, 2);
    const std::vector<std::pair<const char*, std::function<void()>>> writes = {
        {"UpLeft, same value", [&] { box->RectColor()->SetUpLeft(box->RectColor()->UpLeft()); }},
        {"UpRight", [&] { box->RectColor()->SetUpRight(clRed); }},
        {"DownLeft", [&] { box->RectColor()->SetDownLeft(clRed); }},
        {"DownRight", [&] { box->RectColor()->SetDownRight(clRed); }},
        {"GradStyle, same value", [&] { box->SetGradStyle(box->GradStyle()); }},
        {"Texture", [&] { box->SetTexture(&tile); }},
        {"Texture nullptr", [&] { box->SetTexture(nullptr); }},
        {"SetBounds unchanged", [&] { box->SetBounds(10, 10, 8, 6); }},
        {"pure move", [&] { box->SetBounds(12, 10, 8, 6); }},
    };
    for (const auto& [name, write] : writes) {
        SCOPED_TRACE(name);
        Reset();
        write();
        EXPECT_EQ(draws, 1);
        EXPECT_EQ(fines, 1);
        EXPECT_TRUE(InvalidatedBox());
    }
}

TEST_F(VBoxTest, BorderSettersInvalidateWithoutRedrawing) {
    const std::vector<std::function<void()>> writes = {
        [&] { box->SetBorderTop(box->BorderTop()); },
        [&] { box->SetBorderBottom(clRed); },
        [&] { box->SetBorderWidth(1); },
    };
    for (const auto& write : writes) {
        Reset();
        write();
        EXPECT_EQ(draws, 0);
        EXPECT_TRUE(InvalidatedBox());
    }
}

TEST_F(VBoxTest, ZeroWidthOrHeightKeepsTheBackBuffer) {
    box->SetBorderWidth(0);
    box->SetGradStyle(vbFill);
    box->RectColor()->SetUpLeft(clRed);
    for (TRect b : {Bounds(10, 10, 0, 6), Bounds(10, 10, 8, 0)}) {
        box->SetBounds(b.Left, b.Top, b.Width(), b.Height());
        Reset();
        box->RectColor()->SetUpLeft(clBlue);
        EXPECT_EQ(draws, 1);
        EXPECT_EQ(fines, 0);
        EXPECT_TRUE(parent.Invalidated.empty());
        // The paint still shows the 8 x 6 picture of before.
        auto shown = box->Painted();
        EXPECT_EQ(shown->Canvas()->Pixels(0, 0), clRed);
        box->SetBounds(10, 10, 8, 6);
        EXPECT_EQ(box->Painted()->Canvas()->Pixels(7, 5), clBlue);
        box->RectColor()->SetUpLeft(clRed);
    }
}

TEST_F(VBoxTest, ABoxThatNeverHadAnAreaHasNoPictureToCopy) {
    TProbeBox fresh(nullptr);
    fresh.SetBorderWidth(0);
    auto b = fresh.Painted();
    EXPECT_EQ(b->Canvas()->Pixels(0, 0), clFuchsia);
}

TEST_F(VBoxTest, BackBufferFollowsEveryResize) {
    box->SetBorderWidth(0);
    box->SetGradStyle(vbFill);
    box->RectColor()->SetUpLeft(clRed);
    for (auto [w, h] : {std::pair{20, 3}, {3, 20}, {1, 1}, {30, 9}}) {
        box->SetBounds(0, 0, w, h);
        auto b = box->Painted();
        EXPECT_EQ(b->Canvas()->Pixels(w - 1, h - 1), clRed) << w << "x" << h;
    }
}

TEST_F(VBoxTest, FrameRings) {
    const int W = 7, H = 6;
    const TColor top = static_cast<TColor>(GetSysColor(20)), bottom = static_cast<TColor>(GetSysColor(16));
    box->SetGradStyle(vbFill);
    box->RectColor()->SetUpLeft(clRed);
    box->SetBounds(0, 0, W, H);
    for (int rings : {0, 1, 2, -1}) {
        SCOPED_TRACE(rings);
        box->SetBorderWidth(rings);
        auto b = box->Painted();
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int k = std::min({x, y, W - 1 - x, H - 1 - y});  // the ring of the pixel
                TColor want = clRed;
                if (k < rings) {
                    const bool topEdge = (y == k && x <= W - 2 - k) || (x == k && y <= H - 2 - k);
                    want = topEdge ? top : bottom;
                }
                EXPECT_EQ(b->Canvas()->Pixels(x, y), want) << x << "," << y;
            }
    }
}

TEST_F(VBoxTest, FrameRingsPastTheMiddlePaintOnlyWhatTheirRunsHold) {
    // T: top colour, B: bottom colour; every pixel of these boxes lies on a ring.
    struct Case { int w, h, rings; std::vector<const char*> picture; } cases[] = {
        {4, 4, 3, {"TTTB", "TTBB", "TBBB", "BBBB"}},
        {2, 2, 2, {"TB", "BB"}},
        {5, 3, 4, {"TTBTB", "TBBBB", "BBBBB"}},
        {3, 3, 1000000, {"TTB", "TBB", "BBB"}},
    };
    const TColor top = static_cast<TColor>(GetSysColor(20)), bottom = static_cast<TColor>(GetSysColor(16));
    box->SetGradStyle(vbFill);
    box->RectColor()->SetUpLeft(clRed);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rings);
        box->SetBounds(0, 0, c.w, c.h);
        box->SetBorderWidth(c.rings);
        auto b = box->Painted();
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                EXPECT_EQ(b->Canvas()->Pixels(x, y), c.picture[y][x] == 'T' ? top : bottom) << x << "," << y;
    }
}

TEST_F(VBoxTest, EachStyleUsesOnlyItsColours) {
    // Which corners each style reads: changing any other leaves the picture as it was.
    struct Case {
        TGradientStyle style;
        bool upLeft, upRight, downLeft, downRight;
    } cases[] = {
        {vbHGrad, true, true, false, false},   {vbVGrad, true, false, true, false},
        {vbDRGrad, true, false, false, true},  {vbDLGrad, false, true, true, false},
        {vbGradient, true, true, true, true},  {vbFill, true, false, false, false},
        {vbTextureTile, false, false, false, false},
    };
    box->SetBorderWidth(0);
    box->SetBounds(0, 0, 9, 7);
    const auto same = [](TBitmap& a, TBitmap& b) {
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Canvas()->Pixels(x, y) != b.Canvas()->Pixels(x, y)) return false;
        return true;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        TRectColor* rc = box->RectColor();
        const std::pair<bool, std::function<void(TColor)>> corners[] = {
            {c.upLeft, [&](TColor v) { rc->SetUpLeft(v); }},
            {c.upRight, [&](TColor v) { rc->SetUpRight(v); }},
            {c.downLeft, [&](TColor v) { rc->SetDownLeft(v); }},
            {c.downRight, [&](TColor v) { rc->SetDownRight(v); }},
        };
        for (const auto& [used, set] : corners) {
            rc->SetUpLeft(clWhite), rc->SetUpRight(clBlue), rc->SetDownLeft(clBlue), rc->SetDownRight(clNavy);
            box->SetGradStyle(c.style);
            auto before = box->Painted();
            set(clLime);
            auto after = box->Painted();
            EXPECT_EQ(!same(*before, *after), used);
        }
    }
}

TEST_F(VBoxTest, TextureIsACopyAndEmptyTextureDrawsNothing) {
    box->SetBorderWidth(0);
    box->SetBounds(0, 0, 6, 6);
    box->SetGradStyle(vbFill);
    box->RectColor()->SetUpLeft(clRed);

    TBitmap tile;
    tile.SetSize(2, 2);
    tile.Canvas()->Brush()->SetColor(clBlue);
    tile.Canvas()->FillRect(TRect(0, 0, 2, 2));
    box->SetTexture(&tile);
    tile.Canvas()->SetPixels(0, 0, clLime);  // the caller keeps its own bitmap
    box->SetGradStyle(vbTextureTile);
    EXPECT_EQ(box->Painted()->Canvas()->Pixels(4, 4), clBlue);
    box->SetGradStyle(vbTextureFill);
    EXPECT_EQ(box->Painted()->Canvas()->Pixels(5, 5), clBlue);

    // A change in place shows only at the next redraw.
    box->Texture()->Canvas()->SetPixels(1, 1, clYellow);
    EXPECT_EQ(box->Painted()->Canvas()->Pixels(5, 5), clBlue);
    box->SetGradStyle(vbTextureFill);
    EXPECT_EQ(box->Painted()->Canvas()->Pixels(5, 5), clYellow);

    box->SetGradStyle(vbFill);
    box->SetTexture(nullptr);
    EXPECT_TRUE(box->Texture()->Empty());
    for (TGradientStyle s : {vbTextureTile, vbTextureFill}) {
        box->SetGradStyle(s);
        EXPECT_EQ(box->Painted()->Canvas()->Pixels(3, 3), clRed);  // the fill of before stays
    }
}

TEST_F(VBoxTest, HandlerThatWritesAPropertyDoesNotRecurse) {
    box->OnGradDraw = [this](TObject*) {
        ++draws;
        box->RectColor()->SetUpLeft(clRed);
    };
    box->SetGradStyle(vbFill);
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(box->Painted()->Canvas()->Pixels(3, 3), clRed);
}

// ---- sizes the back buffer cannot hold ----

// A size whose back buffer cannot be held raises the out-of-resources error to the caller of
// SetBounds, in every style, and the box keeps the picture of before; any other size ends.
TEST_F(VBoxTest, BoundsBeyondWhatTheBackBufferCanHoldRaise) {
    struct Size {
        int w, h;
    };
    std::vector<Size> sizes;
    // Widths around 2^31 / 3, 2^31 / 2 and 2^31 - 1, with heights 0 and 1, and negative ones.
    for (int w : {715827882, 715827883, 1073741823, 1073741824, 1431655765, 1431655766, INT_MAX, -1, INT_MIN})
        for (int h : {0, 1, -1}) sizes.push_back({w, h});
    sizes.push_back({1, INT_MAX});
    sizes.push_back({46341, 46341});
    for (const Size& size : sizes) {
        SCOPED_TRACE(std::to_string(size.w) + " x " + std::to_string(size.h));
        // A height of 0 draws nothing. The width is set first: every positive width here is too
        // much for the six rows the back buffer has, whatever height follows.
        const bool holds = size.w <= 0 || size.h == 0;
        childcase::Expect([this, size] {
            TBitmap texture;
            texture.SetSize(2, 2);
            texture.Canvas()->SetPixels(1, 1, clBlue);
            box->SetTexture(&texture);
            box->SetBorderWidth(0);
            for (TGradientStyle style : {vbHGrad, vbVGrad, vbDRGrad, vbDLGrad, vbGradient, vbTextureTile,
                                         vbTextureFill, vbFill}) {
                box->SetBounds(0, 0, 8, 6);
                box->SetGradStyle(style);
                const auto before = box->Painted();
                try {
                    box->SetBounds(0, 0, size.w, size.h);
                } catch (const EOutOfResources&) {
                    // The picture of before stays: whole, or cut to the new width when only the
                    // height could not be had.
                    const auto after = box->PaintedOn(8, 6);
                    for (int y = 0; y < 6; ++y)
                        if (after->Canvas()->Pixels(0, y) != before->Canvas()->Pixels(0, y))
                            throw std::runtime_error("the picture of before was lost");
                    box->SetBorderWidth(1);
                    box->PaintedOn(8, 6);  // the frame of the huge box
                    throw;
                }
            }
        }, holds ? childcase::kFinished : childcase::kOutOfResources);
    }
}

// Through the parent's alignment, the error reaches whoever resized the parent.
TEST_F(VBoxTest, AlignedBoxRaisesToWhoeverResizedTheParent) {
    childcase::Expect([this] {
        box->SetAlign(alClient);
        parent.SetBounds(0, 0, INT_MAX, 100);
    }, childcase::kOutOfResources);
}

// ---- Flash ----

namespace {

struct TStep {
    TColor upLeft, upRight, downLeft, downRight;
    TCopyMode copyMode;
    std::uint64_t at;
    friend bool operator==(const TStep&, const TStep&) = default;
};

std::ostream& operator<<(std::ostream& os, const TStep& s) {
    return os << std::hex << "{" << s.upLeft << " " << s.upRight << " " << s.downLeft << " "
              << s.downRight << " mode " << s.copyMode << std::dec << " at " << s.at << "}";
}

class FlashTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        box.SetBounds(0, 0, 4, 3);
        box.OnGradFine = [this](TObject*) {
            const TRectColor* c = box.RectColor();
            log.push_back({c->UpLeft(), c->UpRight(), c->DownLeft(), c->DownRight(),
                           box.Canvas()->CopyMode(), clock.NowMs()});
        };
    }
    void TearDown() override { SetClock(nullptr); }
    TStep State(TColor ul, TColor ur, TColor dl, TColor dr, std::uint64_t at,
                TCopyMode mode = cmSrcCopy) {
        return {ul, ur, dl, dr, mode, at};
    }

    TVirtualClock clock;
    TProbeBox box{nullptr};
    std::vector<TStep> log;
};

constexpr TColor W = clWhite, B = clBlue, N = clNavy;  // the default corners: UL W, UR B, DL B, DR N

}  // namespace

TEST_F(FlashTest, CountZeroAndPlainFillOnlyRedraw) {
    box.Flash(50, 0);
    EXPECT_EQ(log, (std::vector<TStep>{State(W, B, B, N, 0)}));
    log.clear();
    box.SetGradStyle(vbFill);
    log.clear();
    box.Flash(50, 5);
    EXPECT_EQ(log, (std::vector<TStep>{State(W, B, B, N, 0)}));
}

TEST_F(FlashTest, TwoColourStyleExchangesAndRestores) {
    box.SetBorderWidth(0);
    std::vector<TColor> left;
    box.OnGradDraw = [&](TObject*) {};
    auto fine = box.OnGradFine;
    box.OnGradFine = [&](TObject* s) {
        fine(s);
        left.push_back(box.Painted()->Canvas()->Pixels(0, 0));
    };
    box.Flash(50, 1);
    EXPECT_EQ(log, (std::vector<TStep>{State(B, W, B, N, 0), State(W, B, B, N, 50)}));
    EXPECT_EQ(left, (std::vector<TColor>{B, W}));  // the step shows UpRight at the left
}

TEST_F(FlashTest, OtherTwoColourStylesExchangeTheirPair) {
    struct Case {
        TGradientStyle style;
        TStep swapped;
    } cases[] = {
        {vbVGrad, State(B, B, W, N, 0)},
        {vbDRGrad, State(N, B, B, W, 0)},
        {vbDLGrad, State(W, B, B, N, 0)},  // UR and DL are both blue
    };
    for (const auto& c : cases) {
        box.SetGradStyle(c.style);
        log.clear();
        clock.Set(0);
        box.Flash(10, 2);
        ASSERT_EQ(log.size(), 3u);
        EXPECT_EQ(log[0], c.swapped);
        EXPECT_EQ(log[2], State(W, B, B, N, 20));
    }
}

TEST_F(FlashTest, FourCornerRotatesInGroupsOfFour) {
    box.SetGradStyle(vbGradient);
    log.clear();
    box.Flash(50, 1);
    EXPECT_EQ(log, (std::vector<TStep>{State(W, B, B, N, 0)}));  // 1 div 2 = 0 steps
    for (unsigned count : {2u, 3u}) {
        SCOPED_TRACE(count);
        log.clear();
        clock.Set(0);
        box.Flash(50, count);
        // Clockwise: UL -> UR -> DR -> DL -> UL.
        EXPECT_EQ(log, (std::vector<TStep>{State(B, W, N, B, 0), State(N, B, B, W, 50),
                                           State(B, N, W, B, 100), State(W, B, B, N, 150),
                                           State(W, B, B, N, 200)}));
    }
}

TEST_F(FlashTest, TextureStylesAlternateTheCopyMode) {
    box.SetGradStyle(vbTextureTile);
    log.clear();
    box.Flash(20, 3);
    EXPECT_EQ(log, (std::vector<TStep>{State(W, B, B, N, 0, cmNotSrcCopy),
                                       State(W, B, B, N, 20, cmSrcCopy),
                                       State(W, B, B, N, 40, cmNotSrcCopy),
                                       State(W, B, B, N, 60, cmSrcCopy)}));
    // Another mode becomes SRCCOPY at the first step.
    box.Canvas()->SetCopyMode(cmSrcInvert);
    log.clear();
    box.Flash(0, 1);
    EXPECT_EQ(log.front().copyMode, cmSrcCopy);
}

TEST_F(FlashTest, NegativeCopyShowsTheInvertedPicture) {
    box.SetBorderWidth(0);
    TBitmap tile;
    tile.SetSize(1, 1);
    tile.Canvas()->SetPixels(0, 0, RGB(10, 20, 30));
    box.SetTexture(&tile);
    box.SetGradStyle(vbTextureTile);
    std::vector<TColor> shown;
    box.OnGradFine = [&](TObject*) { shown.push_back(box.Painted()->Canvas()->Pixels(1, 1)); };
    box.Flash(0, 2);
    EXPECT_EQ(shown, (std::vector<TColor>{RGB(245, 235, 225), RGB(10, 20, 30), RGB(10, 20, 30)}));
}

TEST(VBoxRegister, DoesNothing) { VBox::Register(); }

// ---- the box in a form layout ----

namespace {

// A form layout with one box on the form, the lines given among the box's properties.
std::string BoxLayout(const std::string& lines) {
    return "object Form1: TForm1\n"
           "  object VBox1: TVBox\n"
           "    Width = 4\n"
           "    Height = 2\n" +
           lines + "\n  end\nend\n";
}

// A bitmap as a form layout stores it: a 4-byte length, then a 2 by 1 bitmap file, red then
// blue, in hexadecimal.
std::string TextureData() {
    testpictures::Writer bmp;
    bmp.u8('B').u8('M').u32(62).u32(0).u32(54);
    bmp.u32(40).u32(2).u32(1).u16(1).u16(24).u32(0).u32(8).u32(0).u32(0).u32(0).u32(0);
    bmp.u8(0).u8(0).u8(0xFF).u8(0xFF).u8(0).u8(0).u16(0);  // blue, green, red; rows padded to 4
    testpictures::Writer data;
    data.u32(static_cast<std::uint32_t>(bmp.b.size())).bytes(bmp.b);
    std::string hex;
    for (std::uint8_t b : data.b) hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
    return "{\n      " + hex + "}";
}

class VBoxLayoutTest : public ::testing::Test {
protected:
    // Loads the layout onto the form; the box it made.
    TVBox* Load(const std::string& lines) {
        static const TPropertyTable formTable;
        ReadFormLayout(&form, BoxLayout(lines), formTable, bindings);
        return dynamic_cast<TVBox*>(form.Controls(form.ControlCount() - 1));
    }

    TProbeParent form;
    int draws = 0, fines = 0;
    TFormBindings bindings{{}, {{"VBox1GradDraw", [this](TObject*) { ++draws; }},
                                {"VBox1GradFine", [this](TObject*) { ++fines; }}}};
};

}  // namespace

TEST_F(VBoxLayoutTest, EveryPropertyTheBoxPublishesLoads) {
    const struct {
        std::string Lines;
        std::function<void(TVBox*)> Check;
    } cases[] = {
        {"", [](TVBox* b) {  // what a layout leaves out keeps the class library's defaults
             EXPECT_EQ(b->Name, "VBox1");
             EXPECT_EQ(b->Tag, 0);
             EXPECT_EQ(b->Cursor, crDefault);
             EXPECT_EQ(b->Hint, "");
             EXPECT_EQ(b->HelpType, htContext);
             EXPECT_EQ(b->HelpKeyword, "");
             EXPECT_EQ(b->HelpContext, 0);
         }},
        {"Name = 'Box2'", [](TVBox* b) { EXPECT_EQ(b->Name, "Box2"); }},
        {"Tag = -7", [](TVBox* b) { EXPECT_EQ(b->Tag, -7); }},
        {"Left = 3\n    Top = 5", [](TVBox* b) { EXPECT_EQ(b->BoundsRect(), TRect(3, 5, 7, 7)); }},
        {"Width = 9\n    Height = 6", [](TVBox* b) { EXPECT_EQ(b->BoundsRect(), TRect(0, 0, 9, 6)); }},
        {"Cursor = crHandPoint", [](TVBox* b) { EXPECT_EQ(b->Cursor, crHandPoint); }},
        {"Cursor = crSizeAll", [](TVBox* b) { EXPECT_EQ(b->Cursor, -22); }},
        {"Cursor = crNone", [](TVBox* b) { EXPECT_EQ(b->Cursor, -1); }},
        {"Cursor = 5", [](TVBox* b) { EXPECT_EQ(b->Cursor, 5); }},  // one the program adds itself
        {"Hint = '<b>bold</b>|'#12354", [](TVBox* b) { EXPECT_EQ(b->Hint, "<b>bold</b>|"_cp932 + "あ"_cp932); }},
        {"HelpType = htKeyword", [](TVBox* b) { EXPECT_EQ(b->HelpType, htKeyword); }},
        {"HelpType = htContext", [](TVBox* b) { EXPECT_EQ(b->HelpType, htContext); }},
        {"HelpKeyword = 'gradient'", [](TVBox* b) { EXPECT_EQ(b->HelpKeyword, "gradient"); }},
        {"HelpContext = 120", [](TVBox* b) { EXPECT_EQ(b->HelpContext, 120); }},
        {"OnGradDraw = VBox1GradDraw", [this](TVBox* b) {
             draws = fines = 0;
             b->UpdDraw();
             EXPECT_EQ(draws, 1);
             EXPECT_EQ(fines, 0);
         }},
        {"OnGradFine = VBox1GradFine", [this](TVBox* b) {
             draws = fines = 0;
             b->UpdDraw();
             EXPECT_EQ(draws, 0);
             EXPECT_EQ(fines, 1);
         }},
        {"BorderWidth = 0\n    Texture.Data = " + TextureData() + "\n    GradStyle = vbTextureTile",
         [this](TVBox* b) {
             ASSERT_EQ(b->Texture()->Width(), 2);
             ASSERT_EQ(b->Texture()->Height(), 1);
             EXPECT_EQ(b->Texture()->Canvas()->Pixels(0, 0), clRed);
             EXPECT_EQ(b->Texture()->Canvas()->Pixels(1, 0), clBlue);
             TBitmap painted;
             form.PaintTo(&painted);
             const TColor row[] = {clRed, clBlue, clRed, clBlue};
             for (int x = 0; x < 4; ++x) EXPECT_EQ(painted.Canvas()->Pixels(x, 1), row[x]) << x;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Lines);
        TVBox* box = nullptr;
        EXPECT_NO_THROW(box = Load(c.Lines));
        if (box) c.Check(box);
        while (form.ControlCount()) delete form.Controls(0);
    }
}

TEST_F(VBoxLayoutTest, WhatTheBoxDoesNotPublishIsStillAnError) {
    const struct {
        const char* Line;
        const char* Message;
    } cases[] = {
        {"Colour = clRed", "form layout: unknown property Colour"},
        {"Color = clRed", "form layout: unknown property Color"},  // no colour, font, visibility
        {"Visible = False", "form layout: unknown property Visible"},
        {"Font.Height = -12", "form layout: unknown property Font.Height"},
        {"OnClick = VBox1GradDraw", "form layout: unknown property OnClick"},  // nor mouse events
        {"ShowHint = True", "form layout: unknown property ShowHint"},
        {"Texture = 1", "form layout: unknown property Texture"},
        {"Texture.Date = {00}", "form layout: unknown property Date"},
        {"Cursor = crPointer", "form layout: unknown value crPointer"},
        {"HelpType = htNone", "form layout: unknown value htNone"},
        {"Tag = 'x'", "form layout: integer expected"},
        {"Name = 'a box'", "form layout: invalid component name a box"},
        {"OnGradFine = NoSuchHandler", "form layout: unknown handler NoSuchHandler"},
    };
    for (const auto& c : cases) {
        try {
            Load(c.Line);
            ADD_FAILURE() << "no error for " << c.Line;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message.str(), c.Message) << c.Line;
        }
        while (form.ControlCount()) delete form.Controls(0);
    }
}
