// The class library's extra controls unit, as far as the programs use it: TImage, a windowless
// control that shows a picture; TBevel, a windowless frame; TPanel, a windowed parent that
// paints its colour, bevels and caption itself; and TLabeledEdit, an edit with a label bound to
// it. (TTimer, which the original keeps in this unit too, is in timers.h.)
#pragma once

#include <memory>

#include "vcl/controls.h"
#include "vcl/stdctrls.h"
#include "vcl/pictures.h"
#include "vcl/timers.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    // An auto-sized image takes its picture's size whenever the picture changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    // The picture fills the control (Stretch), or is shrunk to fit it keeping its proportions
    // (Proportional), or is shown at its own size; Center puts it in the middle.
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    // A transparent image leaves a bitmap's background colour (its lower-left pixel) unpainted;
    // icons and metafiles carry their own transparency.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

protected:
    void Paint() override;

private:
    TRect DestRect() const;
    void PictureChanged();

    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
    bool FStretch = false;
    bool FProportional = false;
    bool FCenter = false;
    bool FTransparent = false;
};

enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelShape : std::uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };

// A windowless bevelled frame or line.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// Stands in for the class library's panel with a widget it paints itself: its colour (or, with
// ParentBackground, its parent's), the outer bevel, the border, the inner bevel, then the caption
// centred in its font; clicks reach OnClick.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);

    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    // With no theme painting the parent's background, this is off unless set: the panel's
    // colour shows.
    bool ParentBackground() const { return FParentBackground; }
    void SetParentBackground(bool value);

protected:
    void PaintWindow(TCanvas* canvas) override;

private:
    AnsiString FCaption;
    TAlignment FAlignment = taCenter;
    TPanelBevel FBevelOuter = bvRaised;
    TPanelBevel FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    bool FParentBackground = false;
};

enum TLabelPosition : std::uint8_t { lpAbove, lpBelow, lpLeft, lpRight };

class TLabeledEdit;

// The label of a labelled edit: it follows the edit whenever either moves or resizes.
class TBoundLabel : public TLabel {
public:
    explicit TBoundLabel(TLabeledEdit* edit);
    ~TBoundLabel() override;

protected:
    void BoundsChanged() override;

private:
    friend class TLabeledEdit;
    TLabeledEdit* FEdit;
};

// An edit whose label (EditLabel, in the edit's parent) is kept LabelSpacing pixels away from it:
// above it, left-aligned, or to its left, centred on its height (or below, or to its right).
class TLabeledEdit : public TEdit {
public:
    explicit TLabeledEdit(TComponent* AOwner);
    ~TLabeledEdit() override;

    TBoundLabel* EditLabel() const { return FEditLabel; }
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition value);
    int LabelSpacing() const { return FLabelSpacing; }
    void SetLabelSpacing(int value);

    void SetParent(TWinControl* AParent) override;
    void SetVisible(bool value) override;

protected:
    void BoundsChanged() override;

private:
    friend class TBoundLabel;
    void PlaceLabel();

    TBoundLabel* FEditLabel = nullptr;
    TLabelPosition FLabelPosition = lpAbove;
    int FLabelSpacing = 3;
};
