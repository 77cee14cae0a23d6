// Our own player of Windows metafiles (.wmf, placeable or plain) and enhanced metafiles (.emf):
// the records are read into a small GDI device context (mapping modes, window and viewport,
// world transform, pens, brushes, fonts, paths, clip rectangle) and drawn by the rasteriser.
// Shapes, lines, pixels, device-independent bitmaps and text are drawn.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <optional>

#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/sysutils.h"
#include "vcl/imagecodecs.h"
#include "vcl/imagecodecs_detail.h"
#include "vcl/imagecodecs_raster.h"
#include "vcl/imagecodecs_text.h"

using namespace imagecodecs_detail;

namespace {

[[noreturn]] void Invalid() { throw EInvalidGraphic(SInvalidMetafile); }

constexpr double kScreenPixelsPerMm = 96 / 25.4;

// Mapping modes, background modes, fill modes, pen and brush styles of GDI.
constexpr int MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6,
              MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
constexpr int TRANSPARENT = 1, WINDING = 2;
constexpr int PS_NULL = 5, PS_STYLE_MASK = 0xF, PS_GEOMETRIC = 0x10000;
constexpr int BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5, BS_DIBPATTERNPT = 6;
constexpr std::uint32_t DIB_PAL_COLORS = 1;
// Text alignment and text output options.
constexpr unsigned TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24;
constexpr unsigned ETO_OPAQUE = 2, ETO_CLIPPED = 4, ETO_GLYPH_INDEX = 0x10, ETO_NO_RECT = 0x100,
                   ETO_SMALL_CHARS = 0x200, ETO_PDY = 0x2000;

// A text record draws at most this many characters; each costs this much work besides its pixels.
constexpr std::size_t kMaxTextChars = 8192;
constexpr std::int64_t kWorkPerCharacter = 1024;

std::uint32_t FromColorRef(std::uint32_t c) {
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

struct TPen {
    int style = 0;
    double width = 0;  // logical units; 0 is one pixel
    bool cosmetic = true;
    std::uint32_t colour = 0xFF000000u;
};

struct TBrush {
    int style = BS_SOLID;
    std::uint32_t colour = 0xFFFFFFFFu;
    int hatch = 0;
    std::shared_ptr<const TDecodedImage> pattern;
};

struct TLogFont {
    double height = 0, width = 0;  // logical units; a negative height is the em height
    int escapement = 0;            // tenths of a degree, counter-clockwise
    int weight = 0;
    bool italic = false, underline = false, strikeOut = false;
    std::u16string face = u"System";
};

struct TObject {
    enum Kind { Empty, Pen, Brush, Font, Other } kind = Empty;
    TPen pen;
    TBrush brush;
    TLogFont font;
};

// One text output: its characters with their advances in logical units (none: the font's own),
// the reference point, and the rectangle that the options opaque or clip to.
struct TTextOut {
    TTextChars chars;
    std::vector<double> dx;
    TPointD reference;
    unsigned options = 0;
    bool hasRect = false;
    double rect[4] = {0, 0, 0, 0};  // logical left, top, right, bottom
};

// The characters of 8-bit text (code page 932: one byte, or a double-byte pair whose two
// advances add up) or of UTF-16 text (a surrogate pair is one character), at most kMaxTextChars.
// byteDx holds an advance per byte or code unit, or nothing.
void AddChars(TTextOut& out, Bytes text, bool wide, const std::vector<double>& byteDx) {
    const std::size_t unit = wide ? 2 : 1, units = text.size() / unit;
    for (std::size_t i = 0; i < units && out.chars.size() < kMaxTextChars;) {
        std::size_t len = 1;
        if (wide) {
            const std::uint32_t c = U16(text, 2 * i);
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < units) len = 2;
            std::u16string s;
            for (std::size_t k = 0; k < len; ++k) s += static_cast<char16_t>(U16(text, 2 * (i + k)));
            out.chars.push_back(s);
        } else {
            if (IsDBCSLeadByte(text[i]) && i + 1 < units) len = 2;
            out.chars.push_back(AnsiToUtf16(AnsiString(std::string(text.begin() + i, text.begin() + i + len))));
        }
        if (!byteDx.empty()) out.dx.push_back(byteDx[i] + (len == 2 ? byteDx[i + 1] : 0));
        i += len;
    }
}

// count advances of size bytes, stride bytes apart, from offset at; none when the record
// does not hold them all.
std::vector<double> Advances(Bytes rec, std::size_t at, std::size_t count, std::size_t size, std::size_t stride) {
    std::vector<double> dx;
    if (count == 0 || at > rec.size() || (rec.size() - at) / stride < count) return dx;
    for (std::size_t i = 0; i < count; ++i)
        dx.push_back(size == 2 ? S16(rec, at + i * stride) : S32(rec, at + i * stride));
    return dx;
}

// An affine transform x' = x*m11 + y*m21 + dx, y' = x*m12 + y*m22 + dy.
struct TXform {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    TPointD Apply(TPointD p) const { return {p.x * m11 + p.y * m21 + dx, p.x * m12 + p.y * m22 + dy}; }
    // This transform first, then next.
    TXform Then(const TXform& n) const {
        return {m11 * n.m11 + m12 * n.m21, m11 * n.m12 + m12 * n.m22, m21 * n.m11 + m22 * n.m21,
                m21 * n.m12 + m22 * n.m22, dx * n.m11 + dy * n.m21 + n.dx, dx * n.m12 + dy * n.m22 + n.dy};
    }
};

struct TDc {
    int mapMode = MM_TEXT;
    TPointD windowOrg{0, 0}, windowExt{1, 1}, viewportOrg{0, 0}, viewportExt{1, 1};
    TXform world;
    TPen pen;
    TBrush brush;
    TLogFont font;
    std::uint32_t textColour = 0xFF000000u;
    unsigned textAlign = 0;
    double charExtra = 0;  // logical units
    std::uint32_t background = 0xFFFFFFFFu;
    bool opaqueBackground = true;
    bool winding = false;
    bool clockwise = false;
    TPointD position{0, 0};  // logical
    bool clipped = false;
    double clip[4] = {0, 0, 0, 0};  // output pixels
};

struct TFigure {
    TRing points;  // output pixels
    bool closed = false;
};

enum class TArcKind { Arc, Chord, Pie };

// The device context and the drawing calls that both metafile kinds share.
class TPlayer {
public:
    // device: reference-device pixels to output pixels; pixelsPerMm: of the reference device.
    TPlayer(TDecodedImage& image, TXform device, TPointD pixelsPerMm)
        : raster_(image), device_(device), pixelsPerMm_(pixelsPerMm) {}

    TDc dc;
    std::vector<TObject> objects;
    bool Exhausted() const { return raster_.Exhausted(); }

