// Decoding of image bytes into 8-bit RGBA pixels (stb_image for the raster
// formats, nanosvg for SVG). Internal to the render engine.
#pragma once

#include <cstddef>
#include <vector>

namespace Facet {

// The largest width or height the framework accepts for a decoded image; larger
// ones would need more memory than any skin image can sensibly use, and their
// byte counts could overflow.
const int kMaxImageExtent = 16384;

struct RgbaPixels
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bytes; // width * height * 4, red, green, blue, alpha
};

// Raster formats; false when the bytes do not decode or are too large.
bool DecodeRasterImage(const unsigned char* bytes, size_t size, RgbaPixels& out);

enum class SvgResult { Ok, ParseFailed, RasterizerFailed, BufferFailed };

// SVG text (not terminated) rasterised at `scale`; the size is the picture's
// size truncated, times `scale`, truncated.
SvgResult DecodeSvgImage(const unsigned char* bytes, size_t size, double scale, RgbaPixels& out);

} // namespace Facet
