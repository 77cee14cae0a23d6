// The class library's graphics unit: fonts, pens, brushes, the canvas and the bitmap. Stands in
// for GDI drawing with our own pixel buffer (24 bits per pixel, blue, green, red, rows top-down,
// each row padded to a multiple of four bytes): pixels, lines, fills, copies and copy modes
// follow GDI's pixel rules; text is drawn onto the same buffer through the toolkit (vcl/qt/).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "rtl/classes.h"
#include "rtl/color.h"
#include "rtl/system.h"
#include "win/gdi.h"

class TCanvas;

// A system colour (top bit set) becomes GetSysColor of its lowest byte; any other value is kept.
TColor ColorToRGB(TColor color);

// Copy modes: GDI raster operations on source, destination and the brush's colour as pattern.
using TCopyMode = std::int32_t;
constexpr TCopyMode cmBlackness = 0x00000042, cmDstInvert = 0x00550009,
                    cmMergeCopy = 0x00C000CA, cmMergePaint = 0x00BB0226,
                    cmNotSrcCopy = 0x00330008, cmNotSrcErase = 0x001100A6,
                    cmPatCopy = 0x00F00021, cmPatInvert = 0x005A0049,
                    cmPatPaint = 0x00FB0A09, cmSrcAnd = 0x008800C6, cmSrcCopy = 0x00CC0020,
                    cmSrcErase = 0x00440328, cmSrcInvert = 0x00660046,
                    cmSrcPaint = 0x00EE0086, cmWhiteness = 0x00FF0062;
constexpr TCopyMode SRCCOPY = cmSrcCopy, NOTSRCCOPY = cmNotSrcCopy;

enum TPixelFormat : std::uint8_t {
    pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom
};

enum TPenStyle : std::uint8_t { psSolid, psClear };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles: TFontStyles() << fsBold << fsItalic.
class TFontStyles {
public:
    TFontStyles& operator<<(TFontStyle s) { FBits |= 1u << s; return *this; }
    TFontStyles& operator>>(TFontStyle s) { FBits &= ~(1u << s); return *this; }
    bool Contains(TFontStyle s) const { return FBits & (1u << s); }
    bool Empty() const { return FBits == 0; }
    friend bool operator==(TFontStyles, TFontStyles) = default;

private:
    unsigned FBits = 0;
};

using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SHIFTJIS_CHARSET = 128;

// Fonts, pens and brushes report every write of a property through OnChange.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    friend class TCanvas;
    unsigned FVersion = 0;  // counts the writes, so a canvas knows what it has taken over
};

// A negative Height is the em height in pixels, a positive one the cell height (em and internal
// leading). The faces "ＭＳ Ｐゴシック" and "ＭＳ Ｐ明朝" are drawn with the IPA P fonts.
class TFont : public TGraphicsObject {
public:
    TFont();
    void Assign(const TFont* source);

    AnsiString Name() const { return FName; }
    void SetName(const AnsiString& value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    // Points at 96 dots per inch.
    int Size() const;
    void SetSize(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset value);

private:
    AnsiString FName;
    int FHeight = -12;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
};

// A width of 1 or less draws GDI's one-pixel lines; a wider pen stamps a width x width square
// along the line, end point included (GDI's round caps are not reproduced).
class TPen : public TGraphicsObject {
public:
    void Assign(const TPen* source);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int Width() const { return FWidth; }
    void SetWidth(int value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
};

class TBrush : public TGraphicsObject {
public:
    void Assign(const TBrush* source);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

// A picture that a canvas can draw: at its own size (TCanvas::Draw) or stretched (StretchDraw).
class TGraphic : public TPersistent {
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;

protected:
    friend class TCanvas;
    // Draws the picture stretched over rect of the canvas, with the canvas's copy mode.
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
};

// Our own pixel buffer. It is empty while its width or height is 0; a negative size is taken as
// 0. Each resize keeps the pixels that fit and paints the new area white. A size whose pixels
// cannot be held raises EOutOfResources and leaves the bitmap as it was. PixelFormat is kept as
// set; the pixels are always stored at 24 bits, so ScanLine rows are always 24-bit rows.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    void SetSize(int width, int height);
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat value) { FPixelFormat = value; }

    // Row y (0 at the top): Width x 3 bytes (blue, green, red), then the fill bytes up to a
    // multiple of four. Raises Exception for a row outside the bitmap.
    void* ScanLine(int row);

