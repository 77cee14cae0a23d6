#include "vcl/stdctrls.h"

#include "vcl/formloader.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 65, 17);
    SetColor(clBtnFace);
}

void TLabel::SetCaption(const AnsiString& value) {
    if (value == FCaption) return;
    FCaption = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TLabel::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
    if (value == FWordWrap) return;
    FWordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
    if (value == FShowAccelChar) return;
    FShowAccelChar = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::FontChanged() {
    AdjustBounds();
    TGraphicControl::FontChanged();
}

void TLabel::DoDrawText(TCanvas* canvas, TRect& rect, UINT flags) {
    AnsiString text = FCaption;
    // An empty text (or a lone "&") is measured as one blank, so the label keeps a line's height.
    if ((flags & DT_CALCRECT) && (text.IsEmpty() || (FShowAccelChar && text == "&")))
        text += " ";
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    canvas->SetFont(Font());
    DrawTextA(canvas->Handle(), text.c_str(), text.Length(), &rect, flags);
}

void TLabel::Paint() {
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    TCanvas* canvas = Canvas();
    if (!FTransparent) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(ClientRect());
    }
    canvas->Brush()->SetStyle(bsClear);
    TRect rect = ClientRect();
    DoDrawText(canvas, rect, (FWordWrap ? DT_WORDBREAK : 0) | alignments[FAlignment]);
}

void TLabel::AdjustBounds() {
    if (!FAutoSize) return;
    // Measured on a canvas of its own: the label's canvas draws only while its parent paints.
    TBitmap scratch;
    TRect rect = ClientRect();
    DoDrawText(scratch.Canvas(), rect, DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
    int x = Left();
    if (FAlignment == taRightJustify) x += Width() - rect.Right;
    SetBounds(x, Top(), rect.Right, rect.Bottom);
}
