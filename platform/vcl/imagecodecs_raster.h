// The metafile player's rasteriser: GDI-style aliased filling, lines and block transfers into
// a TDecodedImage, with a rectangular clip and a budget of work that bounds any file's cost.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vcl/imagecodecs.h"

namespace imagecodecs_detail {

// A point in output pixels: pixel (x, y) covers [x, x+1) x [y, y+1).
struct TPointD {
    double x = 0, y = 0;
};
using TRing = std::vector<TPointD>;
struct TTextFont;
struct TTextRun;

// How a brush paints: a solid colour, one of the six hatch patterns over the background
// colour (or over nothing when the background mode is transparent), or a tiled pattern image.
struct TFill {
    enum Kind { None, Solid, Hatch, Pattern } kind = None;
    std::uint32_t colour = 0xFF000000u;  // 0xAARRGGBB
    int hatch = 0;
    std::uint32_t background = 0xFFFFFFFFu;
    bool opaqueBackground = true;
    std::shared_ptr<const TDecodedImage> pattern;

    // The colour for pixel (x, y); false leaves the pixel as it is.
    bool At(int x, int y, std::uint32_t& out) const;
};

class TRaster {
public:
    // Units of work one file may spend: pixels written and edge crossings computed.
    static constexpr std::int64_t kWorkBudget = std::int64_t{1} << 28;

    explicit TRaster(TDecodedImage& target);

    // The clip rectangle in output pixels [left, right) x [top, bottom), within the image.
    void IntersectClip(double left, double top, double right, double bottom);
    void ResetClip();
    bool Exhausted() const { return work_ > kWorkBudget; }
    std::int64_t Pixels() const { return static_cast<std::int64_t>(image_.Pixels.size()); }

    // Fills the area of the rings together (alternate: even-odd; winding: non-zero); a pixel
    // belongs to the area when its centre does.
    void Fill(const std::vector<TRing>& rings, bool winding, const TFill& fill);
    // Strokes a polyline; a width up to 1.5 pixels draws the one-pixel line that leaves the end
    // point of each segment unpainted, a wider one a band with round joins and ends.
    void Stroke(const TRing& points, bool closed, double width, std::uint32_t colour);
    void Plot(int x, int y, std::uint32_t colour);
    // Transfers the source rectangle (sx, sy, sw, sh) of source onto the rectangle from corner
    // a to corner b (swapped corners mirror) by the raster operation rop; without a source,
    // only the operations that need none (brush, black, white, inversion) paint.
    void Blit(const TDecodedImage* source, int sx, int sy, int sw, int sh, TPointD a, TPointD b,
              std::uint32_t rop, const TFill& brush);
    // Draws a run of text through the toolkit inside the clip; work is what its glyphs cost.
    void Text(const TTextFont& font, const TTextRun& run, std::int64_t work);

private:
    void Line(TPointD a, TPointD b, std::uint32_t colour);
    void Write(int x, int y, std::uint32_t colour) {
        image_.Pixels[static_cast<std::size_t>(y) * image_.Width + x] = colour;
    }

    TDecodedImage& image_;
    int clipLeft_ = 0, clipTop_ = 0, clipRight_ = 0, clipBottom_ = 0;
    std::int64_t work_ = 0;
};

}  // namespace imagecodecs_detail
