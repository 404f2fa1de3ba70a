// Images made by the tests: RGBA pixel grids encoded as PNG in memory.
#pragma once

#include <cstdint>
#include <vector>

namespace testsupport {

// A width x height grid of 0xAARRGGBB colours, row by row.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    Picture(int w, int h, uint32_t fill) : width(w), height(h), argb(static_cast<size_t>(w) * h, fill) {}
    uint32_t& At(int x, int y) { return argb[static_cast<size_t>(y) * width + x]; }
    void FillRect(int left, int top, int right, int bottom, uint32_t color)
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                At(x, y) = color;
    }
};

// The picture as PNG bytes (defined in TestImages.cpp).
std::vector<unsigned char> EncodePng(const Picture& picture);

} // namespace testsupport