    // Copies another bitmap's size, pixels and format; no bitmap at all empties this one.
    // Raises Exception for anything else.
    void Assign(TPersistent* source);

    // The canvas that draws on this bitmap.
    TCanvas* Canvas();

protected:
    void Draw(TCanvas* canvas, const TRect& rect) override;

private:
    friend class TCanvas;
    void Resize(int width, int height);
    std::uint8_t* Pixel(int x, int y) {
        return FBits.data() + static_cast<std::size_t>(y) * FStride + static_cast<std::size_t>(x) * 3;
    }

    int FWidth = 0, FHeight = 0;
    std::size_t FStride = 0;
    std::vector<std::uint8_t> FBits;
    TPixelFormat FPixelFormat = pfDevice;
    std::unique_ptr<TCanvas> FCanvas;
};

// Draws on a surface bitmap: canvas point (0, 0) is the surface's point Origin, and nothing is
// drawn outside the clipping rectangle (surface coordinates, further limited by the surface's
// size). A bitmap's canvas draws on the whole bitmap; a control's canvas is pointed at its
// parent's paint buffer while it paints. A canvas without a surface draws nothing.
// The canvas is also the device context of the GDI calls (Handle): taking the handle passes the
// brush (background colour; background mode opaque for a solid brush, transparent for a clear
// one) and the font's colour to the device when they changed since the last time.
class TCanvas : public TPersistent, public TDeviceContext {
public:
    TCanvas();
    ~TCanvas() override;

    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(const TPen* value) { FPen->Assign(value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TBrush* value) { FBrush->Assign(value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode value) { FCopyMode = value; }
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint value) { FPenPos = value; }

    // Pixels[x][y]: the read gives CLR_INVALID (as a TColor, -1) outside the clipping area;
    // the write goes through SetPixel.
    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor color);

    void MoveTo(int x, int y);
    // From the pen position to (x, y), which is left unpainted; the pen position moves there.
    void LineTo(int x, int y);
    // Fills between the rectangle's edges (right and bottom edge excluded) with the brush;
    // a clear brush fills nothing.
    void FillRect(const TRect& rect);
    // Graphics at their own size, or stretched over rect (nearest pixel), with CopyMode.
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    // Copies source of canvas onto dest of this canvas with CopyMode, stretched when the sizes
    // differ and mirrored when an extent is reversed.
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
    // The clipping rectangle in canvas coordinates.
    TRect ClipRect() const;

    HDC Handle();

    // The surface to draw on (nullptr: none); see the class comment. A new surface is a new
    // device: background mode opaque, pen position (0, 0), brush and font taken over again.
    void SetSurface(TBitmap* surface, TPoint origin, const TRect& clip);
    void SetSurface(TBitmap* surface) { SetSurface(surface, TPoint(), NoClip()); }
    static TRect NoClip();

    bool DCSetPixel(int x, int y, COLORREF color) override;
    COLORREF DCGetPixel(int x, int y) override;
    int DCDrawText(const char* text, int count, TRect& rect, UINT format) override;  // vcl/qt/

private:
    friend class TBitmap;
    // The clipping rectangle in surface coordinates (empty without a surface).
    TRect DeviceClip() const;
    void SyncDevice();
    void ThinLine(int x0, int y0, int x1, int y1, const TRect& clip, std::uint32_t rgb);
    void WideLine(int x0, int y0, int x1, int y1, int width, const TRect& clip, std::uint32_t rgb);
    // Copies source, moved by sourceShift into surface coordinates of from, onto dest, moved by
    // destShift into canvas coordinates, with rop. The moves are made in 64 bits.
    void Blit(const TRect& dest, TPoint destShift, TBitmap* from, const TRect& source,
              TPoint sourceShift, TCopyMode rop);

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TCopyMode FCopyMode = cmSrcCopy;
    TPoint FPenPos;
    TBitmap* FSurface = nullptr;
    TPoint FOrigin;
    TRect FClip;
    unsigned FBrushTaken = ~0u, FFontTaken = ~0u;  // versions passed to the device
};

// The class library's 3-D frame: Width rings inside rect, the outermost first, each in
// TopColor along the top row and left column and in BottomColor along the right column and
// bottom row (so a ring's top-right and bottom-left corners take BottomColor); pen width 1.
// rect ends inset by the rings drawn. Width 0 or less draws nothing.
void Frame3D(TCanvas* canvas, TRect& rect, TColor TopColor, TColor BottomColor, int Width);
