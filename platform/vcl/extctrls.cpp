#include "vcl/extctrls.h"

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetAutoSize(bool value) {
    FAutoSize = value;
    if (value) PictureChanged();
}

void TImage::SetStretch(bool value) {
    if (value == FStretch) return;
    FStretch = value;
    Invalidate();
}

void TImage::SetProportional(bool value) {
    if (value == FProportional) return;
    FProportional = value;
    Invalidate();
}

void TImage::SetCenter(bool value) {
    if (value == FCenter) return;
    FCenter = value;
    Invalidate();
}

void TImage::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    Invalidate();
}

void TImage::PictureChanged() {
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

TRect TImage::DestRect() const {
    int w = FPicture->Width(), h = FPicture->Height();
    if (FStretch || (FProportional && (w > Width() || h > Height()))) {
        if (FProportional && w > 0 && h > 0) {
            double aspect = static_cast<double>(w) / h;
            if (w > h) {
                w = Width();
                h = static_cast<int>(Width() / aspect);
                if (h > Height()) {
                    h = Height();
                    w = static_cast<int>(Height() * aspect);
                }
            } else {
                h = Height();
                w = static_cast<int>(Height() * aspect);
                if (w > Width()) {
                    w = Width();
                    h = static_cast<int>(Width() / aspect);
                }
            }
        } else {
            w = Width();
            h = Height();
        }
    }
    TRect rect(0, 0, w, h);
    if (FCenter) {
        int dx = (Width() - w) / 2, dy = (Height() - h) / 2;
        rect = TRect(dx, dy, dx + w, dy + h);
    }
    return rect;
}

void TImage::Paint() {
    TGraphic* graphic = FPicture->Graphic();
    if (!graphic || graphic->Empty()) return;
    TRect dest = DestRect();
    auto* bitmap = dynamic_cast<TBitmap*>(graphic);
    if (!FTransparent || !bitmap) {
        Canvas()->StretchDraw(dest, graphic);
        return;
    }
    // A transparent bitmap: every pixel but those of its lower-left pixel's colour.
    TColor key = bitmap->Canvas()->Pixels(0, bitmap->Height() - 1);
    for (int y = dest.Top; y < dest.Bottom; ++y) {
        int sy = static_cast<int>(static_cast<long long>(y - dest.Top) * bitmap->Height() / dest.Height());
        for (int x = dest.Left; x < dest.Right; ++x) {
            int sx = static_cast<int>(static_cast<long long>(x - dest.Left) * bitmap->Width() / dest.Width());
            TColor c = bitmap->Canvas()->Pixels(sx, sy);
            if (c != key) Canvas()->SetPixels(x, y, c);
        }
    }
}

// ---- bevels ----

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape value) {
    FShape = value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
    FStyle = value;
    Invalidate();
}

void TBevel::Paint() {
    const TColor dark = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor light = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    const int w = Width(), h = Height();
    switch (FShape) {
        case bsBox: Frame3D(canvas, r, dark, light, 1); break;
        case bsFrame: {
            TRect outer(0, 0, w - 1, h - 1), inner(1, 1, w, h);
            Frame3D(canvas, outer, dark, dark, 1);
            Frame3D(canvas, inner, light, light, 1);
            break;
        }
        case bsTopLine: r = TRect(0, 0, w, 2); Frame3D(canvas, r, dark, light, 1); break;
        case bsBottomLine: r = TRect(0, h - 2, w, h); Frame3D(canvas, r, dark, light, 1); break;
        case bsLeftLine: r = TRect(0, 0, 2, h); Frame3D(canvas, r, dark, light, 1); break;
        case bsRightLine: r = TRect(w - 2, 0, w, h); Frame3D(canvas, r, dark, light, 1); break;
        case bsSpacer: break;
    }
}

// ---- TPanel ----

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TPanel::SetCaption(const AnsiString& value) {
    FCaption = value;
    Invalidate();
}

