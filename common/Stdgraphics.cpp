#include "Stdgraphics.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

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

// The extent from one edge to the other as a bitmap's size: none for a reversed area, and no
// more than an int holds (no bitmap holds that much anyway).
int Extent(int from, int to) { return static_cast<int>(std::clamp<long long>((long long)to - from, 0, INT_MAX)); }

// One two-colour gradient over a band, one line per column (ddHorizontal) or row (ddVartical).
void DrawBand(TCanvas* Canvas, TDrawDirection Direction, const TRect& Band, TColor A, TColor B) {
    const TChannels from = Split(A), to = Split(B);
    const long long m = Direction == ddHorizontal ? (long long)Band.Right - Band.Left
                                                  : (long long)Band.Bottom - Band.Top;
    long long step[3];
    for (int c = 0; c < 3; ++c) step[c] = Step(from.C[c], to.C[c], m - 1);
    if (m <= 0) return;
    const auto line = [&](long long k) {
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
    };
    // Line k lies in column (row) start + k alone: those off the canvas paint nothing and are
    // passed over, but for the last, which leaves the pen as it always does.
    const TRect clip = Canvas->ClipRect();
    const long long start = Direction == ddHorizontal ? Band.Left : Band.Top;
    const long long low = Direction == ddHorizontal ? clip.Left : clip.Top;
    const long long high = Direction == ddHorizontal ? clip.Right : clip.Bottom;
    long long drawn = -1;
    for (long long k = std::max(0LL, low - start); k < std::min(m, high - start); ++k) {
        line(k);
        drawn = k;
    }
    if (drawn != m - 1) line(m - 1);
}