    // Mapping.
    TPointD PageScale() const {
        const double mmX = pixelsPerMm_.x, mmY = pixelsPerMm_.y;
        switch (dc.mapMode) {
            case MM_LOMETRIC: return {mmX / 10, -mmY / 10};
            case MM_HIMETRIC: return {mmX / 100, -mmY / 100};
            case MM_LOENGLISH: return {mmX * 0.254, -mmY * 0.254};
            case MM_HIENGLISH: return {mmX * 0.0254, -mmY * 0.0254};
            case MM_TWIPS: return {mmX * 25.4 / 1440, -mmY * 25.4 / 1440};
            case MM_ISOTROPIC: case MM_ANISOTROPIC: {
                double sx = dc.viewportExt.x / dc.windowExt.x, sy = dc.viewportExt.y / dc.windowExt.y;
                if (dc.mapMode == MM_ISOTROPIC) {
                    const double m = std::min(std::abs(sx), std::abs(sy));
                    sx = std::copysign(m, sx);
                    sy = std::copysign(m, sy);
                }
                return {sx, sy};
            }
            default: return {1, 1};
        }
    }
    TPointD Map(TPointD logical) const {
        const TPointD w = dc.world.Apply(logical);
        const TPointD s = PageScale();
        return device_.Apply({(w.x - dc.windowOrg.x) * s.x + dc.viewportOrg.x, (w.y - dc.windowOrg.y) * s.y + dc.viewportOrg.y});
    }
    double MapLength(double length) const {
        const TPointD a = Map({0, 0}), b = Map({length, 0}), c = Map({0, length});
        return (std::hypot(b.x - a.x, b.y - a.y) + std::hypot(c.x - a.x, c.y - a.y)) / 2;
    }

