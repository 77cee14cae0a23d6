#include "vcl/graphics.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "rtl/consts.h"
#include "rtl/sysutils.h"

namespace {

using i64 = long long;
using i128 = __int128;

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

// The most bytes one bitmap holds: 1 GiB. A 32-bit program shares its 2 GiB of address space
// with its code and heap and never gets a larger block in one piece, so a larger bitmap fails
// there too; here it fails cleanly instead of taking the machine's memory.
constexpr std::size_t kMaxBitmapBytes = std::size_t(1) << 30;

// A pixel buffer of size bytes, white, or copied from from. Memory that the system refuses
// raises the same error as a size beyond the limit.
std::vector<std::uint8_t> NewBits(std::size_t size, const std::uint8_t* from = nullptr) {
    try {
        return from ? std::vector<std::uint8_t>(from, from + size) : std::vector<std::uint8_t>(size, 0xFF);
    } catch (const std::bad_alloc&) {
        throw EOutOfResources(SOutOfResources);
    }
}

int ClampToInt(i64 v) { return static_cast<int>(std::clamp<i64>(v, INT_MIN, INT_MAX)); }

// A COLORREF (red in the low byte) as the bytes lie in the buffer: blue in the low byte.
std::uint32_t ToPixel(COLORREF c) {
    return ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16);
}
COLORREF FromPixel(std::uint32_t p) { return ToPixel(p); }

std::uint32_t Load(const std::uint8_t* p) {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16;
}
void Store(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
}

// A ternary raster operation: bit i of code is the result for pattern bit (i & 4), source bit
// (i & 2) and destination bit (i & 1), as GDI numbers them.
std::uint32_t Rop3(unsigned code, std::uint32_t P, std::uint32_t S, std::uint32_t D) {
    switch (code) {
        case 0xCC: return S;
        case 0x33: return ~S & kRgbMask;
        case 0x00: return 0;
        case 0xFF: return kRgbMask;
        case 0xF0: return P;
        case 0x66: return S ^ D;
        case 0x88: return S & D;
        case 0xEE: return S | D;
        case 0x55: return ~D & kRgbMask;
    }
    std::uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i)
        if (code >> i & 1) r |= (i & 4 ? P : ~P) & (i & 2 ? S : ~S) & (i & 1 ? D : ~D);
    return r & kRgbMask;
}

TRect Intersect(const TRect& a, const TRect& b) {
    TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom));
    if (r.Left >= r.Right || r.Top >= r.Bottom) return TRect();
    return r;
}

i128 CeilDiv(i128 a, i128 b) {  // b > 0
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// The nearest integer to num / den (den > 0); a tie goes to the smaller one, as GDI's lines
// light the upper (or left) of two pixels that the line passes exactly between.
i64 RoundTieDown(i128 num, i64 den) { return static_cast<i64>(CeilDiv(2 * num - den, 2 * i128(den))); }

// Windows' MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
    i64 p = static_cast<i64>(a) * b;
    i64 q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
    return static_cast<int>(q);
}

}  // namespace

TColor ColorToRGB(TColor color) {
    return color < 0 ? static_cast<TColor>(GetSysColor(color & 0xFF)) : color;
}

// ---- fonts, pens, brushes ----

void TGraphicsObject::Changed() {
    ++FVersion;
    if (OnChange) OnChange(this);
}

TFont::TFont() : FName("ＭＳ Ｐゴシック"_cp932) {}

void TFont::Assign(const TFont* source) {
    if (!source || source == this) return;
    FName = source->FName;
    FHeight = source->FHeight;
    FColor = source->FColor;
    FStyle = source->FStyle;
    FCharset = source->FCharset;
    Changed();
}

void TFont::SetName(const AnsiString& value) { FName = value; Changed(); }
void TFont::SetHeight(int value) { FHeight = value; Changed(); }
int TFont::Size() const { return -MulDiv(FHeight, 72, 96); }
void TFont::SetSize(int value) { SetHeight(-MulDiv(value, 96, 72)); }
void TFont::SetColor(TColor value) { FColor = value; Changed(); }
void TFont::SetStyle(TFontStyles value) { FStyle = value; Changed(); }
void TFont::SetCharset(TFontCharset value) { FCharset = value; Changed(); }