void TPanel::SetAlignment(TAlignment value) {
    FAlignment = value;
    Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel value) {
    FBevelOuter = value;
    Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel value) {
    FBevelInner = value;
    Invalidate();
}

void TPanel::SetBevelWidth(int value) {
    FBevelWidth = value;
    Invalidate();
}

void TPanel::SetBorderWidth(int value) {
    FBorderWidth = value;
    Invalidate();
}

void TPanel::SetParentBackground(bool value) {
    FParentBackground = value;
    Invalidate();
}

void TPanel::PaintWindow(TCanvas* canvas) {
    TRect rect = ClientRect();
    if (FParentBackground && Parent()) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Parent()->Color());
        canvas->FillRect(rect);
    }
    auto bevel = [&](TPanelBevel kind) {
        if (kind == bvNone) return;
        const TColor light = clBtnHighlight, dark = clBtnShadow;
        if (kind == bvSpace) {
            rect = TRect(rect.Left + FBevelWidth, rect.Top + FBevelWidth, rect.Right - FBevelWidth,
                         rect.Bottom - FBevelWidth);
            return;
        }
        Frame3D(canvas, rect, kind == bvLowered ? dark : light, kind == bvLowered ? light : dark, FBevelWidth);
    };
    bevel(FBevelOuter);
    rect = TRect(rect.Left + FBorderWidth, rect.Top + FBorderWidth, rect.Right - FBorderWidth,
                 rect.Bottom - FBorderWidth);
    bevel(FBevelInner);
    if (FCaption.IsEmpty()) return;
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(bsClear);
    DrawTextA(canvas->Handle(), FCaption.c_str(), FCaption.Length(), &rect,
              DT_SINGLELINE | DT_VCENTER | alignments[FAlignment]);
}

// ---- TLabeledEdit ----

TBoundLabel::TBoundLabel(TLabeledEdit* edit) : TLabel(edit), FEdit(edit) { Name = "SubLabel"; }

TBoundLabel::~TBoundLabel() {
    if (FEdit) FEdit->FEditLabel = nullptr;
}

void TBoundLabel::BoundsChanged() {
    TLabel::BoundsChanged();
    if (FEdit) FEdit->PlaceLabel();
}

TLabeledEdit::TLabeledEdit(TComponent* AOwner) : TEdit(AOwner) {
    FEditLabel = new TBoundLabel(this);
    PlaceLabel();
}

TLabeledEdit::~TLabeledEdit() {
    if (!FEditLabel) return;
    FEditLabel->FEdit = nullptr;
    delete FEditLabel;
}

void TLabeledEdit::SetLabelPosition(TLabelPosition value) {
    FLabelPosition = value;
    PlaceLabel();
}

void TLabeledEdit::SetLabelSpacing(int value) {
    FLabelSpacing = value;
    PlaceLabel();
}

void TLabeledEdit::SetParent(TWinControl* AParent) {
    TEdit::SetParent(AParent);
    if (FEditLabel) {
        FEditLabel->SetParent(AParent);
        FEditLabel->SetVisible(Visible());
    }
}

void TLabeledEdit::SetVisible(bool value) {
    TEdit::SetVisible(value);
    if (FEditLabel) FEditLabel->SetVisible(value);
}

void TLabeledEdit::BoundsChanged() {
    TEdit::BoundsChanged();
    PlaceLabel();
}

void TLabeledEdit::PlaceLabel() {
    if (!FEditLabel) return;
    const int w = FEditLabel->Width(), h = FEditLabel->Height();
    int x = Left(), y = Top();
    switch (FLabelPosition) {
        case lpAbove: y = Top() - h - FLabelSpacing; break;
        case lpBelow: y = Top() + Height() + FLabelSpacing; break;
        case lpLeft: x = Left() - w - FLabelSpacing; y = Top() + (Height() - h) / 2; break;
        case lpRight: x = Left() + Width() + FLabelSpacing; y = Top() + (Height() - h) / 2; break;
    }
    FEditLabel->SetBounds(x, y, w, h);
}