// Calls draw(d), in ascending order, for each d in [begin, end) whose line from (L, d) to
// (d, T) can reach the box [X0, X1] x [Y0, Y1], and passes the others over. A point (x, y) lies
// on the line of d where d * d - (x + y) * d + (x - L) * T + y * L = 0, and the sign of that
// value tells on which side of it the point lies. A line reaches the box only if corners of the
// box lie on both sides of it, or one on it. A corner changes sides only at a root of its
// quadratic, so between those (eight at most) the lines all reach the box or none does.
void ForLinesReaching(long long X0, long long Y0, long long X1, long long Y1, long long L,
                      long long T, long long begin, long long end,
                      const std::function<void(long long)>& draw) {
    using i128 = __int128;  // d * d, (x + y) * d: beyond 64 bits
    const long long xs[] = {X0, X1}, ys[] = {Y0, Y1};
    const auto reaches = [&](long long d) {
        bool above = false, below = false;
        for (long long x : xs)
            for (long long y : ys) {
                const i128 v = i128(d) * d - i128(x + y) * d + i128(x - L) * T + i128(y) * L;
                if (v == 0) return true;
                (v > 0 ? above : below) = true;
            }
        return above && below;
    };
    // Each root, found to well within one, is fenced in by two cuts three apart.
    std::vector<long long> cuts{begin, end};
    for (long long x : xs)
        for (long long y : ys) {
            const i128 b = x + y, disc = b * b - 4 * (i128(x - L) * T + i128(y) * L);
            if (disc < 0) continue;
            const Extended root = std::sqrt(static_cast<Extended>(disc));
            for (Extended r : {(Extended(b) - root) / 2, (Extended(b) + root) / 2}) {
                const long long at = static_cast<long long>(std::floor(r));
                for (long long cut : {at - 1, at + 2}) cuts.push_back(std::clamp(cut, begin, end));
            }
        }
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        const long long from = cuts[i], to = cuts[i + 1];
        if (to - from <= 3) {
            for (long long d = from; d < to; ++d)
                if (reaches(d)) draw(d);
        } else if (reaches(from)) {  // a longer run holds no root: its first line stands for all
            for (long long d = from; d < to; ++d) draw(d);
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
    // Only the pixels on the canvas: the others would write nothing, however large the area.
    const TRect clip = Canvas->ClipRect();
    const long long x0 = std::max(0LL, (long long)clip.Left), x1 = std::min(W, (long long)clip.Right);
    const long long y0 = std::max(0LL, (long long)clip.Top), y1 = std::min(H, (long long)clip.Bottom);
    for (long long x = x0; x < x1; ++x) {
        const Extended u = Extended(x) / Extended(W);
        const Extended iu = 1 - u;
        long long top[3], bottom[3];
        for (int c = 0; c < 3; ++c) {
            top[c] = Round((iu * Extended(tl.C[c]) + u * Extended(tr.C[c])) * Extended(kFactor));
            bottom[c] = Round((iu * Extended(bl.C[c]) + u * Extended(br.C[c])) * Extended(kFactor));
        }
        for (long long y = y0; y < y1; ++y) {
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
        const long long s = extent / n;
        long long left = R.Left, top = R.Top, right = R.Right, bottom = R.Bottom;
        if (Direction == ddHorizontal)
            right = s;
        else
            bottom = s;
        for (int i = 0; i < n; ++i) {
            // The band's edges are 32-bit coordinates: one moved past their range wraps round.
            const TRect band(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                             static_cast<int>(bottom));
            DrawBand(Canvas, Direction, band, Colors[i], Colors[i + 1]);
            if (Direction == ddHorizontal) {
                left += s;
                right += s;
            } else {
                top += s;
                bottom += s;
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
    const auto line = [&](long long d) {
        const long long k = d - first;
        long long value[3];
        for (int c = 0; c < 3; ++c) value[c] = from.C[c] + k * step[c] / kFactor;
        const TColor color = Compose(value);
        const int p = static_cast<int>(d);
        if (Direction == doObliqueLtR)
            Line(Canvas, color, R.Left, p, p, R.Top, 1);
        else
            Line(Canvas, color, static_cast<int>((long long)R.Left + R.Right - d), R.Top, R.Right, p, 1);
    };
    // The end points use d, and from right to left Left + Right - d, as coordinates: a line whose
    // coordinates leave the 32-bit range has no place and is left out.
    long long begin = std::max(first, (long long)INT_MIN), end = std::min(last, (long long)INT_MAX + 1);
    if (Direction == doObliqueRtL) {
        begin = std::max(begin, (long long)R.Left + R.Right - INT_MAX);
        end = std::min(end, (long long)R.Left + R.Right - INT_MIN + 1);
    }
    if (begin >= end) return GetTickCount() - start;
    // The lines that can paint a pixel of the canvas: those that reach its clipping rectangle,
    // widened by a pixel for the rounding of their pixels. A right-to-left line is the mirror of
    // the left-to-right one of the same d (x becomes Left + Right - x), so the mirrored
    // rectangle stands for it. The others are passed over, but for the last, which leaves the
    // pen as it always does.
    const TRect clip = Canvas->ClipRect();
    const long long L = R.Left, T = R.Top;
    long long x0 = (long long)clip.Left - 1, x1 = clip.Right;
    if (Direction == doObliqueRtL) {
        x0 = L + R.Right - clip.Right;
        x1 = L + R.Right - clip.Left + 1;
    }
    long long drawn = begin - 1;
    ForLinesReaching(x0, (long long)clip.Top - 1, x1, clip.Bottom, L, T, begin, end, [&](long long d) {
        line(d);
        drawn = d;
    });
    if (drawn != end - 1) line(end - 1);
    return GetTickCount() - start;
}

DWORD LightScreen(const TRect& R, TCanvas* Canvas, int Value) {
    const DWORD start = GetTickCount();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetWidth(Extent(R.Left, R.Right));
    bitmap->SetHeight(Extent(R.Top, R.Bottom));
    bitmap->SetPixelFormat(pf24bit);
    const int bytesPerPixel = GetPixelForByteSize(bitmap->PixelFormat());
    const TRect whole(0, 0, bitmap->Width(), bitmap->Height());
    bitmap->Canvas()->CopyRect(whole, Canvas, R);
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap->Width()) * bytesPerPixel;
    for (int y = 0; y < bitmap->Height(); ++y) {
        auto* row = static_cast<std::uint8_t*>(bitmap->ScanLine(y));
        for (std::size_t i = 0; i < rowBytes; ++i) {
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
    bitmap->SetWidth(Extent(R.Left, R.Right));
    bitmap->SetHeight(Extent(R.Top, R.Bottom));
    // An empty bitmap takes no tile. The steps are counted in 64 bits, so that the last one,
    // past the bitmap's edge, cannot overflow.
    if (!bitmap->Empty())
        for (long long x = 0; x <= bitmap->Width(); x += Tile->Width())
            for (long long y = 0; y <= bitmap->Height(); y += Tile->Height())
                bitmap->Canvas()->Draw(static_cast<int>(x), static_cast<int>(y), Tile);
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