    void SetMapMode(int mode) {
        if (mode < MM_TEXT || mode > MM_ANISOTROPIC || mode == dc.mapMode) return;
        const TPointD scale = PageScale();
        dc.mapMode = mode;
        // Into the scaled modes GDI carries the present scale over.
        dc.windowExt = {1, 1};
        dc.viewportExt = scale;
    }
    void SetWindowExt(double x, double y) {
        if (x != 0 && y != 0 && (dc.mapMode == MM_ISOTROPIC || dc.mapMode == MM_ANISOTROPIC)) dc.windowExt = {x, y};
    }
    void SetViewportExt(double x, double y) {
        if (x != 0 && y != 0 && (dc.mapMode == MM_ISOTROPIC || dc.mapMode == MM_ANISOTROPIC)) dc.viewportExt = {x, y};
    }
    void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
        if (xDenom != 0 && yDenom != 0) SetWindowExt(dc.windowExt.x * xNum / xDenom, dc.windowExt.y * yNum / yDenom);
    }
    void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
        if (xDenom != 0 && yDenom != 0) SetViewportExt(dc.viewportExt.x * xNum / xDenom, dc.viewportExt.y * yNum / yDenom);
    }

    // State.
    void SaveDc() {
        if (saved_.size() < 1024) saved_.push_back(dc);
    }
    void RestoreDc(int which) {  // negative: relative to the present one; positive: absolute
        const long long index = which < 0 ? static_cast<long long>(saved_.size()) + which : which - 1;
        if (index < 0 || index >= static_cast<long long>(saved_.size())) return;
        dc = saved_[static_cast<std::size_t>(index)];
        saved_.resize(static_cast<std::size_t>(index));
        ApplyClip();
    }
    void IntersectClip(TPointD a, TPointD b) {
        const TPointD p = Map(a), q = Map(b);
        double rect[4] = {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
        if (dc.clipped) {
            rect[0] = std::max(rect[0], dc.clip[0]);
            rect[1] = std::max(rect[1], dc.clip[1]);
            rect[2] = std::min(rect[2], dc.clip[2]);
            rect[3] = std::min(rect[3], dc.clip[3]);
        }
        std::copy(rect, rect + 4, dc.clip);
        dc.clipped = true;
        ApplyClip();
    }
    void ResetClip() {
        dc.clipped = false;
        ApplyClip();
    }
    void Select(std::size_t index) {
        if (index >= objects.size()) return;
        if (objects[index].kind == TObject::Pen) dc.pen = objects[index].pen;
        if (objects[index].kind == TObject::Brush) dc.brush = objects[index].brush;
        if (objects[index].kind == TObject::Font) dc.font = objects[index].font;
    }
    void SelectStock(std::uint32_t stock) {
        static constexpr std::uint32_t kGreys[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
        if (stock <= 4) dc.brush = {BS_SOLID, 0xFF000000u | kGreys[stock], 0, nullptr};
        if (stock == 5) dc.brush = {BS_NULL, 0, 0, nullptr};
        if (stock == 6 || stock == 7) dc.pen = {0, 0, true, stock == 6 ? 0xFFFFFFFFu : 0xFF000000u};
        if (stock == 8) dc.pen = {PS_NULL, 0, true, 0};
        if (stock == 18) dc.brush = {BS_SOLID, 0xFFFFFFFFu, 0, nullptr};  // DC brush
        if (stock == 19) dc.pen = {0, 0, true, 0xFF000000u};              // DC pen
        if (stock >= 10 && stock <= 17 && stock != 15) dc.font = {};      // the fonts
    }

    // Drawing.
    void MoveTo(TPointD p) {
        dc.position = p;
        if (inPath_) path_.push_back({{Map(p)}, false});
    }
    void LineTo(TPointD p) {
        PolylineTo({p});
    }
    void PolylineTo(const std::vector<TPointD>& points) {
        if (points.empty()) return;
        if (inPath_) {
            if (path_.empty() || path_.back().closed) path_.push_back({{Map(dc.position)}, false});
            for (TPointD p : points) path_.back().points.push_back(Map(p));
        } else {
            TFigure f{{Map(dc.position)}, false};
            for (TPointD p : points) f.points.push_back(Map(p));
            Render({}, {f});
        }
        dc.position = points.back();
    }
    void Polyline(const std::vector<TPointD>& points) {
        if (points.size() < 2) return;
        Render({}, {Figure(points, false)});
    }
    void PolyPolygon(const std::vector<std::vector<TPointD>>& polygons) {
        std::vector<TFigure> figures;
        for (const auto& polygon : polygons)
            if (polygon.size() >= 2) figures.push_back(Figure(polygon, true));
        Render(figures, figures);
    }
    void Rectangle(double l, double t, double r, double b) {
        const TFigure box = Figure({{l, t}, {r, t}, {r, b}, {l, b}}, true);
        Render({box}, {Inset(box)});
    }
    void RoundRect(double l, double t, double r, double b, double w, double h) {
        const double rx = std::min(std::abs(w), std::abs(r - l)) / 2, ry = std::min(std::abs(h), std::abs(b - t)) / 2;
        const double x0 = std::min(l, r) + rx, x1 = std::max(l, r) - rx, y0 = std::min(t, b) + ry, y1 = std::max(t, b) - ry;
        std::vector<TPointD> points;
        const double pi = std::numbers::pi;
        AppendArc(points, x1, y0, rx, ry, 0, pi / 2);
        AppendArc(points, x0, y0, rx, ry, pi / 2, pi);
        AppendArc(points, x0, y1, rx, ry, pi, 1.5 * pi);
        AppendArc(points, x1, y1, rx, ry, 1.5 * pi, 2 * pi);
        const TFigure f = Figure(points, true);
        Render({f}, {Inset(f)});
    }
    void Ellipse(double l, double t, double r, double b) {
        std::vector<TPointD> points;
        AppendArc(points, (l + r) / 2, (t + b) / 2, std::abs(r - l) / 2, std::abs(b - t) / 2, 0, 2 * std::numbers::pi);
        const TFigure f = Figure(points, true);
        Render({f}, {Inset(f)});
    }
    void Arc(TArcKind kind, double l, double t, double r, double b, TPointD start, TPointD end) {
        const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::abs(r - l) / 2, ry = std::abs(b - t) / 2;
        if (rx == 0 || ry == 0) return;
        // Angles measured counter-clockwise on the screen (y grows downwards).
        auto angle = [&](TPointD p) { return std::atan2(-(p.y - cy) / ry, (p.x - cx) / rx); };
        double a0 = angle(start), a1 = angle(end);
        if (dc.clockwise) std::swap(a0, a1);
        while (a1 <= a0) a1 += 2 * std::numbers::pi;
        std::vector<TPointD> points;
        AppendArc(points, cx, cy, rx, ry, a0, a1);
        if (dc.clockwise) std::reverse(points.begin(), points.end());
        if (kind == TArcKind::Pie) points.push_back({cx, cy});
        const TFigure f = Figure(points, kind != TArcKind::Arc);
        if (kind == TArcKind::Arc) Render({}, {f});
        else Render({f}, {f});
    }
    // Cubic Bézier curves from the current position (to) or from the first point.
    std::vector<TPointD> Flatten(TPointD from, const std::vector<TPointD>& controls) const {
        std::vector<TPointD> out;
        for (std::size_t i = 0; i + 2 < controls.size(); i += 3) {
            const TPointD p0 = from, p1 = controls[i], p2 = controls[i + 1], p3 = controls[i + 2];
            const TPointD q0 = Map(p0), q3 = Map(p3);
            const int steps = ClampToInt(std::hypot(q3.x - q0.x, q3.y - q0.y) / 2, 4, 64);
            for (int k = 1; k <= steps; ++k) {
                const double s = static_cast<double>(k) / steps, u = 1 - s;
                out.push_back({u * u * u * p0.x + 3 * u * u * s * p1.x + 3 * u * s * s * p2.x + s * s * s * p3.x,
                               u * u * u * p0.y + 3 * u * u * s * p1.y + 3 * u * s * s * p2.y + s * s * s * p3.y});
            }
            from = p3;
        }
        return out;
    }
    void SetPixel(TPointD p, std::uint32_t colour) {
        const TPointD q = Map(p);
        raster_.Plot(ClampToInt(std::floor(q.x + 0.5), -1, kMaxPictureSide), ClampToInt(std::floor(q.y + 0.5), -1, kMaxPictureSide), colour);
    }
    // A block transfer onto the logical rectangle (x, y, w, h).
    void Blit(const TDecodedImage* source, int sx, int sy, int sw, int sh, double x, double y, double w, double h,
              std::uint32_t rop) {
        raster_.Blit(source, sx, sy, sw, sh, Map({x, y}), Map({x + w, y + h}), rop, BrushFill());
    }

    // Text at its reference point, or at the current position (which it then moves on).
    void Text(const TTextOut& t) {
        if (inPath_) return;  // text outlines are not taken into paths
        if (t.hasRect && (t.options & ETO_OPAQUE))
            FillBox(Figure({{t.rect[0], t.rect[1]}, {t.rect[2], t.rect[1]}, {t.rect[2], t.rect[3]}, {t.rect[0], t.rect[3]}}, true).points);
        if (t.chars.empty() || (t.options & ETO_GLYPH_INDEX)) return;  // glyph numbers name no characters
        const std::optional<TTextFont> font = OutputFont();
        if (!font) return;
        const TTextMetrics metrics = MeasureText(*font, t.chars);
        const TPointD scale = AxisScale();
        TTextRun run;
        run.chars = t.chars;
        run.colour = dc.textColour;
        run.angle = dc.font.escapement / 10.0;
        const double cell = metrics.ascent + metrics.descent, pixels = static_cast<double>(raster_.Pixels());
        double work = 0;
        for (std::size_t i = 0; i < t.chars.size(); ++i) {
            run.positions.push_back(run.width);
            const double advance = t.dx.empty() ? metrics.advances[i] + dc.charExtra * scale.x : t.dx[i] * scale.x;
            run.width += advance;
            work += kWorkPerCharacter + std::min(cell * std::max(std::abs(advance), cell), pixels);
        }

        // The alignment places the reference point on the run's left, centre or right, and on
        // its top, baseline or bottom, along the escapement.
        const double angle = run.angle * std::numbers::pi / 180;
        const TPointD along{std::cos(angle), -std::sin(angle)}, down{std::sin(angle), std::cos(angle)};
        const bool updateCp = dc.textAlign & TA_UPDATECP;
        const TPointD reference = Map(updateCp ? dc.position : t.reference);
        const unsigned horizontal = dc.textAlign & TA_CENTER, vertical = dc.textAlign & TA_BASELINE;
        const double x = horizontal == TA_RIGHT ? -run.width : horizontal == TA_CENTER ? -run.width / 2 : 0;
        const double y = vertical == TA_BASELINE ? 0 : vertical == TA_BOTTOM ? -metrics.descent : metrics.ascent;
        auto at = [&](double a, double d) { return TPointD{reference.x + along.x * (x + a) + down.x * (y + d),
                                                           reference.y + along.y * (x + a) + down.y * (y + d)}; };
        run.origin = at(0, 0);
        if (updateCp) {  // on past the run: leftwards for right-aligned text, not at all for centred
            const double move = horizontal == TA_RIGHT ? -run.width : horizontal == TA_CENTER ? 0 : run.width;
            dc.position = Unmap({reference.x + along.x * move, reference.y + along.y * move});
        }

        if (t.hasRect && (t.options & ETO_CLIPPED)) {
            const TPointD a = Map({t.rect[0], t.rect[1]}), b = Map({t.rect[2], t.rect[3]});
            raster_.IntersectClip(a.x, a.y, b.x, b.y);
        }
        if (dc.opaqueBackground)  // the characters' cells
            FillBox({at(0, -metrics.ascent), at(run.width, -metrics.ascent), at(run.width, metrics.descent), at(0, metrics.descent)});
        raster_.Text(*font, run, static_cast<std::int64_t>(std::min(work, 1e18)));
        ApplyClip();
    }

    // Paths.
    void BeginPath() { path_.clear(); inPath_ = true; }
    void EndPath() { inPath_ = false; }
    void AbortPath() { path_.clear(); inPath_ = false; }
    void CloseFigure() {
        if (inPath_ && !path_.empty()) path_.back().closed = true;
    }
    void DrawPath(bool fill, bool stroke) {
        if (inPath_) return;
        Render(fill ? path_ : std::vector<TFigure>{}, stroke ? path_ : std::vector<TFigure>{});
        path_.clear();
    }

private:
    // Output pixels per logical unit along each axis.
    TPointD AxisScale() const {
        const TPointD o = Map({0, 0}), x = Map({1, 0}), y = Map({0, 1});
        return {std::hypot(x.x - o.x, x.y - o.y), std::hypot(y.x - o.x, y.y - o.y)};
    }
    // The logical point that maps to the output point q.
    TPointD Unmap(TPointD q) const {
        const TPointD o = Map({0, 0}), x = Map({1, 0}), y = Map({0, 1});
        const double ax = x.x - o.x, ay = x.y - o.y, bx = y.x - o.x, by = y.y - o.y, det = ax * by - bx * ay;
        if (det == 0 || !std::isfinite(det)) return dc.position;
        const double dx = q.x - o.x, dy = q.y - o.y;
        return {(dx * by - bx * dy) / det, (ax * dy - ay * dx) / det};
    }
    // The selected font in output pixels; none for a font beyond any picture.
    std::optional<TTextFont> OutputFont() const {
        const TPointD scale = AxisScale();
        const double height = dc.font.height * scale.y, width = std::abs(dc.font.width) * scale.x;
        if (!(std::abs(height) <= kMaxPictureSide) || !(width <= kMaxPictureSide)) return std::nullopt;
        TTextFont f;
        f.face = dc.font.face;
        const int rounded = static_cast<int>(std::lround(height));
        f.height = height == 0 ? 0 : rounded != 0 ? rounded : height < 0 ? -1 : 1;
        f.width = width == 0 ? 0 : std::max(1, static_cast<int>(std::lround(width)));
        f.weight = dc.font.weight;
        f.italic = dc.font.italic;
        f.underline = dc.font.underline;
        f.strikeOut = dc.font.strikeOut;
        return f;
    }
    // Fills an area with the background colour, as opaque text does.
    void FillBox(const TRing& box) {
        TFill fill;
        fill.kind = TFill::Solid;
        fill.colour = dc.background;
        raster_.Fill({box}, false, fill);
    }
    TFigure Figure(const std::vector<TPointD>& points, bool closed) const {
        TFigure f;
        f.closed = closed;
        for (TPointD p : points) f.points.push_back(Map(p));
        return f;
    }
    // A frame is drawn one pixel inside the right and bottom edges of the area it encloses.
    static TFigure Inset(TFigure f) {
        double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
        for (TPointD p : f.points) {
            minX = std::min(minX, p.x); maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y); maxY = std::max(maxY, p.y);
        }
        const double sx = maxX - minX > 1 ? (maxX - minX - 1) / (maxX - minX) : 1;
        const double sy = maxY - minY > 1 ? (maxY - minY - 1) / (maxY - minY) : 1;
        for (TPointD& p : f.points) p = {minX + (p.x - minX) * sx, minY + (p.y - minY) * sy};
        return f;
    }
    // Points of an elliptic arc from angle a0 to a1 (counter-clockwise on the screen).
    void AppendArc(std::vector<TPointD>& points, double cx, double cy, double rx, double ry, double a0, double a1) const {
        const double size = MapLength(rx) + MapLength(ry);
        const int steps = ClampToInt(size * (a1 - a0) / 2, 4, 2048);
        for (int k = 0; k <= steps; ++k) {
            const double a = a0 + (a1 - a0) * k / steps;
            points.push_back({cx + rx * std::cos(a), cy - ry * std::sin(a)});
        }
    }
    TFill BrushFill() const {
        TFill f;
        switch (dc.brush.style) {
            case BS_SOLID: f.kind = TFill::Solid; break;
            case BS_HATCHED: f.kind = TFill::Hatch; break;
            case BS_DIBPATTERN: case BS_DIBPATTERNPT: case BS_PATTERN:
                f.kind = dc.brush.pattern ? TFill::Pattern : TFill::None;
                break;
            default: f.kind = TFill::None; break;
        }
        f.colour = dc.brush.colour;
        f.hatch = dc.brush.hatch;
        f.background = dc.background;
        f.opaqueBackground = dc.opaqueBackground;
        f.pattern = dc.brush.pattern;
        return f;
    }
    void Render(const std::vector<TFigure>& fill, const std::vector<TFigure>& stroke) {
        if (inPath_) {
            const std::vector<TFigure>& shape = fill.empty() ? stroke : fill;
            path_.insert(path_.end(), shape.begin(), shape.end());
            return;
        }
        if (!fill.empty()) {
            std::vector<TRing> rings;
            for (const TFigure& f : fill) rings.push_back(f.points);
            raster_.Fill(rings, dc.winding, BrushFill());
        }
        if ((dc.pen.style & PS_STYLE_MASK) == PS_NULL) return;
        const double width = dc.pen.cosmetic || dc.pen.width == 0 ? 1 : MapLength(dc.pen.width);
        for (const TFigure& f : stroke) raster_.Stroke(f.points, f.closed, width, dc.pen.colour);
    }
    void ApplyClip() {
        raster_.ResetClip();
        if (dc.clipped) raster_.IntersectClip(dc.clip[0], dc.clip[1], dc.clip[2], dc.clip[3]);
    }

    TRaster raster_;
    TXform device_;
    TPointD pixelsPerMm_;
    std::vector<TDc> saved_;
    bool inPath_ = false;
    std::vector<TFigure> path_;
};

