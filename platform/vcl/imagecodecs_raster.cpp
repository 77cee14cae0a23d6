#include "vcl/imagecodecs_raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "vcl/imagecodecs_detail.h"
#include "vcl/imagecodecs_text.h"

namespace imagecodecs_detail {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t kRgb = 0x00FFFFFFu;

// Raster operations of block transfers (the high word names the operation).
constexpr std::uint32_t SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                        SRCINVERT = 0x00660046, NOTSRCCOPY = 0x00330008, PATCOPY = 0x00F00021,
                        PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042,
                        WHITENESS = 0x00FF0062;

int Mod(int v, int m) { return ((v % m) + m) % m; }

}  // namespace

bool TFill::At(int x, int y, std::uint32_t& out) const {
    switch (kind) {
        case None: return false;
        case Solid: out = colour; return true;
        case Pattern:
            if (!pattern || pattern->Width <= 0 || pattern->Height <= 0) return false;
            out = pattern->Pixel(Mod(x, pattern->Width), Mod(y, pattern->Height));
            return true;
        case Hatch: {
            const int hx = Mod(x, 8), hy = Mod(y, 8);
            const bool horizontal = hy == 3, vertical = hx == 3, down = hx == hy, up = hx + hy == 7;
            bool line = false;
            switch (hatch) {
                case 0: line = horizontal; break;
                case 1: line = vertical; break;
                case 2: line = down; break;
                case 3: line = up; break;
                case 4: line = horizontal || vertical; break;
                default: line = down || up; break;
            }
            if (line) { out = colour; return true; }
            if (!opaqueBackground) return false;
            out = background;
            return true;
        }
    }
    return false;
}

TRaster::TRaster(TDecodedImage& target) : image_(target) { ResetClip(); }

void TRaster::ResetClip() {
    clipLeft_ = clipTop_ = 0;
    clipRight_ = image_.Width;
    clipBottom_ = image_.Height;
}

void TRaster::IntersectClip(double left, double top, double right, double bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    clipLeft_ = std::max(clipLeft_, ClampToInt(std::ceil(left - 0.5), 0, image_.Width));
    clipTop_ = std::max(clipTop_, ClampToInt(std::ceil(top - 0.5), 0, image_.Height));
    clipRight_ = std::min(clipRight_, ClampToInt(std::ceil(right - 0.5), 0, image_.Width));
    clipBottom_ = std::min(clipBottom_, ClampToInt(std::ceil(bottom - 0.5), 0, image_.Height));
}

void TRaster::Plot(int x, int y, std::uint32_t colour) {
    if (x >= clipLeft_ && x < clipRight_ && y >= clipTop_ && y < clipBottom_) Write(x, y, colour);
}

void TRaster::Fill(const std::vector<TRing>& rings, bool winding, const TFill& fill) {
    if (fill.kind == TFill::None || Exhausted()) return;
    struct Edge { TPointD a, b; };
    std::vector<Edge> edges;
    double top = INFINITY, bottom = -INFINITY;
    for (const TRing& ring : rings) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const TPointD a = ring[i], b = ring[(i + 1) % ring.size()];
            if (a.y == b.y || !std::isfinite(a.x + a.y + b.x + b.y)) continue;
            edges.push_back({a, b});
            top = std::min({top, a.y, b.y});
            bottom = std::max({bottom, a.y, b.y});
        }
    }
    if (edges.empty()) return;

    // Rows whose centre lies in [top, bottom); within a row, spans between crossings.
    const int firstRow = std::max(clipTop_, ClampToInt(std::ceil(top - 0.5), clipTop_, clipBottom_));
    const int endRow = std::min(clipBottom_, ClampToInt(std::ceil(bottom - 0.5), clipTop_, clipBottom_));
    std::vector<std::pair<double, int>> crossings;
    for (int y = firstRow; y < endRow; ++y) {
        work_ += static_cast<std::int64_t>(edges.size());
        if (Exhausted()) return;
        const double yc = y + 0.5;
        crossings.clear();
        for (const Edge& e : edges) {
            if ((e.a.y <= yc && yc < e.b.y) || (e.b.y <= yc && yc < e.a.y))
                crossings.emplace_back(e.a.x + (yc - e.a.y) * (e.b.x - e.a.x) / (e.b.y - e.a.y), e.b.y > e.a.y ? 1 : -1);
        }
        work_ += static_cast<std::int64_t>(crossings.size()) * 16;  // sorting them costs more than finding them
        std::sort(crossings.begin(), crossings.end());
        int inside = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            inside = winding ? inside + crossings[i].second : inside ^ 1;
            if (inside == 0) continue;
            const int from = ClampToInt(std::ceil(crossings[i].first - 0.5), clipLeft_, clipRight_);
            const int to = ClampToInt(std::ceil(crossings[i + 1].first - 0.5), clipLeft_, clipRight_);
            work_ += to - from;
            for (int x = from; x < to; ++x) {
                std::uint32_t colour;
                if (fill.At(x, y, colour)) Write(x, y, colour);
            }
        }
    }
}

