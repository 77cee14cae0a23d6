// The class library's buttons unit: TBitBtn, a push button of a kind (OK, Cancel...) that sets
// its caption and modal result; and TSpeedButton, a windowless button painted by its parent that
// may stay down (a toggle, exclusive within its group index).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "vcl/controls.h"
#include "vcl/stdctrls.h"

enum TBitBtnKind : std::uint8_t {
    bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll
};

// A push button with a kind; drawn by the toolkit without a glyph.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner) : TButton(AOwner) {}

    TBitBtnKind Kind() const { return FKind; }
    // A kind other than bkCustom sets the modal result, Default (OK, Yes) and Cancel (Cancel,
    // No), and the kind's caption when the button has none yet.
    void SetKind(TBitBtnKind value);

private:
    TBitBtnKind FKind = bkCustom;
};

// Loads a bitmap as a form layout stores it: a 4-byte length and the bitmap file's bytes.
void LoadBitmapFromLayoutData(TBitmap* bitmap, const std::string& data);

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);

    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value);
    // 0: a plain button that never stays down. Buttons of one parent with the same non-zero
    // index are exclusive: one down puts the others up.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    // Whether the down button of a group may be put up again (by a click or from code).
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    bool Down() const { return FDown; }
    // Runs no handler.
    void SetDown(bool value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    // Drawn centred, its lower-left pixel's colour left out.
    TBitmap* Glyph() const { return FGlyph.get(); }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);

    // Runs OnClick (the mouse's toggling is done before).
    void Click() override { TGraphicControl::Click(); }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    AnsiString FCaption;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FDown = false;
    bool FPressed = false;  // the mouse holds it down
    bool FFlat = false;
    int FNumGlyphs = 1;
    std::unique_ptr<TBitmap> FGlyph;
};