// The picture's size in pixels: its own, or widthHint wide, then shrunk into the limits.
void SizeImage(TDecodedImage& image, double naturalWidth, double naturalHeight, int widthHint) {
    double w = std::max(naturalWidth, 1.0), h = std::max(naturalHeight, 1.0);
    if (widthHint > 0) {
        h = h * widthHint / w;
        w = widthHint;
    }
    const double shrink = std::min({1.0, kMaxPictureSide / w, kMaxPictureSide / h,
                                    std::sqrt(static_cast<double>(kMaxPicturePixels) / (w * h))});
    image.Width = std::clamp(static_cast<int>(std::lround(w * shrink)), 1, kMaxPictureSide);
    image.Height = std::clamp(static_cast<int>(std::lround(h * shrink)), 1, kMaxPictureSide);
    // Rounding up both sides can pass the pixel limit by a row or column: give it back.
    while (std::int64_t{image.Width} * image.Height > kMaxPicturePixels)
        --(image.Width > image.Height ? image.Width : image.Height);
    image.Pixels.assign(static_cast<std::size_t>(image.Width) * image.Height, 0);
}

// The top row of a source rectangle whose rows StretchDIBits counts from the bottom.
int FromBottom(const TDecodedImage& image, int y, int height) {
    return ClampToInt(static_cast<double>(image.Height) - y - height, -kMaxPictureSide, kMaxPictureSide);
}

std::shared_ptr<const TDecodedImage> PatternImage(Bytes info, Bytes bits) {
    std::optional<TDecodedImage> image = DecodeDib(info, bits, TDibUse::Bitmap);
    return image ? std::make_shared<const TDecodedImage>(std::move(*image)) : nullptr;
}

// --- Windows metafiles -------------------------------------------------------------------------

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;

