// Loading images into premultiplied 32-bit bitmaps.
#include "RenderEngine.h"

#include "../core/DpiManager.h"
#include "../core/SkinSource.h"
#include "ImageCodecs.h"
#include "ImageDescription.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace Facet {

namespace {

bool IsSvgName(const wchar_t* name)
{
    const wchar_t* dot = name != nullptr ? wcschr(name, L'.') : nullptr;
    return dot != nullptr && dot != name && (wcscmp(dot, L".svg") == 0 || wcscmp(dot, L".SVG") == 0);
}

// A 32-bit top-down DIB section holding `pixels` premultiplied by their alpha;
// opaque results equal to `mask` become fully transparent.
TImageInfo* CreateImage(const RgbaPixels& pixels, DWORD mask, bool applyMask)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    BYTE* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        return nullptr;
    }

    bool alpha = false;
    const size_t count = static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height);
    const unsigned char* in = pixels.bytes.data();
    for (size_t i = 0; i < count; ++i, in += 4) {
        const unsigned a = in[3];
        BYTE* out = bits + i * 4;
        if (a == 255) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        } else {
            out[0] = static_cast<BYTE>(in[2] * a / 255);
            out[1] = static_cast<BYTE>(in[1] * a / 255);
            out[2] = static_cast<BYTE>(in[0] * a / 255);
            alpha = true;
        }
        out[3] = static_cast<BYTE>(a);
        if (applyMask) {
            const DWORD value = (static_cast<DWORD>(out[3]) << 24) | (static_cast<DWORD>(out[2]) << 16) |
                                (static_cast<DWORD>(out[1]) << 8) | out[0];
            if (value == mask) {
                std::memset(out, 0, 4);
                alpha = true;
            }
        }
    }

    TImageInfo* image = new TImageInfo();
    image->hBitmap = bitmap;
    image->pBits = bits;
    image->pSrcBits = nullptr;
    image->nX = pixels.width;
    image->nY = pixels.height;
    image->bAlpha = alpha;
    image->bUseHSL = false;
    image->dwMask = 0;
    return image;
}

RgbaPixels ColorPixel(const wchar_t* value)
{
    if (value != nullptr && *value == L'#')
        ++value;
    const DWORD color = value != nullptr ? static_cast<DWORD>(wcstoul(value, nullptr, 16)) : 0;
    RgbaPixels pixel;
    pixel.width = 1;
    pixel.height = 1;
    pixel.bytes = {static_cast<unsigned char>(color >> 16), static_cast<unsigned char>(color >> 8),
                   static_cast<unsigned char>(color), static_cast<unsigned char>(color >> 24)};
    return pixel;
}

void Say(const char* line)
{
    std::fputs(line, stdout);
    std::fflush(stdout);
}

} // namespace

TImageInfo* CRenderEngine::LoadImage(STRINGorID bitmap, const wchar_t* type, DWORD mask)
{
    const wchar_t* name = bitmap.IsId() ? L"" : bitmap.m_lpstr;
    if (type != nullptr && wcscmp(type, CSkinSource::kColorType) == 0) {
        // A colour key needs no bytes: the name is the colour.
        if (bitmap.IsId() || name == nullptr)
            return nullptr;
        return CreateImage(ColorPixel(name), mask, true);
    }
    std::vector<unsigned char> bytes;
    if (CSkinSource::ReadImage(bitmap, type, bytes) != CSkinSource::kOk)
        return nullptr;
    return DecodeImage(bytes.data(), bytes.size(), name, mask);
}

TImageInfo* CRenderEngine::DecodeImage(const unsigned char* bytes, size_t size, const wchar_t* name, DWORD mask)
{
    RgbaPixels pixels;
    if (IsSvgName(name)) {
        switch (DecodeSvgImage(bytes, size, DpiManager::GetInstance()->GetWindowInchPex(), pixels)) {
        case SvgResult::Ok:
            break;
        case SvgResult::ParseFailed:
            Say("Could not open SVG image.\n");
            return nullptr;
        case SvgResult::RasterizerFailed:
            Say("Could not init rasterizer.\n");
            return nullptr;
        case SvgResult::BufferFailed:
            Say("Could not alloc image buffer.\n");
            return nullptr;
        }
    } else if (!DecodeRasterImage(bytes, size, pixels)) {
        return nullptr;
    }
    return CreateImage(pixels, mask, true);
}

TImageInfo* CRenderEngine::LoadSvgImage(const wchar_t* fileName)
{
    if (fileName == nullptr || *fileName == L'\0')
        return nullptr;
    char narrow[MAX_PATH * 2];
    GetAnsiFileName(fileName, narrow, sizeof(narrow));
    std::FILE* file = std::fopen(narrow, "rb");
    if (file == nullptr)
        return nullptr;
    std::vector<unsigned char> bytes;
    unsigned char chunk[16384];
    size_t read = 0;
    while ((read = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + read);
    std::fclose(file);

    RgbaPixels pixels;
    if (DecodeSvgImage(bytes.data(), bytes.size(), 1.0, pixels) != SvgResult::Ok)
        return nullptr;
    return CreateImage(pixels, 0, false);
}

void CRenderEngine::FreeImage(TImageInfo* image, bool deleteRecord)
{
    if (image == nullptr)
        return;
    if (image->hBitmap != nullptr)
        DeleteObject(image->hBitmap);
    image->hBitmap = nullptr;
    image->pBits = nullptr;
    delete[] image->pSrcBits;
    image->pSrcBits = nullptr;
    if (deleteRecord)
        delete image;
}

HBITMAP CRenderEngine::CreateARGB32Bitmap(HDC hDC, int width, int height, BYTE** bits)
{
    if (bits != nullptr)
        *bits = nullptr;
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(hDC, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits != nullptr)
        *bits = static_cast<BYTE*>(pixels);
    return bitmap;
}

int CRenderEngine::GetAnsiFileName(const wchar_t* name, char* buffer, int length)
{
    if (buffer == nullptr || length <= 0)
        return 0;
    std::memset(buffer, 0, static_cast<size_t>(length));
    if (name == nullptr)
        return 0;
    // One character is kept for the terminator, so the text always ends inside the buffer.
    WideCharToMultiByte(CP_ACP, 0, name, -1, buffer, length - 1, nullptr, nullptr);
    return static_cast<int>(strlen(buffer));
}

} // namespace Facet
