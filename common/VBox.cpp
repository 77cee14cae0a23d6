#include "VBox.h"

#include <cstdint>
#include <utility>

#include "Stdgraphics.h"
#include "vcl/layouttables.h"
#include "win/kernel.h"

// ---- TRectColor ----

TRectColor::TRectColor(TVBox* AOwner) : FOwner(AOwner) {}

void TRectColor::SetUpRight(TColor Value) {
    FUpRight = Value;
    FOwner->UpdDraw();
}

void TRectColor::SetUpLeft(TColor Value) {
    FUpLeft = Value;
    FOwner->UpdDraw();
}

void TRectColor::SetDownRight(TColor Value) {
    FDownRight = Value;
    FOwner->UpdDraw();
}

void TRectColor::SetDownLeft(TColor Value) {
    FDownLeft = Value;
    FOwner->UpdDraw();
}

// ---- TVBox ----

TVBox::TVBox(TComponent* AOwner) : TGraphicControl(AOwner) {
    FTexture = std::make_unique<TBitmap>();
    FRectColor = std::make_unique<TRectColor>(this);
    FRectColor->FUpRight = clBlue;
    FRectColor->FUpLeft = clWhite;
    FRectColor->FDownRight = clNavy;
    FRectColor->FDownLeft = clBlue;
    FBackBuffer = std::make_unique<TBitmap>();
    FGradStyle = vbHGrad;
    FBorderTop = clBtnHighlight;
    FBorderBottom = clBtnShadow;
    FBorderWidth = 1;
}

TVBox::~TVBox() {
    FRectColor.reset();
    FTexture.reset();
    FBackBuffer.reset();
}

void TVBox::SetRectColor(TRectColor* Value) {
    if (!Value || Value == FRectColor.get()) return;
    FRectColor->FUpRight = Value->FUpRight;
    FRectColor->FUpLeft = Value->FUpLeft;
    FRectColor->FDownRight = Value->FDownRight;
    FRectColor->FDownLeft = Value->FDownLeft;
}

void TVBox::SetTexture(TBitmap* Value) {
    FTexture->Assign(Value);
    UpdDraw();
}

void TVBox::SetGradStyle(TGradientStyle Value) {
    FGradStyle = Value;
    UpdDraw();
}

void TVBox::SetBorderTop(TColor Value) {
    FBorderTop = Value;
    Invalidate();
}

void TVBox::SetBorderBottom(TColor Value) {
    FBorderBottom = Value;
    Invalidate();
}

void TVBox::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    Invalidate();
}

namespace {

// Runs a handler of the box with its re-entry mark set.
void CallHandler(const TNotifyEvent& handler, TVBox* box, bool& inHandler) {
    inHandler = true;
    try {
        handler(box);
    } catch (...) {
        inHandler = false;
        throw;
    }
    inHandler = false;
}

}  // namespace

void TVBox::UpdDraw() {
    const bool nested = FInHandler;
    if (OnGradDraw && !nested) CallHandler(OnGradDraw, this, FInHandler);
    if (Width() == 0 || Height() == 0) return;
    const TRect R(0, 0, Width(), Height());
    FBackBuffer->SetWidth(Width());
    FBackBuffer->SetHeight(Height());
    TCanvas* canvas = FBackBuffer->Canvas();
    const TRectColor& c = *FRectColor;
    switch (FGradStyle) {
        case vbHGrad: {
            const TColor colors[] = {c.FUpLeft, c.FUpRight};
            Stdgraphics::DrawGradation(R, canvas, Stdgraphics::ddHorizontal, colors, 1);
            break;
        }
        case vbVGrad: {
            const TColor colors[] = {c.FUpLeft, c.FDownLeft};
            Stdgraphics::DrawGradation(R, canvas, Stdgraphics::ddVartical, colors, 1);
            break;
        }
        case vbDRGrad:
            Stdgraphics::DrawGradation(R, canvas, Stdgraphics::doObliqueLtR, c.FUpLeft, c.FDownRight);
            break;
        case vbDLGrad:
            Stdgraphics::DrawGradation(R, canvas, Stdgraphics::doObliqueRtL, c.FUpRight, c.FDownLeft);
            break;
        case vbGradient:
            Stdgraphics::DrawGradation(R, canvas, c.FUpLeft, c.FUpRight, c.FDownLeft, c.FDownRight);
            break;
        case vbTextureTile:
            Stdgraphics::TileBitmap(R, canvas, FTexture.get());
            break;
        case vbTextureFill:
            canvas->StretchDraw(R, FTexture.get());
            break;
        case vbFill:
            canvas->Brush()->SetColor(c.FUpLeft);
            canvas->FillRect(R);
            break;
    }
    if (OnGradFine && !nested) CallHandler(OnGradFine, this, FInHandler);
    Invalidate();
}

void TVBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdDraw();
}

void TVBox::Paint() {
    if (!FBackBuffer->Empty()) Canvas()->Draw(0, 0, FBackBuffer.get());
    if (FBorderWidth != 0) {
        TRect frame = ClientRect();
        Frame3D(Canvas(), frame, FBorderTop, FBorderBottom, FBorderWidth);
    }
}