void PlayWmfRecord(TPlayer& player, Bytes rec, std::uint32_t function) {
    TDc& dc = player.dc;
    const std::size_t words = (rec.size() - 6) / 2;  // parameter words
    auto P = [&](std::size_t i) { return static_cast<double>(S16(rec, 6 + 2 * i)); };
    auto U = [&](std::size_t i) { return static_cast<std::size_t>(U16(rec, 6 + 2 * i)); };
    auto points = [&](std::size_t firstWord, std::size_t count) {
        std::vector<TPointD> out;
        for (std::size_t i = 0; i < count; ++i) out.push_back({P(firstWord + 2 * i), P(firstWord + 2 * i + 1)});
        return out;
    };
    auto addObject = [&](TObject object) {
        for (TObject& slot : player.objects)
            if (slot.kind == TObject::Empty) { slot = std::move(object); return; }
    };
    auto dib = [&](std::size_t offset) -> std::optional<TDecodedImage> {
        return DecodeDib(Slice(rec, offset), {}, TDibUse::Bitmap);
    };

    switch (function) {
        case 0x0201: dc.background = FromColorRef(U32(rec, 6)); break;                 // SETBKCOLOR
        case 0x0102: dc.opaqueBackground = P(0) != TRANSPARENT; break;                 // SETBKMODE
        case 0x0103: player.SetMapMode(static_cast<int>(P(0))); break;                 // SETMAPMODE
        case 0x0106: dc.winding = P(0) == WINDING; break;                              // SETPOLYFILLMODE
        case 0x020B: dc.windowOrg = {P(1), P(0)}; break;                               // SETWINDOWORG
        case 0x020C: player.SetWindowExt(P(1), P(0)); break;                           // SETWINDOWEXT
        case 0x020D: dc.viewportOrg = {P(1), P(0)}; break;                             // SETVIEWPORTORG
        case 0x020E: player.SetViewportExt(P(1), P(0)); break;                         // SETVIEWPORTEXT
        case 0x020F: dc.windowOrg = {dc.windowOrg.x + P(1), dc.windowOrg.y + P(0)}; break;        // OFFSETWINDOWORG
        case 0x0211: dc.viewportOrg = {dc.viewportOrg.x + P(1), dc.viewportOrg.y + P(0)}; break;  // OFFSETVIEWPORTORG
        case 0x0410: player.ScaleWindowExt(P(3), P(2), P(1), P(0)); break;             // SCALEWINDOWEXT
        case 0x0412: player.ScaleViewportExt(P(3), P(2), P(1), P(0)); break;           // SCALEVIEWPORTEXT
        case 0x001E: player.SaveDc(); break;                                           // SAVEDC
        case 0x0127: player.RestoreDc(static_cast<int>(P(0))); break;                  // RESTOREDC
        case 0x0416: player.IntersectClip({P(3), P(2)}, {P(1), P(0)}); break;          // INTERSECTCLIPRECT
        case 0x0214: player.MoveTo({P(1), P(0)}); break;                               // MOVETO
        case 0x0213: player.LineTo({P(1), P(0)}); break;                               // LINETO
        case 0x041B: player.Rectangle(P(3), P(2), P(1), P(0)); break;                  // RECTANGLE
        case 0x0418: player.Ellipse(P(3), P(2), P(1), P(0)); break;                    // ELLIPSE
        case 0x061C: player.RoundRect(P(5), P(4), P(3), P(2), P(1), P(0)); break;      // ROUNDRECT
        case 0x0817: case 0x0830: case 0x081A:                                         // ARC, CHORD, PIE
            player.Arc(function == 0x0817 ? TArcKind::Arc : function == 0x0830 ? TArcKind::Chord : TArcKind::Pie,
                       P(7), P(6), P(5), P(4), {P(3), P(2)}, {P(1), P(0)});
            break;
        case 0x041F: player.SetPixel({P(3), P(2)}, FromColorRef(U32(rec, 6))); break;  // SETPIXEL
        case 0x0324: case 0x0325: {                                                    // POLYGON, POLYLINE
            const std::size_t count = words >= 1 ? std::min(U(0), (words - 1) / 2) : 0;
            if (function == 0x0324) player.PolyPolygon({points(1, count)});
            else player.Polyline(points(1, count));
            break;
        }
        case 0x0538: {                                                                 // POLYPOLYGON
            const std::size_t polygons = words >= 1 ? std::min(U(0), words - 1) : 0;
            std::size_t at = 1 + polygons;
            std::vector<std::vector<TPointD>> rings;
            for (std::size_t i = 0; i < polygons; ++i) {
                const std::size_t count = U(1 + i);
                if (at + 2 * count > words) break;
                rings.push_back(points(at, count));
                at += 2 * count;
            }
            player.PolyPolygon(rings);
            break;
        }
        case 0x02FA: {                                                                 // CREATEPENINDIRECT
            TObject o;
            o.kind = TObject::Pen;
            o.pen = {static_cast<int>(U(0)), P(1), false, FromColorRef(U32(rec, 12))};
            addObject(o);
            break;
        }
        case 0x02FC: {                                                                 // CREATEBRUSHINDIRECT
            TObject o;
            o.kind = TObject::Brush;
            o.brush = {static_cast<int>(U(0)), FromColorRef(U32(rec, 8)), static_cast<int>(U(3)), nullptr};
            addObject(o);
            break;
        }
        case 0x0142: {                                                                 // DIBCREATEPATTERNBRUSH
            TObject o;
            o.kind = TObject::Brush;
            o.brush.style = BS_DIBPATTERNPT;
            if (U(1) != DIB_PAL_COLORS) o.brush.pattern = PatternImage(Slice(rec, 10), {});
            addObject(o);
            break;
        }
        case 0x01F9: {                                                                 // CREATEPATTERNBRUSH (device bitmap)
            TObject o;
            o.kind = TObject::Brush;
            o.brush.style = BS_NULL;
            addObject(o);
            break;
        }
        case 0x02FB: {                                                                 // CREATEFONTINDIRECT
            TObject o;
            o.kind = TObject::Font;
            o.font = {P(0), P(1), static_cast<int>(P(2)), static_cast<int>(P(4)), U8(rec, 16) != 0, U8(rec, 17) != 0,
                      U8(rec, 18) != 0, {}};
            const Bytes face = Slice(rec, 24, 32);  // code page 932, ended by a zero byte
            o.font.face = AnsiToUtf16(AnsiString(std::string(face.begin(), std::find(face.begin(), face.end(), 0))));
            addObject(o);
            break;
        }
        case 0x00F7: case 0x06FF: addObject({TObject::Other, {}, {}, {}}); break;     // palette, region
        case 0x0209: dc.textColour = FromColorRef(U32(rec, 6)); break;                 // SETTEXTCOLOR
        case 0x012E: dc.textAlign = U(0); break;                                       // SETTEXTALIGN
        case 0x0108: dc.charExtra = P(0); break;                                       // SETTEXTCHAREXTRA
        case 0x0521: {                                                                 // TEXTOUT
            const std::size_t length = U(0), at = 8 + (length + 1) / 2 * 2;
            if (at + 4 > rec.size()) break;
            TTextOut t;
            t.reference = {static_cast<double>(S16(rec, at + 2)), static_cast<double>(S16(rec, at))};
            AddChars(t, Slice(rec, 8, length), false, {});
            player.Text(t);
            break;
        }
        case 0x0A32: {                                                                 // EXTTEXTOUT
            TTextOut t;
            t.reference = {P(1), P(0)};
            t.options = U(3);
            std::size_t at = 14;
            if (t.options & (ETO_OPAQUE | ETO_CLIPPED)) {
                t.hasRect = true;
                for (int i = 0; i < 4; ++i) t.rect[i] = P(4 + i);
                at += 8;
            }
            const std::size_t length = std::min(U(2), 2 * kMaxTextChars);
            if (at + length > rec.size()) break;
            AddChars(t, Slice(rec, at, length), false, Advances(rec, at + (U(2) + 1) / 2 * 2, length, 2, 2));
            player.Text(t);
            break;
        }
        case 0x012D: player.Select(U(0)); break;                                       // SELECTOBJECT
        case 0x01F0:                                                                   // DELETEOBJECT
            if (U(0) < player.objects.size()) player.objects[U(0)] = TObject{};
            break;
        case 0x061D:                                                                   // PATBLT
            player.Blit(nullptr, 0, 0, 0, 0, P(5), P(4), P(3), P(2), U32(rec, 6));
            break;
        case 0x0940: {                                                                 // DIBBITBLT
            if (words == 9) { player.Blit(nullptr, 0, 0, 0, 0, P(8), P(7), P(6), P(5), U32(rec, 6)); break; }
            const std::optional<TDecodedImage> image = dib(22);
            if (image) player.Blit(&*image, static_cast<int>(P(3)), static_cast<int>(P(2)), static_cast<int>(P(5)),
                                   static_cast<int>(P(4)), P(7), P(6), P(5), P(4), U32(rec, 6));
            break;
        }
        case 0x0B41: {                                                                 // DIBSTRETCHBLT
            if (words == 11) { player.Blit(nullptr, 0, 0, 0, 0, P(10), P(9), P(8), P(7), U32(rec, 6)); break; }
            const std::optional<TDecodedImage> image = dib(26);
            if (image) player.Blit(&*image, static_cast<int>(P(5)), static_cast<int>(P(4)), static_cast<int>(P(3)),
                                   static_cast<int>(P(2)), P(9), P(8), P(7), P(6), U32(rec, 6));
            break;
        }
        case 0x0F43: {                                                                 // STRETCHDIB
            if (U(2) == DIB_PAL_COLORS) break;
            const std::optional<TDecodedImage> image = dib(28);
            if (!image) break;
            const int sh = static_cast<int>(P(3)), sy = FromBottom(*image, static_cast<int>(P(5)), sh);
            player.Blit(&*image, static_cast<int>(P(6)), sy, static_cast<int>(P(4)), sh, P(10), P(9), P(8), P(7), U32(rec, 6));
            break;
        }
        default: break;  // regions, palettes, escapes: not drawn
    }
}

