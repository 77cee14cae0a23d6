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
