#include "SkinImages.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <algorithm>
#include <cstdint>

namespace bench {

namespace {

void Append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// How a picture is painted: a diagonal gradient between two colours with a
// little deterministic grain (so that the PNG does not compress to nothing),
// and optionally a soft translucent border or a round translucent shape.
enum class Shape { Opaque, SoftBorder, Round };

SkinImage Make(const wchar_t* name, int width, int height, uint32_t from, uint32_t to, Shape shape)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    uint32_t seed = 0x9E3779B9u ^ static_cast<uint32_t>(width * 31 + height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>((seed >> 28) & 0x7) - 3;
            const int t = (x + y) * 255 / (width + height > 2 ? width + height - 2 : 1);
            unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const int a = (from >> (16 - 8 * c)) & 0xFF;
                const int b = (to >> (16 - 8 * c)) & 0xFF;
                int v = (a * (255 - t) + b * t) / 255 + grain;
                p[c] = static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v));
            }
            int alpha = 255;
            if (shape == Shape::SoftBorder) {
                const int edge = (std::min)((std::min)(x, width - 1 - x), (std::min)(y, height - 1 - y));
                alpha = edge >= 6 ? 255 : 40 * edge + 15;
            } else if (shape == Shape::Round) {
                const int dx = 2 * x - width + 1;
                const int dy = 2 * y - height + 1;
                const int r = (std::min)(width, height);
                const int d2 = dx * dx + dy * dy;
                alpha = d2 <= (r - 4) * (r - 4) ? 255 : (d2 <= r * r ? 128 : 0);
            }
            p[3] = static_cast<unsigned char>(alpha);
        }
    }
    SkinImage image;
    image.name = name;
    image.width = width;
    image.height = height;
    stbi_write_png_to_func(Append, &image.png, width, height, 4, rgba.data(), width * 4);
    return image;
}

} // namespace

std::vector<SkinImage> MakeSkinImages()
{
    std::vector<SkinImage> images;
    images.push_back(Make(L"background.png", 680, 440, 0xF4F8FF, 0xC8DCF0, Shape::Opaque));
    images.push_back(Make(L"banner.png", 680, 120, 0x2060C0, 0x60A0F0, Shape::Opaque));
    images.push_back(Make(L"logo.png", 88, 88, 0xFF8040, 0xC03010, Shape::Round));
    images.push_back(Make(L"button.png", 360, 40, 0x3080E0, 0x1050B0, Shape::SoftBorder)); // 3 states
    images.push_back(Make(L"button_light.png", 360, 40, 0xFFFFFF, 0xDDE6F0, Shape::SoftBorder));
    images.push_back(Make(L"sysbtn_close.png", 84, 28, 0xE04040, 0xA01010, Shape::SoftBorder)); // 3 states
    images.push_back(Make(L"sysbtn_min.png", 84, 28, 0x909090, 0x606060, Shape::SoftBorder));
    images.push_back(Make(L"checkbox.png", 64, 16, 0xFFFFFF, 0x4080FF, Shape::SoftBorder)); // 4 states
    images.push_back(Make(L"edit_frame.png", 40, 36, 0xFFFFFF, 0xE0E8F0, Shape::SoftBorder));
    images.push_back(Make(L"progress_bk.png", 20, 12, 0xE0E0E0, 0xC0C0C0, Shape::SoftBorder));
    images.push_back(Make(L"progress_fore.png", 20, 12, 0x40C040, 0x208020, Shape::SoftBorder));
    images.push_back(Make(L"shadow.png", 40, 40, 0x000000, 0x202020, Shape::SoftBorder));
    images.push_back(Make(L"icon_ok.png", 24, 24, 0x20C020, 0x108010, Shape::Round));
    images.push_back(Make(L"icon_warn.png", 24, 24, 0xFFC020, 0xE08000, Shape::Round));
    return images;
}

} // namespace bench