// Size of a plain metafile: its first window extent.
std::optional<TPointD> PlainWindowExtent(Bytes records) {
    for (std::size_t at = 0; at + 6 <= records.size();) {
        const std::uint64_t size = std::uint64_t{U32(records, at)} * 2;
        if (size < 6 || size > records.size() - at) break;
        if (U16(records, at + 4) == 0x020C && size >= 10) {
            const double y = S16(records, at + 6), x = S16(records, at + 8);
            if (x != 0 && y != 0) return TPointD{x, y};
        }
        if (U16(records, at + 4) == 0) break;
        at += size;
    }
    return std::nullopt;
}

TDecodedImage DecodeWmf(Bytes bytes, int widthHint) {
    const bool placeable = U32(bytes, 0) == kPlaceableKey;
    const std::size_t start = placeable ? 22 : 0;
    if (bytes.size() < start + 18) Invalid();
    const Bytes file = Slice(bytes, start);
    const std::uint32_t type = U16(file, 0), headerWords = U16(file, 2), version = U16(file, 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300)) Invalid();
    const std::uint64_t length = std::uint64_t{U32(file, 6)} * 2;
    if (length > file.size()) Invalid();  // cut off
    const Bytes records = Slice(file, 18, length >= 18 ? length - 18 : SIZE_MAX);

    TPointD origin{0, 0}, extent;
    double naturalWidth, naturalHeight;
    if (placeable) {
        const double left = S16(bytes, 6), top = S16(bytes, 8), right = S16(bytes, 10), bottom = S16(bytes, 12);
        const double inch = U16(bytes, 14);
        if (inch == 0 || left == right || top == bottom) Invalid();
        origin = {left, top};
        extent = {right - left, bottom - top};
        naturalWidth = std::abs(extent.x) * 96 / inch;
        naturalHeight = std::abs(extent.y) * 96 / inch;
    } else {
        const std::optional<TPointD> window = PlainWindowExtent(records);
        if (!window) Invalid();  // nothing gives the picture a size
        extent = *window;
        naturalWidth = std::abs(extent.x);
        naturalHeight = std::abs(extent.y);
    }

    TDecodedImage image;
    SizeImage(image, naturalWidth, naturalHeight, widthHint);
    // The player maps the picture's frame onto the image, as a picture's viewport does.
    const double scale = image.Width / std::max(naturalWidth, 1.0);
    TPlayer player(image, TXform{}, {kScreenPixelsPerMm * scale, kScreenPixelsPerMm * scale});
    player.dc.mapMode = MM_ANISOTROPIC;
    player.dc.windowOrg = origin;
    player.dc.windowExt = extent;
    player.dc.viewportExt = {static_cast<double>(image.Width), static_cast<double>(image.Height)};
    player.objects.resize(U16(file, 10));

    for (std::size_t at = 0; at + 6 <= records.size() && !player.Exhausted();) {
        const std::uint64_t size = std::uint64_t{U32(records, at)} * 2;
        if (size < 6 || size > records.size() - at) break;
        const std::uint32_t function = U16(records, at + 4);
        if (function == 0) break;  // EOF
        PlayWmfRecord(player, Slice(records, at, size), function);
        at += size;
    }
    return image;
}

// --- Enhanced metafiles ------------------------------------------------------------------------

constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"

