#include "TestImages.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace testsupport {

namespace {

void Append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

std::vector<unsigned char> EncodePng(const Picture& picture)
{
    std::vector<unsigned char> rgba;
    rgba.reserve(picture.argb.size() * 4);
    for (uint32_t c : picture.argb) {
        rgba.push_back(static_cast<unsigned char>(c >> 16));
        rgba.push_back(static_cast<unsigned char>(c >> 8));
        rgba.push_back(static_cast<unsigned char>(c));
        rgba.push_back(static_cast<unsigned char>(c >> 24));
    }
    std::vector<unsigned char> png;
    stbi_write_png_to_func(Append, &png, picture.width, picture.height, 4, rgba.data(), picture.width * 4);
    return png;
}

} // namespace testsupport
