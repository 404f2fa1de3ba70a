#include "ImageCodecs.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#define STBI_NO_STDIO
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#define NANOSVG_IMPLEMENTATION
#define NANOSVGRAST_IMPLEMENTATION
#include <nanosvg.h>
#include <nanosvgrast.h>

namespace Facet {

namespace {

bool ExtentsAcceptable(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kMaxImageExtent && height <= kMaxImageExtent;
}

struct SvgImageDeleter
{
    void operator()(NSVGimage* image) const { nsvgDelete(image); }
};
struct SvgRasterizerDeleter
{
    void operator()(NSVGrasterizer* rasterizer) const { nsvgDeleteRasterizer(rasterizer); }
};

// A picture size times the scale, both truncated; NaN and infinities give 0.
long long ScaledExtent(float extent, double scale)
{
    if (!std::isfinite(extent) || !std::isfinite(scale))
        return 0;
    const double truncated = std::trunc(static_cast<double>(extent));
    const double scaled = std::trunc(truncated * scale);
    if (scaled < 0 || scaled > 1e9)
        return scaled < 0 ? 0 : static_cast<long long>(1e9);
    return static_cast<long long>(scaled);
}

} // namespace

bool DecodeRasterImage(const unsigned char* bytes, size_t size, RgbaPixels& out)
{
    if (bytes == nullptr || size == 0 || size > static_cast<size_t>(INT32_MAX))
        return false;
    int width = 0;
    int height = 0;
    int channels = 0;
    // Check the header first, so a huge picture is refused before memory is asked for.
    if (!stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channels) ||
        !ExtentsAcceptable(width, height))
        return false;
    unsigned char* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
    if (pixels == nullptr)
        return false;
    const bool accepted = ExtentsAcceptable(width, height);
    if (accepted) {
        out.width = width;
        out.height = height;
        out.bytes.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    }
    stbi_image_free(pixels);
    return accepted;
}

SvgResult DecodeSvgImage(const unsigned char* bytes, size_t size, double scale, RgbaPixels& out)
{
    // The SVG parser edits its input and wants it terminated.
    std::vector<char> text(bytes, bytes + size);
    text.push_back('\0');
    std::unique_ptr<NSVGimage, SvgImageDeleter> image(nsvgParse(text.data(), "px", 96.0f));
    if (!image)
        return SvgResult::ParseFailed;
    const long long width = ScaledExtent(image->width, scale);
    const long long height = ScaledExtent(image->height, scale);
    // The parser accepts any text and gives a picture without size for what is
    // not SVG at all: no size is as much a failure to read the picture.
    if (width == 0 || height == 0)
        return SvgResult::ParseFailed;
    std::unique_ptr<NSVGrasterizer, SvgRasterizerDeleter> rasterizer(nsvgCreateRasterizer());
    if (!rasterizer)
        return SvgResult::RasterizerFailed;
    if (!ExtentsAcceptable(width, height))
        return SvgResult::BufferFailed;
    try {
        out.bytes.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    } catch (const std::bad_alloc&) {
        return SvgResult::BufferFailed;
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    nsvgRasterize(rasterizer.get(), image.get(), 0, 0, static_cast<float>(scale), out.bytes.data(), out.width,
                  out.height, out.width * 4);
    return SvgResult::Ok;
}

} // namespace Facet