void TPen::Assign(const TPen* source) {
    if (!source || source == this) return;
    FColor = source->FColor;
    FWidth = source->FWidth;
    FStyle = source->FStyle;
    Changed();
}
void TPen::SetColor(TColor value) { FColor = value; Changed(); }
void TPen::SetWidth(int value) { FWidth = value; Changed(); }
void TPen::SetStyle(TPenStyle value) { FStyle = value; Changed(); }

void TBrush::Assign(const TBrush* source) {
    if (!source || source == this) return;
    FColor = source->FColor;
    FStyle = source->FStyle;
    Changed();
}
void TBrush::SetColor(TColor value) { FColor = value; Changed(); }
void TBrush::SetStyle(TBrushStyle value) { FStyle = value; Changed(); }

// ---- bitmap ----

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::SetWidth(int value) { Resize(value, FHeight); }
void TBitmap::SetHeight(int value) { Resize(FWidth, value); }
void TBitmap::SetSize(int width, int height) { Resize(width, height); }

void TBitmap::Resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight) return;
    // In 64 bits: a row of 2^31 - 1 pixels is 6 GiB.
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    if (height > 0 && stride > kMaxBitmapBytes / static_cast<std::size_t>(height))
        throw EOutOfResources(SOutOfResources);
    std::vector<std::uint8_t> bits = NewBits(stride * static_cast<std::size_t>(height));
    const std::size_t keep = static_cast<std::size_t>(std::min(width, FWidth)) * 3;
    for (int y = 0; keep != 0 && y < std::min(height, FHeight); ++y)
        std::memcpy(bits.data() + static_cast<std::size_t>(y) * stride,
                    FBits.data() + static_cast<std::size_t>(y) * FStride, keep);
    FBits.swap(bits);
    FWidth = width;
    FHeight = height;
    FStride = stride;
}

void* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= FHeight) throw Exception("Scan line index out of range");
    return FBits.data() + static_cast<std::size_t>(row) * FStride;
}

void TBitmap::Assign(TPersistent* source) {
    if (!source) {
        Resize(0, 0);
        return;
    }
    auto* bitmap = dynamic_cast<TBitmap*>(source);
    if (!bitmap) throw Exception("Cannot assign this object to a TBitmap");
    if (bitmap == this) return;
    FBits = NewBits(bitmap->FBits.size(), bitmap->FBits.data());
    FWidth = bitmap->FWidth;
    FHeight = bitmap->FHeight;
    FStride = bitmap->FStride;
    FPixelFormat = bitmap->FPixelFormat;
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>();
        FCanvas->SetSurface(this);
    }
    return FCanvas.get();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
    if (Empty()) return;
    canvas->Blit(rect, TPoint(), this, TRect(0, 0, FWidth, FHeight), TPoint(), canvas->CopyMode());
}

// ---- canvas ----

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()),
      FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()),
      FClip(NoClip()) {}

TCanvas::~TCanvas() = default;

TRect TCanvas::NoClip() { return TRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }

void TCanvas::SetSurface(TBitmap* surface, TPoint origin, const TRect& clip) {
    FSurface = surface;
    FOrigin = origin;
    FClip = clip;
    BkMode = OPAQUE;
    BkColor = 0x00FFFFFF;
    TextColor = 0;
    FPenPos = TPoint();
    FBrushTaken = FFontTaken = ~0u;
}

TRect TCanvas::DeviceClip() const {
    if (!FSurface) return TRect();
    return Intersect(FClip, TRect(0, 0, FSurface->FWidth, FSurface->FHeight));
}

TRect TCanvas::ClipRect() const {
    TRect c = DeviceClip();
    return TRect(c.Left - FOrigin.X, c.Top - FOrigin.Y, c.Right - FOrigin.X, c.Bottom - FOrigin.Y);
}

void TCanvas::SyncDevice() {
    if (FBrushTaken != FBrush->FVersion) {
        BkColor = static_cast<COLORREF>(ColorToRGB(FBrush->Color())) & kRgbMask;
        BkMode = FBrush->Style() == bsClear ? TRANSPARENT : OPAQUE;
        FBrushTaken = FBrush->FVersion;
    }
    if (FFontTaken != FFont->FVersion) {
        TextColor = static_cast<COLORREF>(ColorToRGB(FFont->Color())) & kRgbMask;
        FFontTaken = FFont->FVersion;
    }
}

HDC TCanvas::Handle() {
    SyncDevice();
    return this;
}