void TRaster::Line(TPointD a, TPointD b, std::uint32_t colour) {
    // Clip to a little more than the clip rectangle first, so a line across the whole
    // coordinate space costs no more than one across the picture.
    const double lo[2] = {clipLeft_ - 2.0, clipTop_ - 2.0}, hi[2] = {clipRight_ + 2.0, clipBottom_ + 2.0};
    const double p0[2] = {std::floor(a.x + 0.5), std::floor(a.y + 0.5)};
    const double d[2] = {std::floor(b.x + 0.5) - p0[0], std::floor(b.y + 0.5) - p0[1]};
    double t0 = 0, t1 = 1;
    for (int k = 0; k < 2; ++k) {
        if (!std::isfinite(p0[k]) || !std::isfinite(d[k])) return;
        if (d[k] == 0) {
            if (p0[k] < lo[k] || p0[k] > hi[k]) return;
            continue;
        }
        double ta = (lo[k] - p0[k]) / d[k], tb = (hi[k] - p0[k]) / d[k];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
    }
    if (t0 > t1) return;
    const bool cut = t1 < 1;  // the end lies outside: draw up to the cut, the cut included
    auto at = [&](double t, int k) { return ClampToInt(std::floor(p0[k] + t * d[k] + 0.5), static_cast<int>(lo[k]) - 1, static_cast<int>(hi[k]) + 1); };
    const int x0 = at(t0, 0), y0 = at(t0, 1), x1 = at(t1, 0), y1 = at(t1, 1);
    const int dx = x1 - x0, dy = y1 - y0;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    work_ += steps + 1;
    if (steps == 0) {
        if (cut) Plot(x0, y0, colour);
        return;
    }
    for (int i = 0; i < steps + (cut ? 1 : 0); ++i) {
        const int x = x0 + static_cast<int>(std::floor(static_cast<double>(i) * dx / steps + 0.5));
        const int y = y0 + static_cast<int>(std::floor(static_cast<double>(i) * dy / steps + 0.5));
        Plot(x, y, colour);
    }
}