void PlayEmfRecord(TPlayer& player, Bytes rec, std::uint32_t type) {
    TDc& dc = player.dc;
    auto L = [&](std::size_t at) { return static_cast<double>(S32(rec, at)); };
    auto point = [&](std::size_t at) { return TPointD{L(at), L(at + 4)}; };
    // count points of 32 or 16 bits from offset at, as many as the record holds.
    auto points = [&](std::size_t at, std::size_t count, bool small) {
        const std::size_t size = small ? 4 : 8;
        count = std::min<std::size_t>(count, at < rec.size() ? (rec.size() - at) / size : 0);
        std::vector<TPointD> out;
        for (std::size_t i = 0; i < count; ++i)
            out.push_back(small ? TPointD{static_cast<double>(S16(rec, at + 4 * i)), static_cast<double>(S16(rec, at + 4 * i + 2))}
                                : point(at + 8 * i));
        return out;
    };
    auto object = [&](std::size_t at) -> TObject* {
        const std::uint32_t index = U32(rec, at);
        return index < player.objects.size() ? &player.objects[index] : nullptr;
    };
    auto dib = [&](std::size_t offBmi, std::size_t offBits) -> std::optional<TDecodedImage> {
        const std::uint32_t bmi = U32(rec, offBmi), cbBmi = U32(rec, offBmi + 4);
        const std::uint32_t bits = U32(rec, offBits), cbBits = U32(rec, offBits + 4);
        if (cbBmi == 0 || bmi >= rec.size() || bits >= rec.size()) return std::nullopt;
        return DecodeDib(Slice(rec, bmi, cbBmi), Slice(rec, bits, cbBits), TDibUse::Bitmap);
    };

    switch (type) {
        case 9: player.SetWindowExt(L(8), L(12)); break;                                // SETWINDOWEXTEX
        case 10: dc.windowOrg = point(8); break;                                        // SETWINDOWORGEX
        case 11: player.SetViewportExt(L(8), L(12)); break;                             // SETVIEWPORTEXTEX
        case 12: dc.viewportOrg = point(8); break;                                      // SETVIEWPORTORGEX
        case 17: player.SetMapMode(static_cast<int>(L(8))); break;                      // SETMAPMODE
        case 18: dc.opaqueBackground = L(8) != TRANSPARENT; break;                      // SETBKMODE
        case 19: dc.winding = L(8) == WINDING; break;                                   // SETPOLYFILLMODE
        case 25: dc.background = FromColorRef(U32(rec, 8)); break;                      // SETBKCOLOR
        case 57: dc.clockwise = L(8) == 2; break;                                       // SETARCDIRECTION
        case 31: player.ScaleViewportExt(L(8), L(12), L(16), L(20)); break;             // SCALEVIEWPORTEXTEX
        case 32: player.ScaleWindowExt(L(8), L(12), L(16), L(20)); break;               // SCALEWINDOWEXTEX
        case 33: player.SaveDc(); break;                                                // SAVEDC
        case 34: player.RestoreDc(static_cast<int>(L(8))); break;                       // RESTOREDC
        case 35: case 36: {                                                             // SET/MODIFYWORLDTRANSFORM
            TXform x;
            float f[6];
            for (int i = 0; i < 6; ++i) {
                const std::uint32_t raw = U32(rec, 8 + 4 * i);
                std::memcpy(&f[i], &raw, 4);
            }
            x = {f[0], f[1], f[2], f[3], f[4], f[5]};
            for (double v : {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy})
                if (!std::isfinite(v)) return;
            const std::uint32_t mode = type == 35 ? 4 : U32(rec, 32);
            if (mode == 1) dc.world = {};                              // identity
            else if (mode == 2) dc.world = x.Then(dc.world);           // left multiply
            else if (mode == 3) dc.world = dc.world.Then(x);           // right multiply
            else if (mode == 4) dc.world = x;
            break;
        }
        case 30: player.IntersectClip(point(8), point(16)); break;                      // INTERSECTCLIPRECT
        case 75:                                                                        // EXTSELECTCLIPRGN
            if (U32(rec, 12) == 5 && U32(rec, 8) == 0) player.ResetClip();             // RGN_COPY of no region
            break;
        case 27: player.MoveTo(point(8)); break;                                        // MOVETOEX
        case 54: player.LineTo(point(8)); break;                                        // LINETO
        case 15: player.SetPixel(point(8), FromColorRef(U32(rec, 16))); break;          // SETPIXELV
        case 43: player.Rectangle(L(8), L(12), L(16), L(20)); break;                    // RECTANGLE
        case 42: player.Ellipse(L(8), L(12), L(16), L(20)); break;                      // ELLIPSE
        case 44: player.RoundRect(L(8), L(12), L(16), L(20), L(24), L(28)); break;      // ROUNDRECT
        case 45: case 46: case 47:                                                      // ARC, CHORD, PIE
            player.Arc(type == 45 ? TArcKind::Arc : type == 46 ? TArcKind::Chord : TArcKind::Pie,
                       L(8), L(12), L(16), L(20), point(24), point(32));
            break;
        case 3: case 86: player.PolyPolygon({points(28, U32(rec, 24), type == 86)}); break;     // POLYGON(16)
        case 4: case 87: player.Polyline(points(28, U32(rec, 24), type == 87)); break;           // POLYLINE(16)
        case 6: case 89: player.PolylineTo(points(28, U32(rec, 24), type == 89)); break;         // POLYLINETO(16)
        case 2: case 85: {                                                                       // POLYBEZIER(16)
            const std::vector<TPointD> p = points(28, U32(rec, 24), type == 85);
            if (p.size() < 4) break;
            std::vector<TPointD> line{p[0]};
            const std::vector<TPointD> curve = player.Flatten(p[0], {p.begin() + 1, p.end()});
            line.insert(line.end(), curve.begin(), curve.end());
            player.Polyline(line);
            break;
        }
        case 5: case 88:                                                                         // POLYBEZIERTO(16)
            player.PolylineTo(player.Flatten(dc.position, points(28, U32(rec, 24), type == 88)));
            break;
        case 7: case 8: case 90: case 91: {                                  // POLYPOLYLINE(16), POLYPOLYGON(16)
            const bool small = type == 90 || type == 91;
            const std::size_t polys = U32(rec, 24), total = U32(rec, 28);
            if (polys > rec.size() / 4) break;
            const std::vector<TPointD> all = points(32 + 4 * polys, total, small);
            std::vector<std::vector<TPointD>> rings;
            std::size_t at = 0;
            for (std::size_t i = 0; i < polys; ++i) {
                const std::size_t count = U32(rec, 32 + 4 * i);
                if (count > all.size() - at) break;
                rings.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(at), all.begin() + static_cast<std::ptrdiff_t>(at + count));
                at += count;
            }
            if (type == 8 || type == 91) player.PolyPolygon(rings);
            else for (const auto& ring : rings) player.Polyline(ring);
            break;
        }
        case 38:                                                                        // CREATEPEN
            if (TObject* o = object(8)) {
                o->kind = TObject::Pen;
                o->pen = {static_cast<int>(U32(rec, 12)), L(16), false, FromColorRef(U32(rec, 24))};
            }
            break;
        case 95:                                                                        // EXTCREATEPEN
            if (TObject* o = object(8)) {
                const std::uint32_t style = U32(rec, 28);
                o->kind = TObject::Pen;
                o->pen = {U32(rec, 36) == BS_NULL ? PS_NULL : static_cast<int>(style & PS_STYLE_MASK), L(32),
                          (style & PS_GEOMETRIC) == 0, FromColorRef(U32(rec, 40))};
            }
            break;
        case 39:                                                                        // CREATEBRUSHINDIRECT
            if (TObject* o = object(8)) {
                o->kind = TObject::Brush;
                o->brush = {static_cast<int>(U32(rec, 12)), FromColorRef(U32(rec, 16)), static_cast<int>(U32(rec, 20)), nullptr};
            }
            break;
        case 93: case 94:                                                               // CREATEMONOBRUSH, CREATEDIBPATTERNBRUSHPT
            if (TObject* o = object(8)) {
                o->kind = TObject::Brush;
                o->brush = {BS_DIBPATTERNPT, 0, 0, nullptr};
                if (U32(rec, 12) != DIB_PAL_COLORS) {
                    const std::optional<TDecodedImage> image = dib(16, 24);
                    if (image) o->brush.pattern = std::make_shared<const TDecodedImage>(*image);
                }
            }
            break;
        case 82:                                                                        // EXTCREATEFONTINDIRECTW
            if (TObject* o = object(8)) {
                *o = {TObject::Font, {}, {}, {L(12), L(16), S32(rec, 20), S32(rec, 28), U8(rec, 32) != 0,
                                               U8(rec, 33) != 0, U8(rec, 34) != 0, {}}};
                for (std::size_t i = 0; i < 32 && U16(rec, 40 + 2 * i) != 0; ++i)  // UTF-16, ended by a zero
                    o->font.face += static_cast<char16_t>(U16(rec, 40 + 2 * i));
            }
            break;
        case 49:                                                                        // palette
            if (TObject* o = object(8)) *o = {TObject::Other, {}, {}, {}};
            break;
        case 22: dc.textAlign = U32(rec, 8); break;                                     // SETTEXTALIGN
        case 24: dc.textColour = FromColorRef(U32(rec, 8)); break;                      // SETTEXTCOLOR
        case 83: case 84: {                                                             // EXTTEXTOUTA, EXTTEXTOUTW
            const bool wide = type == 84;
            TTextOut t;
            t.reference = point(36);
            t.options = U32(rec, 52);
            t.hasRect = !(t.options & ETO_NO_RECT);
            for (int i = 0; i < 4 && t.hasRect; ++i) t.rect[i] = L(56 + 4 * i);
            const std::size_t count = std::min<std::size_t>(U32(rec, 44), 2 * kMaxTextChars), offString = U32(rec, 48);
            const std::size_t unit = wide ? 2 : 1, offDx = U32(rec, t.hasRect ? 72 : 56);
            if (offString > rec.size() || (rec.size() - offString) / unit < count) break;
            const std::size_t stride = t.options & ETO_PDY ? 8 : 4;
            AddChars(t, Slice(rec, offString, count * unit), wide, offDx ? Advances(rec, offDx, count, 4, stride) : std::vector<double>{});
            player.Text(t);
            break;
        }
        case 108: {                                                                     // SMALLTEXTOUT
            TTextOut t;
            t.reference = point(8);
            t.options = U32(rec, 20);
            t.hasRect = !(t.options & ETO_NO_RECT);
            for (int i = 0; i < 4 && t.hasRect; ++i) t.rect[i] = L(36 + 4 * i);
            const bool wide = !(t.options & ETO_SMALL_CHARS);
            const std::size_t count = std::min<std::size_t>(U32(rec, 16), 2 * kMaxTextChars), unit = wide ? 2 : 1;
            const std::size_t offString = t.hasRect ? 52 : 36;
            if (offString > rec.size() || (rec.size() - offString) / unit < count) break;
            AddChars(t, Slice(rec, offString, count * unit), wide, {});
            player.Text(t);
            break;
        }
        case 37: {                                                                      // SELECTOBJECT
            const std::uint32_t index = U32(rec, 8);
            if (index & 0x80000000u) player.SelectStock(index & 0x7FFFFFFFu);
            else player.Select(index);
            break;
        }
        case 40:                                                                        // DELETEOBJECT
            if (TObject* o = object(8)) *o = TObject{};
            break;
        case 59: player.BeginPath(); break;
        case 60: player.EndPath(); break;
        case 61: player.CloseFigure(); break;
        case 68: player.AbortPath(); break;
        case 62: player.DrawPath(true, false); break;                                  // FILLPATH
        case 63: player.DrawPath(true, true); break;                                   // STROKEANDFILLPATH
        case 64: player.DrawPath(false, true); break;                                  // STROKEPATH
        case 76: case 77: {                                                             // BITBLT, STRETCHBLT
            const std::uint32_t rop = U32(rec, 40);
            const std::optional<TDecodedImage> image = dib(84, 92);
            const int sw = type == 77 ? S32(rec, 100) : S32(rec, 32), sh = type == 77 ? S32(rec, 104) : S32(rec, 36);
            player.Blit(image ? &*image : nullptr, S32(rec, 44), S32(rec, 48), sw, sh, L(24), L(28), L(32), L(36), rop);
            break;
        }
        case 81: {                                                                      // STRETCHDIBITS
            if (U32(rec, 64) == DIB_PAL_COLORS) break;
            const std::optional<TDecodedImage> image = dib(48, 56);
            if (!image) break;
            const int sh = S32(rec, 44), sy = FromBottom(*image, S32(rec, 36), sh);
            player.Blit(&*image, S32(rec, 32), sy, S32(rec, 40), sh, L(24), L(28), L(72), L(76), U32(rec, 68));
            break;
        }
        case 80: {                                                                      // SETDIBITSTODEVICE
            if (U32(rec, 64) == DIB_PAL_COLORS) break;
            const std::optional<TDecodedImage> image = dib(48, 56);
            if (!image) break;
            const int sw = S32(rec, 40), sh = S32(rec, 44), sy = FromBottom(*image, S32(rec, 36), sh);
            player.Blit(&*image, S32(rec, 32), sy, sw, sh, L(24), L(28), sw, sh, 0x00CC0020);
            break;
        }
        default: break;  // regions, palettes, comments: not drawn
    }
}

