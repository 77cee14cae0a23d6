// Text of the metafile player: a run of characters in one font, measured and drawn through the
// toolkit in the labels' text style (no anti-aliasing; faces mapped as the labels map them).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/imagecodecs.h"
#include "vcl/imagecodecs_raster.h"

namespace imagecodecs_detail {

struct TTextFont {
    std::u16string face;  // the Windows face name
    int height = 0;       // output pixels: negative the em height, positive the cell height, 0 the default
    int width = 0;        // average character width in output pixels; 0 keeps the face's proportions
    int weight = 0;       // 100 (thin) to 900 (heavy); 0 the normal weight
    bool italic = false, underline = false, strikeOut = false;
};

// A character is one UTF-16 string (a surrogate pair, or a double-byte character's conversion).
using TTextChars = std::vector<std::u16string>;

struct TTextMetrics {
    double ascent = 0, descent = 0;
    std::vector<double> advances;  // each character's own advance
};

// The font's ascent and descent and the characters' advances, in output pixels.
TTextMetrics MeasureText(const TTextFont& font, const TTextChars& chars);

struct TTextRun {
    TTextChars chars;
    std::vector<double> positions;  // each character's start along the baseline from origin
    double width = 0;               // the whole advance, for underline and strike-out
    TPointD origin;                 // the baseline's start, output pixels
    double angle = 0;               // degrees counter-clockwise on the picture
    std::uint32_t colour = 0xFF000000u;
};

// Draws the run into image inside the clip rectangle [left, right) x [top, bottom).
void DrawTextRun(TDecodedImage& image, const TTextFont& font, const TTextRun& run, int left, int top, int right,
                 int bottom);

}  // namespace imagecodecs_detail
