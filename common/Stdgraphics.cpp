#include "Stdgraphics.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

namespace Stdgraphics {

namespace {

// Channel values in units of 1/10000 of a level.
constexpr long long kFactor = 10000;

// The floating-point work is done in extended precision (a 64-bit significand), each step
// rounded to nearest, in the order written; the results depend on it.
using Extended = long double;
static_assert(sizeof(Extended) >= 10, "extended precision is needed");

struct TChannels {
    long long C[3];  // red, green, blue
};

TChannels Split(TColor color) {
    std::uint8_t r, g, b;
    DivideRGB(ColorToRGB(color), r, g, b);
    return {{r, g, b}};
}

TColor Compose(const long long value[3]) {
    return static_cast<TColor>((value[0] & 0xFF) | (value[1] & 0xFF) << 8 | (value[2] & 0xFF) << 16);
}

// Nearest integer, ties to even (the rounding mode in force is the default one).
long long Round(Extended x) { return std::llrint(x); }

// round((b - a) / divisor x 10000): the quotient, then the product, then the rounding. A zero
// divisor (a band or area one line long) gives 0: its one line has the start colour anyway.
long long Step(long long a, long long b, long long divisor) {
    if (divisor == 0) return 0;
    return Round(Extended(b - a) / Extended(divisor) * Extended(kFactor));
}

// One two-colour gradient over a band, one line per column (ddHorizontal) or row (ddVartical).
void DrawBand(TCanvas* Canvas, TDrawDirection Direction, const TRect& Band, TColor A, TColor B) {
    const TChannels from = Split(A), to = Split(B);
    const long long m = Direction == ddHorizontal ? (long long)Band.Right - Band.Left
                                                  : (long long)Band.Bottom - Band.Top;
    long long step[3];
    for (int c = 0; c < 3; ++c) step[c] = Step(from.C[c], to.C[c], m - 1);
    if (m <= 0) return;
    for (long long k = 0; k < m; ++k) {
        long long value[3];
        for (int c = 0; c < 3; ++c) value[c] = from.C[c] + k * step[c] / kFactor;
        const TColor color = Compose(value);
        if (Direction == ddHorizontal) {
            const int p = static_cast<int>(Band.Left + k);
            Line(Canvas, color, p, Band.Top, p, Band.Bottom, 1);
        } else {
            const int p = static_cast<int>(Band.Top + k);
            Line(Canvas, color, Band.Left, p, Band.Right, p, 1);
        }
    }
}

}  // namespace

DWORD DrawGradation(const TRect& R, TCanvas* Canvas, TColor TopLeft, TColor TopRight,
                    TColor BottomLeft, TColor BottomRight) {
    const DWORD start = GetTickCount();
    const long long W = (long long)R.Right - R.Left, H = (long long)R.Bottom - R.Top;
    const TChannels tl = Split(TopLeft), tr = Split(TopRight);
    const TChannels bl = Split(BottomLeft), br = Split(BottomRight);
    for (long long x = 0; x < W; ++x) {
        const Extended u = Extended(x) / Extended(W);
        const Extended iu = 1 - u;
        long long top[3], bottom[3];
        for (int c = 0; c < 3; ++c) {
            top[c] = Round((iu * Extended(tl.C[c]) + u * Extended(tr.C[c])) * Extended(kFactor));
            bottom[c] = Round((iu * Extended(bl.C[c]) + u * Extended(br.C[c])) * Extended(kFactor));
        }
        for (long long y = 0; y < H; ++y) {
            const Extended vy = Extended(y) / Extended(H);
            const Extended ivy = 1 - vy;
            long long value[3];
            for (int c = 0; c < 3; ++c)
                value[c] = static_cast<long long>(
                    (ivy * Extended(top[c]) + vy * Extended(bottom[c])) / Extended(kFactor));
            Canvas->SetPixels(static_cast<int>(x), static_cast<int>(y), Compose(value));
        }
    }
    return GetTickCount() - start;
}

DWORD DrawGradation(const TRect& R, TCanvas* Canvas, TDrawDirection Direction,
                    const TColor* Colors, int Colors_Size) {
    const DWORD start = GetTickCount();
    const int n = Colors_Size;
    if (n == 0) {
        Canvas->Brush()->SetColor(Colors[0]);
        Canvas->FillRect(R);
    } else if (n == 1) {
        DrawBand(Canvas, Direction, R, Colors[0], Colors[1]);
    } else {
        const long long extent = Direction == ddHorizontal ? (long long)R.Right - R.Left
                                                           : (long long)R.Bottom - R.Top;
        const int s = static_cast<int>(extent / n);
        TRect band = R;
        if (Direction == ddHorizontal)
            band.Right = s;
        else
            band.Bottom = s;
        for (int i = 0; i < n; ++i) {
            DrawBand(Canvas, Direction, band, Colors[i], Colors[i + 1]);
            if (Direction == ddHorizontal) {
                band.Left += s;
                band.Right += s;
            } else {
                band.Top += s;
                band.Bottom += s;
            }
        }
    }
    return GetTickCount() - start;
}

DWORD DrawGradation(const TRect& R, TCanvas* Canvas, TDrawOblique Direction, TColor First,
                    TColor Second) {
    const DWORD start = GetTickCount();
    const TChannels from = Split(First), to = Split(Second);
    const long long W = (long long)R.Right - R.Left, H = (long long)R.Bottom - R.Top;
    long long step[3];
    for (int c = 0; c < 3; ++c) step[c] = Step(from.C[c], to.C[c], W + H - 1);
    const long long first = (long long)R.Left + R.Top, last = (long long)R.Right + R.Bottom;
    for (long long d = first; d < last; ++d) {
        const long long k = d - first;
        long long value[3];
        for (int c = 0; c < 3; ++c) value[c] = from.C[c] + k * step[c] / kFactor;
        const TColor color = Compose(value);
        const int p = static_cast<int>(d);
        if (Direction == doObliqueLtR)
            Line(Canvas, color, R.Left, p, p, R.Top, 1);
        else
            Line(Canvas, color, static_cast<int>((long long)R.Left + R.Right - d), R.Top, R.Right, p, 1);
    }
    return GetTickCount() - start;
}

DWORD LightScreen(const TRect& R, TCanvas* Canvas, int Value) {
    const DWORD start = GetTickCount();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetWidth(R.Right - R.Left);
    bitmap->SetHeight(R.Bottom - R.Top);
    bitmap->SetPixelFormat(pf24bit);
    const int bytesPerPixel = GetPixelForByteSize(bitmap->PixelFormat());
    const TRect whole(0, 0, bitmap->Width(), bitmap->Height());
    bitmap->Canvas()->CopyRect(whole, Canvas, R);
    for (int y = 0; y < bitmap->Height(); ++y) {
        auto* row = static_cast<std::uint8_t*>(bitmap->ScanLine(y));
        for (int i = 0; i < bitmap->Width() * bytesPerPixel; ++i) {
            // The sum is formed wide, so that no amount overflows it.
            const long long sum = std::clamp<long long>((long long)row[i] + Value, INT_MIN, INT_MAX);
            row[i] = static_cast<std::uint8_t>(InValue(static_cast<int>(sum), 0, 255, false));
        }
    }
    Canvas->CopyRect(R, bitmap->Canvas(), whole);
    return GetTickCount() - start;
}

void Line(TCanvas* Canvas, TColor Color, int X1, int Y1, int X2, int Y2, int Width) {
    if (Canvas->Pen()->Color() != Color) Canvas->Pen()->SetColor(Color);
    if (Canvas->Pen()->Width() != Width) Canvas->Pen()->SetWidth(Width);
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
}

DWORD DrawTextShadow(const TRect& R, TCanvas* Canvas, const char* Text, UINT Format, int ShadowX,
                     int ShadowY, TColor TextColor, TColor ShadowColor) {
    TRect rect = R;
    const DWORD start = GetTickCount();
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    TRect shadow(rect.Left + ShadowX, rect.Top + ShadowY, rect.Right + ShadowX,
                 rect.Bottom + ShadowY);
    Canvas->Font()->SetColor(ShadowColor);
    DrawTextA(Canvas->Handle(), Text, -1, &shadow, Format);
    Canvas->Font()->SetColor(TextColor);
    DrawTextA(Canvas->Handle(), Text, -1, &rect, Format);
    return GetTickCount() - start;
}

DWORD TileBitmap(const TRect& R, TCanvas* Canvas, TBitmap* Tile) {
    if (!Tile || Tile->Empty()) return 0;
    const DWORD start = GetTickCount();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetWidth(R.Right - R.Left);
    bitmap->SetHeight(R.Bottom - R.Top);
    for (int x = 0; x <= bitmap->Width(); x += Tile->Width())
        for (int y = 0; y <= bitmap->Height(); y += Tile->Height())
            bitmap->Canvas()->Draw(x, y, Tile);
    Canvas->CopyRect(R, bitmap->Canvas(), TRect(0, 0, bitmap->Width(), bitmap->Height()));
    return GetTickCount() - start;
}

void DivideRGB(TColor Color, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B) {
    R = static_cast<std::uint8_t>(Color & 0xFF);
    G = static_cast<std::uint8_t>((Color >> 8) & 0xFF);
    B = static_cast<std::uint8_t>((Color >> 16) & 0xFF);
}

int InValue(int Value, int Min, int Max, bool Wrap) {
    if (Min >= Max) return Min;
    const long long lo = Min, hi = Max, size = hi - lo + 1;
    long long v = Value;
    // Stepping by the range size until the value is inside, done in one division.
    if (v > hi)
        v = Wrap ? lo + (v - lo) % size : hi;
    else if (v < lo)
        v = Wrap ? hi - (hi - v) % size : lo;
    return static_cast<int>(v);
}

int GetPixelForByteSize(TPixelFormat Format) {
    switch (Format) {
        case pf8bit: return 1;
        case pf15bit:
        case pf16bit: return 2;
        case pfDevice:
        case pf24bit: return 3;
        case pf32bit: return 4;
        default: return 0;
    }
}

}  // namespace Stdgraphics