bool TCanvas::DCSetPixel(int x, int y, COLORREF color) {
    const i64 dx = i64(x) + FOrigin.X, dy = i64(y) + FOrigin.Y;
    const TRect c = DeviceClip();
    if (dx < c.Left || dx >= c.Right || dy < c.Top || dy >= c.Bottom) return false;
    Store(FSurface->Pixel(static_cast<int>(dx), static_cast<int>(dy)), ToPixel(color));
    return true;
}

COLORREF TCanvas::DCGetPixel(int x, int y) {
    const i64 dx = i64(x) + FOrigin.X, dy = i64(y) + FOrigin.Y;
    const TRect c = DeviceClip();
    if (dx < c.Left || dx >= c.Right || dy < c.Top || dy >= c.Bottom) return CLR_INVALID;
    return FromPixel(Load(FSurface->Pixel(static_cast<int>(dx), static_cast<int>(dy))));
}

TColor TCanvas::Pixels(int x, int y) { return static_cast<TColor>(GetPixel(Handle(), x, y)); }

void TCanvas::SetPixels(int x, int y, TColor color) {
    ::SetPixel(Handle(), x, y, static_cast<COLORREF>(ColorToRGB(color)));
}

void TCanvas::MoveTo(int x, int y) { FPenPos = TPoint(x, y); }

void TCanvas::LineTo(int x, int y) {
    const TPoint from = FPenPos;
    FPenPos = TPoint(x, y);
    if (FPen->Style() == psClear) return;
    const std::uint32_t rgb = ToPixel(static_cast<COLORREF>(ColorToRGB(FPen->Color())));
    const TRect clip = DeviceClip();
    if (clip.Left >= clip.Right) return;
    if (FPen->Width() <= 1)
        ThinLine(from.X, from.Y, x, y, clip, rgb);
    else
        WideLine(from.X, from.Y, x, y, FPen->Width(), clip, rgb);
}

// The pixels of a one-pixel line by GDI's rule: one pixel per column of an x-major line (one
// per row of a y-major one), the one nearest the exact line, the start point included and the
// end point left out. Only the steps that land inside the clip are visited.
void TCanvas::ThinLine(int x0, int y0, int x1, int y1, const TRect& clip, std::uint32_t rgb) {
    const i64 X0 = i64(x0) + FOrigin.X, Y0 = i64(y0) + FOrigin.Y;
    const i64 dx = i64(x1) - x0, dy = i64(y1) - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    // Along the major axis a, the minor one b follows: b = B0 + round(t * db / n).
    const i64 da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const i64 A0 = xMajor ? X0 : Y0, B0 = xMajor ? Y0 : X0;
    const i64 lowA = xMajor ? clip.Left : clip.Top, highA = xMajor ? clip.Right : clip.Bottom;
    const i64 lowB = xMajor ? clip.Top : clip.Left, highB = xMajor ? clip.Bottom : clip.Right;
    const i64 n = da < 0 ? -da : da;
    if (n == 0) return;
    const int sa = da < 0 ? -1 : 1;
    // t with lowA <= A0 + sa * t < highA, within 0 .. n - 1.
    i64 tFirst = sa > 0 ? lowA - A0 : A0 - (highA - 1);
    i64 tLast = sa > 0 ? highA - 1 - A0 : A0 - lowA;
    tFirst = std::max<i64>(tFirst, 0);
    tLast = std::min<i64>(tLast, n - 1);
    for (i64 t = tFirst; t <= tLast; ++t) {
        const i64 a = A0 + sa * t;
        const i64 b = B0 + RoundTieDown(i128(t) * db, n);
        if (b < lowB || b >= highB) continue;
        const int px = static_cast<int>(xMajor ? a : b), py = static_cast<int>(xMajor ? b : a);
        Store(FSurface->Pixel(px, py), rgb);
    }
}