void TRaster::Stroke(const TRing& points, bool closed, double width, std::uint32_t colour) {
    if (points.size() < 2 || Exhausted()) return;
    const std::size_t segments = closed ? points.size() : points.size() - 1;
    if (!(width > 1.5)) {
        for (std::size_t i = 0; i < segments && !Exhausted(); ++i) Line(points[i], points[(i + 1) % points.size()], colour);
        return;
    }
    // A wide pen: a band along each segment and a disc at each point, centred on the pixels.
    TFill pen;
    pen.kind = TFill::Solid;
    pen.colour = colour;
    const double r = width / 2;
    auto centre = [](TPointD p) { return TPointD{p.x + 0.5, p.y + 0.5}; };
    for (std::size_t i = 0; i < segments && !Exhausted(); ++i) {
        const TPointD a = centre(points[i]), b = centre(points[(i + 1) % points.size()]);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (!(length > 0) || !std::isfinite(length)) continue;
        const double nx = -(b.y - a.y) / length * r, ny = (b.x - a.x) / length * r;
        Fill({{{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}}, true, pen);
    }
    const int sides = ClampToInt(r * 4, 8, 64);
    for (std::size_t i = 0; i < points.size() && !Exhausted(); ++i) {
        const TPointD c = centre(points[i]);
        TRing disc;
        for (int k = 0; k < sides; ++k) {
            const double angle = 2 * std::numbers::pi * k / sides;
            disc.push_back({c.x + r * std::cos(angle), c.y + r * std::sin(angle)});
        }
        Fill({disc}, true, pen);
    }
}

void TRaster::Blit(const TDecodedImage* source, int sx, int sy, int sw, int sh, TPointD a, TPointD b,
                   std::uint32_t rop, const TFill& brush) {
    if (Exhausted()) return;
    const bool needsSource = !(rop == PATCOPY || rop == PATINVERT || rop == DSTINVERT || rop == BLACKNESS || rop == WHITENESS);
    if (needsSource && (!source || sw == 0 || sh == 0)) return;
    const int left = ClampToInt(std::ceil(std::min(a.x, b.x) - 0.5), clipLeft_, clipRight_);
    const int right = ClampToInt(std::ceil(std::max(a.x, b.x) - 0.5), clipLeft_, clipRight_);
    const int top = ClampToInt(std::ceil(std::min(a.y, b.y) - 0.5), clipTop_, clipBottom_);
    const int bottom = ClampToInt(std::ceil(std::max(a.y, b.y) - 0.5), clipTop_, clipBottom_);
    work_ += static_cast<std::int64_t>(right - left) * (bottom - top);
    if (Exhausted()) return;
    for (int y = top; y < bottom; ++y) {
        const double v = (y + 0.5 - a.y) / (b.y - a.y);
        const int srcY = ClampToInt(sy + std::floor(v * sh), -1, kMaxPictureSide);
        for (int x = left; x < right; ++x) {
            std::uint32_t& dst = image_.Pixels[static_cast<std::size_t>(y) * image_.Width + x];
            std::uint32_t src = 0, pattern = 0;
            if (needsSource) {
                const int srcX = ClampToInt(sx + std::floor((x + 0.5 - a.x) / (b.x - a.x) * sw), -1, kMaxPictureSide);
                if (srcX < 0 || srcY < 0 || srcX >= source->Width || srcY >= source->Height) continue;
                src = source->Pixel(srcX, srcY);
            }
            // A transparent pixel counts as black when or-ed and as white when and-ed, so the
            // mask-and-image pairs of old metafiles leave the background transparent.
            const bool empty = (dst >> 24) == 0;
            switch (rop) {
                case PATCOPY: if (brush.At(x, y, pattern)) dst = pattern; break;
                case PATINVERT: if (brush.At(x, y, pattern)) dst = kOpaque | (((empty ? 0 : dst) ^ pattern) & kRgb); break;
                case DSTINVERT: if (!empty) dst = kOpaque | (~dst & kRgb); break;
                case BLACKNESS: dst = kOpaque; break;
                case WHITENESS: dst = 0xFFFFFFFFu; break;
                case SRCAND: if ((src & kRgb) != kRgb) dst = kOpaque | (empty ? src : dst & src); break;
                case SRCPAINT: if ((src & kRgb) != 0) dst = kOpaque | (empty ? src : dst | src); break;
                case SRCINVERT: if ((src & kRgb) != 0) dst = kOpaque | (((empty ? 0 : dst) ^ src) & kRgb); break;
                case NOTSRCCOPY: dst = kOpaque | (~src & kRgb); break;
                case SRCCOPY:
                default: dst = src; break;  // the other operations are taken as a copy
            }
        }
    }
}

void TRaster::Text(const TTextFont& font, const TTextRun& run, std::int64_t work) {
    work_ += work;
    if (Exhausted()) return;
    DrawTextRun(image_, font, run, clipLeft_, clipTop_, clipRight_, clipBottom_);
}

}  // namespace imagecodecs_detail
