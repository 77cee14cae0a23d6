#include "vcl/buttons.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/sysutils.h"
#include "vcl/extctrls.h"
#include "vcl/imagecodecs.h"

// ---- TBitBtn ----

void TBitBtn::SetKind(TBitBtnKind value) {
    struct TKindInfo { AnsiString Caption; TModalResult Result; };
    static const TKindInfo kinds[] = {
        {"", mrNone},
        {"OK", mrOk},
        {"キャンセル"_cp932, mrCancel},
        {"ヘルプ"_cp932, mrNone},
        {"はい"_cp932, mrYes},
        {"いいえ"_cp932, mrNo},
        {"閉じる"_cp932, mrNone},
        {"中止"_cp932, mrAbort},
        {"再試行"_cp932, mrRetry},
        {"無視"_cp932, mrIgnore},
        {"すべて"_cp932, mrAll},
    };
    FKind = value;
    if (value == bkCustom) return;
    SetDefault(value == bkOK || value == bkYes);
    SetCancel(value == bkCancel || value == bkNo);
    SetModalResult(kinds[value].Result);
    if (Caption().IsEmpty()) SetCaption(kinds[value].Caption);
}

// ---- TSpeedButton ----

void LoadBitmapFromLayoutData(TBitmap* bitmap, const std::string& data) {
    if (data.size() < 4) throw EInvalidGraphic(SInvalidBitmap);
    std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.data()) + 4,
                                        data.size() - 4);
    const TDecodedImage image = DecodeBitmap(bytes);
    bitmap->SetSize(image.Width, image.Height);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t p = image.Pixel(x, y);
            bitmap->Canvas()->SetPixels(x, y, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
}

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 23, 22);
    SetColor(clBtnFace);
}

void TSpeedButton::SetCaption(const AnsiString& value) {
    FCaption = value;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
    FGroupIndex = value;
    if (value == 0) SetDown(false);
}

void TSpeedButton::SetDown(bool value) {
    if (FGroupIndex == 0) value = false;
    if (value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = value;
    if (value && Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
            if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
                other->FDown = false;
                other->Invalidate();
            }
        }
    }
    Invalidate();
}

void TSpeedButton::SetFlat(bool value) {
    FFlat = value;
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int value) {
    FNumGlyphs = std::max(1, value);
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState, int, int) {
    if (Button != mbLeft) return;
    FPressed = true;
    Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState, int X, int Y) {
    if (Button != mbLeft || !FPressed) return;
    FPressed = false;
    const bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
    // A group button goes down, or up when it may; the click that follows runs OnClick.
    if (inside && FGroupIndex != 0) SetDown(!FDown);
    Invalidate();
}

void TSpeedButton::Paint() {
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
    const bool lowered = FDown || FPressed;
    if (!FFlat || lowered)
        Frame3D(canvas, rect, lowered ? clBtnShadow : clBtnHighlight,
                lowered ? clBtnHighlight : clBtnShadow, 1);
    const int shift = lowered ? 1 : 0;
    if (!FGlyph->Empty()) {
        // The first of NumGlyphs images side by side: the one for the up (or down) state.
        const int gw = FGlyph->Width() / FNumGlyphs, gh = FGlyph->Height();
        const int x0 = (Width() - gw) / 2 + shift, y0 = (Height() - gh) / 2 + shift;
        const TColor key = FGlyph->Canvas()->Pixels(0, gh - 1);
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                const TColor c = FGlyph->Canvas()->Pixels(x, y);
                if (c != key) canvas->SetPixels(x0 + x, y0 + y, c);
            }
    }
    if (!FCaption.IsEmpty()) {
        TRect text(shift, shift, Width() + shift, Height() + shift);
        canvas->SetFont(Font());
        canvas->Brush()->SetStyle(bsClear);
        DrawTextA(canvas->Handle(), FCaption.c_str(), FCaption.Length(), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
}