// A wide pen stamps a width x width square at every step of the line, end point included. The
// squares are gathered by major coordinate: those over one column (one row of a y-major line)
// come from a run of steps whose centres climb at most one pixel a step, so together they cover
// one span. Only the clip's columns (rows) are visited, however long the line or wide the pen.
void TCanvas::WideLine(int x0, int y0, int x1, int y1, int width, const TRect& clip,
                       std::uint32_t rgb) {
    const i64 dx = i64(x1) - x0, dy = i64(y1) - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const i64 da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    const i64 n = da < 0 ? -da : da;
    const i64 A0 = xMajor ? i64(x0) + FOrigin.X : i64(y0) + FOrigin.Y;
    const i64 B0 = xMajor ? i64(y0) + FOrigin.Y : i64(x0) + FOrigin.X;
    const i64 lowA = xMajor ? clip.Left : clip.Top, highA = xMajor ? clip.Right : clip.Bottom;
    const i64 lowB = xMajor ? clip.Top : clip.Left, highB = xMajor ? clip.Bottom : clip.Right;
    const int sa = da < 0 ? -1 : 1;
    const i64 before = (width - 1) / 2, after = width / 2;
    // Step t is centred at a = A0 + sa * t, b = B0 + round(t * db / n).
    const auto minor = [&](i64 t) { return B0 + (n ? RoundTieDown(i128(t) * db, n) : 0); };
    for (i64 a = lowA; a < highA; ++a) {
        // The steps whose square covers a: centres from a - after to a + before.
        const i64 t1 = std::max<i64>(sa > 0 ? a - after - A0 : A0 - (a + before), 0);
        const i64 t2 = std::min<i64>(sa > 0 ? a + before - A0 : A0 - (a - after), n);
        if (t1 > t2) continue;
        const i64 b1 = minor(t1), b2 = minor(t2);
        const i64 from = std::max(std::min(b1, b2) - before, lowB);
        const i64 to = std::min(std::max(b1, b2) + after + 1, highB);
        for (i64 b = from; b < to; ++b)
            Store(FSurface->Pixel(static_cast<int>(xMajor ? a : b), static_cast<int>(xMajor ? b : a)), rgb);
    }
}

void TCanvas::FillRect(const TRect& rect) {
    SyncDevice();
    if (FBrush->Style() == bsClear) return;
    const TRect clip = DeviceClip();
    const i64 left = std::max<i64>(i64(std::min(rect.Left, rect.Right)) + FOrigin.X, clip.Left);
    const i64 right = std::min<i64>(i64(std::max(rect.Left, rect.Right)) + FOrigin.X, clip.Right);
    const i64 top = std::max<i64>(i64(std::min(rect.Top, rect.Bottom)) + FOrigin.Y, clip.Top);
    const i64 bottom = std::min<i64>(i64(std::max(rect.Top, rect.Bottom)) + FOrigin.Y, clip.Bottom);
    const std::uint32_t rgb = ToPixel(static_cast<COLORREF>(ColorToRGB(FBrush->Color())));
    for (i64 y = top; y < bottom; ++y)
        for (i64 x = left; x < right; ++x)
            Store(FSurface->Pixel(static_cast<int>(x), static_cast<int>(y)), rgb);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    const int w = graphic->Width(), h = graphic->Height();
    // A bitmap is copied pixel for pixel wherever it lies; another picture is drawn over its
    // place as far as 32-bit coordinates reach.
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic))
        Blit(TRect(0, 0, w, h), TPoint(x, y), bitmap, TRect(0, 0, w, h), TPoint(), FCopyMode);
    else
        graphic->Draw(this, TRect(x, y, ClampToInt(i64(x) + w), ClampToInt(i64(y) + h)));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (graphic) graphic->Draw(this, rect);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
    if (!canvas || !canvas->FSurface) return;
    Blit(dest, TPoint(), canvas->FSurface, source, canvas->FOrigin, FCopyMode);
}