TDecodedImage DecodeEmf(Bytes bytes, int widthHint) {
    const std::uint32_t headerSize = U32(bytes, 4);
    if (bytes.size() < 88 || headerSize < 88 || headerSize > bytes.size() || U32(bytes, 40) != kEmfSignature) Invalid();
    const std::uint32_t length = U32(bytes, 48);
    if (length < headerSize || length > bytes.size()) Invalid();  // cut off
    const Bytes file = Slice(bytes, 0, length);

    // The reference device's resolution; the frame is in hundredths of a millimetre.
    double deviceX = S32(bytes, 72), deviceY = S32(bytes, 76);
    double mmX = S32(bytes, 80), mmY = S32(bytes, 84);
    if (headerSize >= 108 && S32(bytes, 100) > 0 && S32(bytes, 104) > 0) {
        mmX = S32(bytes, 100) / 1000.0;
        mmY = S32(bytes, 104) / 1000.0;
    }
    TPointD pixelsPerMm{kScreenPixelsPerMm, kScreenPixelsPerMm};
    if (deviceX > 0 && deviceY > 0 && mmX > 0 && mmY > 0) pixelsPerMm = {deviceX / mmX, deviceY / mmY};

    double left = S32(bytes, 24), top = S32(bytes, 28), right = S32(bytes, 32), bottom = S32(bytes, 36);
    TPointD frameOrigin, frameSize;  // reference-device pixels
    double naturalWidth, naturalHeight;
    if (right > left && bottom > top) {
        frameOrigin = {left * pixelsPerMm.x / 100, top * pixelsPerMm.y / 100};
        frameSize = {(right - left) * pixelsPerMm.x / 100, (bottom - top) * pixelsPerMm.y / 100};
        naturalWidth = (right - left) * kScreenPixelsPerMm / 100;
        naturalHeight = (bottom - top) * kScreenPixelsPerMm / 100;
    } else {
        left = S32(bytes, 8), top = S32(bytes, 12), right = S32(bytes, 16), bottom = S32(bytes, 20);
        if (right < left || bottom < top) Invalid();
        frameOrigin = {left, top};
        frameSize = {right - left + 1, bottom - top + 1};
        naturalWidth = frameSize.x / pixelsPerMm.x * kScreenPixelsPerMm;
        naturalHeight = frameSize.y / pixelsPerMm.y * kScreenPixelsPerMm;
    }

    TDecodedImage image;
    SizeImage(image, naturalWidth, naturalHeight, widthHint);
    const double sx = image.Width / frameSize.x, sy = image.Height / frameSize.y;
    TPlayer player(image, TXform{sx, 0, 0, sy, -frameOrigin.x * sx, -frameOrigin.y * sy}, pixelsPerMm);
    player.objects.resize(U16(bytes, 56));

    for (std::size_t at = headerSize; at + 8 <= file.size() && !player.Exhausted();) {
        const std::uint32_t type = U32(file, at), size = U32(file, at + 4);
        if (size < 8 || size > file.size() - at) break;
        if (type == 14) break;  // EOF
        PlayEmfRecord(player, Slice(file, at, size), type);
        at += size;
    }
    return image;
}

}  // namespace

TDecodedImage DecodeMetafile(std::span<const std::uint8_t> bytes, int widthHint) {
    if (U32(bytes, 0) == 1 && U32(bytes, 40) == kEmfSignature) return DecodeEmf(bytes, widthHint);
    return DecodeWmf(bytes, widthHint);
}
