// The launcher's gradient box on a real form, painted offscreen.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Stdgraphics.h"
#include "VBox.h"
#include "rtl/clock.h"
#include "vcl/forms.h"
#include "vcl/testing.h"

namespace {

class TToolkit : public ::testing::Environment {
public:
    void SetUp() override { InitVclForTests(); }
};
const auto* const kToolkit = ::testing::AddGlobalTestEnvironment(new TToolkit);

// The splash form's box as its layout builds it: 364 x 53 client, the box aligned to it.
struct TSplash {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TVBox* box = new TVBox(form.get());
    int redraws = 0;

    TSplash() {
        form->SetClientWidth(364);
        form->SetClientHeight(53);
        box->OnGradDraw = [this](TObject*) { ++redraws; };
        box->SetParent(form.get());
        box->SetBounds(0, 0, 364, 53);
        box->SetAlign(alClient);
        box->RectColor()->SetDownRight(clBlue);
        box->RectColor()->SetDownLeft(clWhite);
        box->SetGradStyle(vbGradient);
    }
};

// What the box must show: the four-corner gradient and one raised frame ring.
std::unique_ptr<TBitmap> Expected(int w, int h) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    Stdgraphics::DrawGradation(TRect(0, 0, w, h), b->Canvas(), clWhite, clBlue, clWhite, clBlue);
    TCanvas* c = b->Canvas();
    for (int x = 0; x < w; ++x) {
        c->SetPixels(x, 0, x < w - 1 ? clBtnHighlight : clBtnShadow);
        c->SetPixels(x, h - 1, clBtnShadow);
    }
    for (int y = 1; y < h - 1; ++y) {
        c->SetPixels(0, y, clBtnHighlight);
        c->SetPixels(w - 1, y, clBtnShadow);
    }
    return b;
}

int Differences(TBitmap* a, TBitmap* b) {
    if (a->Width() != b->Width() || a->Height() != b->Height()) return -1;
    int n = 0;
    for (int y = 0; y < a->Height(); ++y)
        for (int x = 0; x < a->Width(); ++x)
            n += a->Canvas()->Pixels(x, y) != b->Canvas()->Pixels(x, y);
    return n;
}

}  // namespace

TEST(SplashForm, PaintsTheFourCornerGradientWithItsFrame) {
    TSplash splash;
    TBitmap painted;
    splash.form->PaintTo(&painted);
    EXPECT_EQ(Differences(&painted, Expected(364, 53).get()), 0);

    // The widget shows the same pixels.
    TBitmap grabbed;
    GrabWindow(splash.form.get(), &grabbed);
    EXPECT_EQ(Differences(&grabbed, Expected(364, 53).get()), 0);
}

TEST(SplashForm, BoxFollowsTheClientAreaAndRedrawsAtItsSize) {
    TSplash splash;
    splash.redraws = 0;
    splash.form->SetClientWidth(200);
    EXPECT_EQ(splash.box->BoundsRect(), TRect(0, 0, 200, 53));
    EXPECT_EQ(splash.redraws, 1);
    TBitmap painted;
    splash.form->PaintTo(&painted);
    EXPECT_EQ(Differences(&painted, Expected(200, 53).get()), 0);

    // The window, shown now, has the new size too.
    splash.form->SetVisible(true);
    TBitmap grabbed;
    GrabWindow(splash.form.get(), &grabbed);
    EXPECT_EQ(Differences(&grabbed, Expected(200, 53).get()), 0);
}

TEST(SplashForm, FormColourShowsAroundAGraphicChildInCreationOrder) {
    TForm form(nullptr);
    form.SetClientWidth(20);
    form.SetClientHeight(10);
    auto* lower = new TVBox(&form);
    auto* upper = new TVBox(&form);
    for (TVBox* b : {lower, upper}) {
        b->SetParent(&form);
        b->SetBorderWidth(0);
        b->SetGradStyle(vbFill);
    }
    lower->RectColor()->SetUpLeft(clRed);
    upper->RectColor()->SetUpLeft(clBlue);
    lower->SetBounds(2, 2, 10, 6);
    upper->SetBounds(8, 4, 14, 6);  // over the lower one, cut at the form's edge
    TBitmap b;
    form.PaintTo(&b);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), static_cast<TColor>(GetSysColor(15)));
    EXPECT_EQ(b.Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(9, 5), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(19, 9), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(12, 3), static_cast<TColor>(GetSysColor(15)));
}

namespace {
// Records each paint of the box: the clock and the colour at its left edge.
class TPaintLog : public TVBox {
public:
    using TVBox::TVBox;
    std::vector<std::pair<std::uint64_t, TColor>> Paints;

protected:
    void Paint() override {
        TVBox::Paint();
        Paints.push_back({Clock().NowMs(), Canvas()->Pixels(0, 1)});
    }
};
}  // namespace

TEST(SplashForm, FlashPaintsEachStepBeforeItsPause) {
    TVirtualClock clock;
    SetClock(&clock);
    {
        TForm form(nullptr);
        form.SetClientWidth(40);
        form.SetClientHeight(10);
        auto* box = new TPaintLog(&form);
        box->SetParent(&form);
        box->SetBounds(0, 0, 40, 10);
        box->SetBorderWidth(0);
        form.SetVisible(true);
        ProcessEventsForTests();  // the window is on screen
        box->Paints.clear();
        box->Flash(30, 1);  // vbHGrad: one step with the colours exchanged
        ASSERT_FALSE(box->Paints.empty());
        EXPECT_EQ(box->Paints.front(), (std::pair<std::uint64_t, TColor>{0, clBlue}));
        EXPECT_EQ(clock.NowMs(), 30u);
    }
    SetClock(nullptr);
}

TEST(SplashForm, AClickReachesTheTopmostGraphicChild) {
    TForm form(nullptr);
    form.SetClientWidth(40);
    form.SetClientHeight(20);
    auto* lower = new TVBox(&form);
    auto* upper = new TVBox(&form);
    lower->SetParent(&form);
    upper->SetParent(&form);
    lower->SetBounds(0, 0, 30, 20);
    upper->SetBounds(20, 0, 20, 20);
    std::vector<TObject*> clicks;
    for (TControl* c : {static_cast<TControl*>(lower), static_cast<TControl*>(upper),
                        static_cast<TControl*>(&form)})
        c->OnClick = [&](TObject* sender) { clicks.push_back(sender); };
    MouseClickForTests(&form, 5, 5);
    MouseClickForTests(&form, 25, 5);  // both boxes: the last created one takes it
    upper->SetVisible(false);
    MouseClickForTests(&form, 25, 5);
    MouseClickForTests(&form, 35, 5);  // nothing there but the form
    EXPECT_EQ(clicks, (std::vector<TObject*>{lower, upper, lower, &form}));
}
