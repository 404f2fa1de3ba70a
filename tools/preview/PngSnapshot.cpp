#include "PngSnapshot.h"

#include "control/ControlUI.h"
#include "core/PaintManager.h"
#include "core/UniqueHandle.h"
#include "render/GdiObjects.h"
#include "render/RenderEngine.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <vector>

namespace preview {

namespace {

void AppendBytes(void* context, void* data, int size)
{
    std::vector<unsigned char>* out = static_cast<std::vector<unsigned char>*>(context);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// The bitmap's pixels as top-down rows of 0xAARRGGBB (blue first in memory).
bool ReadPixels(HDC reference, HBITMAP bitmap, int width, int height, std::vector<unsigned char>& bgra)
{
    BITMAPINFO info = Facet::TopDown32BitInfo(width, height);
    bgra.assign(static_cast<size_t>(width) * height * 4, 0);
    return ::GetDIBits(reference, bitmap, 0, static_cast<UINT>(height), bgra.data(), &info, DIB_RGB_COLORS) == height;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    const Facet::UniqueKernelHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

bool WriteWindowPng(Facet::CPaintManagerUI& manager, const std::wstring& path, std::wstring& error)
{
    const HWND hWnd = manager.GetPaintWindow();
    Facet::CControlUI* root = manager.GetRoot();
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(hWnd, &rcClient);
    const int width = rcClient.right - rcClient.left;
    const int height = rcClient.bottom - rcClient.top;
    if (root == nullptr || width <= 0 || height <= 0) {
        error = L"the skin gives an empty window (no root control or no \"size\")";
        return false;
    }

    // The window is never shown, so the layout that its first paint would do
    // happens here.
    root->SetPos(rcClient, false);
    Facet::ScopedGdiObject<HBITMAP> snapshot(Facet::CRenderEngine::GenerateBitmap(&manager, rcClient));
    std::vector<unsigned char> pixels;
    if (snapshot.Get() == nullptr || !ReadPixels(manager.GetPaintDC(), snapshot.Get(), width, height, pixels)) {
        error = L"the window could not be painted offscreen";
        return false;
    }

    // Without a frame, window and client coordinates are the same.
    Facet::ScopedGdiObject<HRGN> region(::CreateRectRgn(0, 0, 0, 0));
    const bool hasRegion = region.Get() != nullptr && ::GetWindowRgn(hWnd, region.Get()) != ERROR;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* pixel = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            const unsigned char blue = pixel[0];
            pixel[0] = pixel[2];
            pixel[2] = blue;
            pixel[3] = (!hasRegion || ::PtInRegion(region.Get(), x, y)) ? 255 : 0;
        }
    }

    std::vector<unsigned char> png;
    if (stbi_write_png_to_func(&AppendBytes, &png, width, height, 4, pixels.data(), width * 4) == 0 ||
        !WriteWholeFile(path, png)) {
        error = L"cannot write " + path;
        return false;
    }
    return true;
}

} // namespace preview