// One step of the animation, after its change: redraw, paint now, pause.
void TVBox::Step(unsigned Pause) {
    UpdDraw();
    Update();
    Sleep(Pause);
}

void TVBox::Flash(unsigned Pause, unsigned Count) {
    TRectColor& c = *FRectColor;
    // The two-colour styles exchange the colours they use.
    TColor* a = nullptr;
    TColor* b = nullptr;
    switch (FGradStyle) {
        case vbHGrad: a = &c.FUpLeft, b = &c.FUpRight; break;
        case vbVGrad: a = &c.FUpLeft, b = &c.FDownLeft; break;
        case vbDRGrad: a = &c.FUpLeft, b = &c.FDownRight; break;
        case vbDLGrad: a = &c.FUpRight, b = &c.FDownLeft; break;
        default: break;
    }
    if (a) {
        for (unsigned i = 0; i < Count; ++i) {
            std::swap(*a, *b);
            Step(Pause);
        }
        if (Count % 2 != 0) std::swap(*a, *b);
    } else if (FGradStyle == vbGradient) {
        // Groups of four clockwise rotations, each group bringing every colour back.
        const std::uint64_t steps = 4 * static_cast<std::uint64_t>(Count / 2);
        for (std::uint64_t i = 0; i < steps; ++i) {
            const TColor upLeft = c.FUpLeft;
            c.FUpLeft = c.FDownLeft;
            c.FDownLeft = c.FDownRight;
            c.FDownRight = c.FUpRight;
            c.FUpRight = upLeft;
            Step(Pause);
        }
    } else if (FGradStyle == vbTextureTile || FGradStyle == vbTextureFill) {
        for (unsigned i = 0; i < Count; ++i) {
            Canvas()->SetCopyMode(Canvas()->CopyMode() == cmSrcCopy ? cmNotSrcCopy : cmSrcCopy);
            Step(Pause);
        }
        if (Canvas()->CopyMode() != cmSrcCopy) Canvas()->SetCopyMode(cmSrcCopy);
    }
    UpdDraw();
}

namespace VBox {

void Register() {}

}  // namespace VBox

// ---- the box in form layouts ----

namespace {

const TPropertyTable& RectColorProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Define<TRectColor>("UpRight", [](TRectColor* r, const TFormValue& v) { r->SetUpRight(LayoutColor(v)); });
        t.Define<TRectColor>("UpLeft", [](TRectColor* r, const TFormValue& v) { r->SetUpLeft(LayoutColor(v)); });
        t.Define<TRectColor>("DownRight", [](TRectColor* r, const TFormValue& v) { r->SetDownRight(LayoutColor(v)); });
        t.Define<TRectColor>("DownLeft", [](TRectColor* r, const TFormValue& v) { r->SetDownLeft(LayoutColor(v)); });
        return t;
    }();
    return table;
}

const TPropertyTable& VBoxProperties() {
    static const TPropertyTable table = [] {
        // The box publishes what every control does and Align, and no colour, font, visibility
        // or mouse event.
        TPropertyTable t(&BaseControlProperties());
        DefineAlign(t);
        t.Sub<TVBox>("RectColor", [](TVBox* b) -> TPersistent* { return b->RectColor(); }, RectColorProperties());
        // The stored picture goes into the box's own bitmap, as a change made to it in place: it
        // shows at the next redraw.
        t.Sub<TVBox>("Texture", [](TVBox* b) -> TPersistent* { return b->Texture(); }, BitmapProperties());
        t.Define<TVBox>("GradStyle", [](TVBox* b, const TFormValue& v) {
            b->SetGradStyle(static_cast<TGradientStyle>(LayoutEnum(
                v, {"vbHGrad", "vbVGrad", "vbDRGrad", "vbDLGrad", "vbGradient", "vbTextureTile", "vbTextureFill", "vbFill"})));
        });
        t.Define<TVBox>("BorderTop", [](TVBox* b, const TFormValue& v) { b->SetBorderTop(LayoutColor(v)); });
        t.Define<TVBox>("BorderBottom", [](TVBox* b, const TFormValue& v) { b->SetBorderBottom(LayoutColor(v)); });
        t.Define<TVBox>("BorderWidth", [](TVBox* b, const TFormValue& v) { b->SetBorderWidth(LayoutInt(v)); });
        t.Define<TVBox>("OnGradDraw", [](TVBox* b, const TFormValue& v, TFormReader& r) { b->OnGradDraw = r.Handler(v); });
        t.Define<TVBox>("OnGradFine", [](TVBox* b, const TFormValue& v, TFormReader& r) { b->OnGradFine = r.Handler(v); });
        return t;
    }();
    return table;
}

// Makes the box known to the form loader, as the class library streams a form's component
// classes.
struct TVBoxClass {
    TVBoxClass() { RegisterClass("TVBox", [](TComponent* owner) { return new TVBox(owner); }, VBoxProperties()); }
} gVBoxClass;

}  // namespace