// Each destination pixel takes the source pixel under its centre (GDI's stretching that
// deletes or repeats whole rows and columns); destination pixels whose source lies outside the
// source bitmap are left alone.
void TCanvas::Blit(const TRect& dest, TPoint destShift, TBitmap* from, const TRect& source,
                   TPoint sourceShift, TCopyMode rop) {
    const i64 dw = i64(dest.Right) - dest.Left, dh = i64(dest.Bottom) - dest.Top;
    const i64 sw = i64(source.Right) - source.Left, sh = i64(source.Bottom) - source.Top;
    if (!FSurface || !from || dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
    const bool mirrorX = (dw < 0) != (sw < 0), mirrorY = (dh < 0) != (sh < 0);
    const i64 dLeft = i64(std::min(dest.Left, dest.Right)) + destShift.X + FOrigin.X;
    const i64 dTop = i64(std::min(dest.Top, dest.Bottom)) + destShift.Y + FOrigin.Y;
    const i64 sLeft = i64(std::min(source.Left, source.Right)) + sourceShift.X;
    const i64 sTop = i64(std::min(source.Top, source.Bottom)) + sourceShift.Y;
    const i64 adw = dw < 0 ? -dw : dw, adh = dh < 0 ? -dh : dh;
    const i64 asw = sw < 0 ? -sw : sw, ash = sh < 0 ? -sh : sh;
    const TRect clip = DeviceClip();
    const i64 x0 = std::max<i64>(dLeft, clip.Left), x1 = std::min<i64>(dLeft + adw, clip.Right);
    const i64 y0 = std::max<i64>(dTop, clip.Top), y1 = std::min<i64>(dTop + adh, clip.Bottom);
    if (x0 >= x1 || y0 >= y1) return;

    // A copy within one bitmap reads from a snapshot, so overlapping areas copy as GDI does.
    TBitmap snapshot;
    const TBitmap* src = from;
    if (from == FSurface) {
        snapshot.Assign(from);
        src = &snapshot;
    }
    // i and both extents reach 2^33: the product takes 128 bits.
    const auto map = [](i64 i, i64 destExtent, i64 srcExtent, bool mirror) {
        const i64 s = static_cast<i64>((2 * i128(i) + 1) * srcExtent / (2 * i128(destExtent)));
        return mirror ? srcExtent - 1 - s : s;
    };
    const unsigned code = (static_cast<std::uint32_t>(rop) >> 16) & 0xFF;
    const std::uint32_t pattern = ToPixel(static_cast<COLORREF>(ColorToRGB(FBrush->Color())));
    const bool plain = adw == asw && !mirrorX;

    for (i64 y = y0; y < y1; ++y) {
        const i64 sy = sTop + map(y - dTop, adh, ash, mirrorY);
        if (sy < 0 || sy >= src->FHeight) continue;
        const std::uint8_t* srcRow = src->FBits.data() + static_cast<std::size_t>(sy) * src->FStride;
        std::uint8_t* dstRow = FSurface->FBits.data() + static_cast<std::size_t>(y) * FSurface->FStride;
        if (plain && code == 0xCC) {
            // Unscaled copy: one run of the row that lies inside the source.
            const i64 a = std::max<i64>(x0, dLeft - sLeft), b = std::min<i64>(x1, dLeft - sLeft + src->FWidth);
            if (a < b)
                std::memcpy(dstRow + a * 3, srcRow + (sLeft + a - dLeft) * 3,
                            static_cast<std::size_t>(b - a) * 3);
            continue;
        }
        for (i64 x = x0; x < x1; ++x) {
            const i64 sx = plain ? sLeft + (x - dLeft) : sLeft + map(x - dLeft, adw, asw, mirrorX);
            if (sx < 0 || sx >= src->FWidth) continue;
            std::uint8_t* d = dstRow + x * 3;
            Store(d, Rop3(code, pattern, Load(srcRow + sx * 3), Load(d)));
        }
    }
}

void Frame3D(TCanvas* canvas, TRect& rect, TColor TopColor, TColor BottomColor, int Width) {
    canvas->Pen()->SetWidth(1);
    const int rings = Width > 0 ? Width : 0;
    int left = rect.Left, top = rect.Top, right = rect.Right - 1, bottom = rect.Bottom - 1;
    // Each ring's four edges are forward runs; a ring past the middle of the rectangle paints
    // only what its runs still hold, and once both its extents are empty no later ring paints.
    for (int ring = 0; ring < rings && (left <= right || top <= bottom); ++ring) {
        canvas->Pen()->SetColor(TopColor);
        if (left < right) { canvas->MoveTo(left, top); canvas->LineTo(right, top); }
        if (top < bottom) { canvas->MoveTo(left, top); canvas->LineTo(left, bottom); }
        canvas->Pen()->SetColor(BottomColor);
        if (top <= bottom) { canvas->MoveTo(right, top); canvas->LineTo(right, bottom + 1); }
        if (left <= right) { canvas->MoveTo(left, bottom); canvas->LineTo(right + 1, bottom); }
        ++left, ++top, --right, --bottom;
    }
    rect = TRect(rect.Left + rings, rect.Top + rings, rect.Right - rings, rect.Bottom - rings);
}
