// Unit VBox: the gradient box TVBox, a windowless control that fills its rectangle with a
// gradient, a texture or a plain colour. The fill is drawn into a back buffer of the box's size
// whenever something that changes it changes; painting copies the back buffer and lays an
// optional 3-D frame over it. TRectColor holds the box's four corner colours.
#pragma once

#include <cstdint>
#include <memory>

#include "rtl/classes.h"
#include "rtl/color.h"
#include "vcl/controls.h"
#include "vcl/graphics.h"

enum TGradientStyle : std::uint8_t {
    vbHGrad,        // UpLeft at the left edge to UpRight at the right edge
    vbVGrad,        // UpLeft at the top to DownLeft at the bottom
    vbDRGrad,       // UpLeft at the top-left corner to DownRight at the bottom-right one
    vbDLGrad,       // UpRight at the top-right corner to DownLeft at the bottom-left one
    vbGradient,     // the four corner colours at their corners
    vbTextureTile,  // the texture repeated from the top-left corner
    vbTextureFill,  // the texture stretched over the box
    vbFill          // the plain colour UpLeft
};

class TVBox;

// The four corner colours; each setter redraws the owning box, also for an unchanged value.
class TRectColor : public TPersistent {
public:
    explicit TRectColor(TVBox* AOwner);

    TColor UpRight() const { return FUpRight; }
    TColor UpLeft() const { return FUpLeft; }
    TColor DownRight() const { return FDownRight; }
    TColor DownLeft() const { return FDownLeft; }
    void SetUpRight(TColor Value);
    void SetUpLeft(TColor Value);
    void SetDownRight(TColor Value);
    void SetDownLeft(TColor Value);

private:
    friend class TVBox;
    TVBox* FOwner;
    TColor FUpRight = 0;
    TColor FUpLeft = 0;
    TColor FDownRight = 0;
    TColor FDownLeft = 0;
};

class TVBox : public TGraphicControl {
public:
    explicit TVBox(TComponent* AOwner);
    ~TVBox() override;

    TRectColor* RectColor() const { return FRectColor.get(); }
    // Takes over the four colours into the box's own object, drawing nothing.
    void SetRectColor(TRectColor* Value);
    // The box's own texture bitmap; a change made to it in place shows at the next redraw.
    TBitmap* Texture() const { return FTexture.get(); }
    // Copies the picture into the texture (nullptr empties it), then redraws.
    void SetTexture(TBitmap* Value);
    TGradientStyle GradStyle() const { return FGradStyle; }
    void SetGradStyle(TGradientStyle Value);
    // The frame's top and left edges.
    TColor BorderTop() const { return FBorderTop; }
    void SetBorderTop(TColor Value);
    // The frame's bottom and right edges.
    TColor BorderBottom() const { return FBorderBottom; }
    void SetBorderBottom(TColor Value);
    // Frame rings; 0 or less draws none.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    // At the start of every redraw.
    TNotifyEvent OnGradDraw;
    // When the back buffer has been drawn, before the box is invalidated.
    TNotifyEvent OnGradFine;

    // Redraws the back buffer at the box's size and invalidates the box; a box of width or
    // height 0 keeps its back buffer. A redraw that a handler of OnGradDraw or OnGradFine sets
    // off calls neither handler again, so a handler that writes a property cannot recurse.
    void UpdDraw();
    // The base's bounds change, then a redraw, on every call.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Animates the fill in place, each step painted at once and followed by a pause of Pause
    // milliseconds; ends with the colours as they were (the copy mode at SRCCOPY after a texture
    // style, else as it was), and one redraw.
    void Flash(unsigned Pause, unsigned Count);

protected:
    void Paint() override;

private:
    void Step(unsigned Pause);

    std::unique_ptr<TRectColor> FRectColor;
    std::unique_ptr<TBitmap> FTexture;
    TGradientStyle FGradStyle;
    TColor FBorderTop;
    TColor FBorderBottom;
    int FBorderWidth;
    std::unique_ptr<TBitmap> FBackBuffer;
    bool FInHandler = false;
};

namespace VBox {
// The designer's palette registration (page "Samples"); there is no designer here, so it does
// nothing.
void Register();
}  // namespace VBox
