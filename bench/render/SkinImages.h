// The images of a typical skinned window, generated as PNG files in memory:
// a full-window background, button and option strips, frames, progress bar
// parts, icons and a shadow, some with translucent pixels.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct SkinImage
{
    std::wstring name; // "background.png"
    int width = 0;
    int height = 0;
    std::vector<unsigned char> png;
};

std::vector<SkinImage> MakeSkinImages();

} // namespace bench
