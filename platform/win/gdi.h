// Stand-ins for the GDI calls the programs make: the system colours, single pixels, and the
// background mode and text drawing of a device context. A device context here is the class
// library's canvas over our own pixel buffer (vcl/graphics.h), reached through TDeviceContext.
#pragma once

#include "win/windef.h"

// A GDI colour, 0x00BBGGRR.
using COLORREF = DWORD;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Points and rectangles of the Windows calls and of the class library (Right and Bottom are
// exclusive).
struct TPoint {
    int X = 0, Y = 0;
    TPoint() = default;
    TPoint(int x, int y) : X(x), Y(y) {}
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    TRect() = default;
    TRect(int left, int top, int right, int bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom) {}
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

using POINT = TPoint;
using RECT = TRect;

inline TPoint Point(int x, int y) { return TPoint(x, y); }
inline TRect Rect(int left, int top, int right, int bottom) { return TRect(left, top, right, bottom); }
inline TRect Bounds(int left, int top, int width, int height) {
    return TRect(left, top, left + width, top + height);
}

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// DrawTextA formats.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;  // with DT_SINGLELINE only
constexpr UINT DT_BOTTOM = 0x0008;   // with DT_SINGLELINE only
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;

// What the GDI calls draw on: the state a device context carries, and its drawing operations.
class TDeviceContext {
public:
    virtual ~TDeviceContext() = default;

    int BkMode = OPAQUE;
    COLORREF BkColor = 0x00FFFFFF;
    COLORREF TextColor = 0x00000000;

    // Device coordinates; outside the clipping area nothing is written and CLR_INVALID is read.
    virtual bool DCSetPixel(int x, int y, COLORREF color) = 0;
    virtual COLORREF DCGetPixel(int x, int y) = 0;
    // DrawTextA on this device: text as code page 932 bytes (count -1: up to the NUL).
    virtual int DCDrawText(const char* text, int count, TRect& rect, UINT format) = 0;
};

using HDC = TDeviceContext*;

// The classic Windows system colours (the "Windows Standard" scheme), by COLOR_* index
// (0 scroll bar ... 30 menu bar); an index without a colour gives 0.
COLORREF GetSysColor(int index);

// Returns the previous mode, 0 for no device or an unknown mode.
int SetBkMode(HDC dc, int mode);

// Returns the colour written, CLR_INVALID outside the clipping area.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);

// Draws text (count -1: up to the NUL) into rect: lines broken at CR, LF and CR LF unless
// DT_SINGLELINE; DT_WORDBREAK breaks lines at blanks and around double-byte characters to fit
// the width; DT_LEFT / DT_CENTER / DT_RIGHT per line, DT_VCENTER / DT_BOTTOM for a single
// line; "&x" underlines x and "&&" shows one "&" unless DT_NOPREFIX; clipped to rect unless
// DT_NOCLIP. The text colour and background mode are the device's; an opaque background fills
// each line's extent in the background colour. DT_CALCRECT only measures: rect's Right and Bottom
// become those of the text. Returns the height of the text (with DT_VCENTER or DT_BOTTOM, the
// offset from rect's top to the bottom of the text); 0 for no device.
int DrawTextA(HDC dc, const char* text, int count, RECT* rect, UINT format);
