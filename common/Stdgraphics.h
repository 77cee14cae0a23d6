// Unit Stdgraphics: colour gradients drawn onto any canvas, and small canvas and colour helpers.
// Every drawing routine but Line returns the milliseconds it took (tick counts, modulo 2^32).
#pragma once

#include <cstdint>

#include "rtl/color.h"
#include "vcl/graphics.h"
#include "win/kernel.h"

namespace Stdgraphics {

enum TDrawDirection : std::uint8_t {
    ddHorizontal,  // the colour changes from left to right: one vertical line per column
    ddVartical     // the colour changes from top to bottom: one horizontal line per row
};

enum TDrawOblique : std::uint8_t {
    doObliqueLtR,  // lines from the left edge up to the top edge: top-left to bottom-right
    doObliqueRtL   // lines from the top edge down to the right edge: top-right to bottom-left
};

// Four corners blended pixel by pixel over (0, 0) .. (W - 1, H - 1) of the canvas, where W and
// H are the width and height of R (its Left and Top are not used).
DWORD DrawGradation(const TRect& R, TCanvas* Canvas, TColor TopLeft, TColor TopRight,
                    TColor BottomLeft, TColor BottomRight);
// Bands of two-colour gradients along Colors[0] .. Colors[Colors_Size] (Colors_Size is the
// index of the last colour); one colour fills R with the brush.
DWORD DrawGradation(const TRect& R, TCanvas* Canvas, TDrawDirection Direction,
                    const TColor* Colors, int Colors_Size);
// One two-colour gradient drawn as diagonal lines.
DWORD DrawGradation(const TRect& R, TCanvas* Canvas, TDrawOblique Direction, TColor First,
                    TColor Second);

// Adds Value to every colour byte of area R, each byte stopping at 0 and 255.
DWORD LightScreen(const TRect& R, TCanvas* Canvas, int Value);
// One line from (X1, Y1) to (X2, Y2), end point unpainted; the pen is set only where it differs.
void Line(TCanvas* Canvas, TColor Color, int X1, int Y1, int X2, int Y2, int Width);
// Text with a drop shadow moved by (ShadowX, ShadowY); the text is drawn last, over its shadow.
DWORD DrawTextShadow(const TRect& R, TCanvas* Canvas, const char* Text, UINT Format, int ShadowX,
                     int ShadowY, TColor TextColor, TColor ShadowColor);
// Copies of Tile side by side from R's top-left corner; an empty tile draws nothing and gives 0.
DWORD TileBitmap(const TRect& R, TCanvas* Canvas, TBitmap* Tile);
// Red, green and blue bytes of 0x00BBGGRR; the top byte is ignored.
void DivideRGB(TColor Color, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B);
// Value clamped to Min .. Max, or wrapped round by the range size; Min when Min >= Max.
int InValue(int Value, int Min, int Max, bool Wrap);
// Bytes per pixel: 8 bits 1, 15 and 16 bits 2, 24 bits and the device 3, 32 bits 4; formats of
// less than a byte per pixel and custom ones 0.
int GetPixelForByteSize(TPixelFormat Format);

}  // namespace Stdgraphics
