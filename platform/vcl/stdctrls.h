// The class library's standard controls unit, as far as the programs use it: TLabel, a
// windowless text control painted by its parent.
#pragma once

#include <cstdint>

#include "vcl/controls.h"

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    // "&x" shows x underlined and "&&" one "&", while ShowAccelChar is true.
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // An auto-sized label takes the size of its text whenever the text or the font changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // A transparent label leaves what lies beneath it visible between its letters.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);

    void Loaded() override;

protected:
    void Paint() override;
    void FontChanged() override;

private:
    void AdjustBounds();
    void DoDrawText(TCanvas* canvas, TRect& rect, UINT flags);

    AnsiString FCaption;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
};
