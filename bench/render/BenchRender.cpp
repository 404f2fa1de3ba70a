// Render benchmark: how long a typical window's 14 skin images take to decode
// (from memory, and loaded from a resource folder), and how many full
// 680 x 440 repaints of a busy scene fit in a second when drawn into an
// off-screen 32-bit bitmap.
#include "core/PaintManager.h"
#include "render/GdiObjects.h"
#include "render/RenderEngine.h"

#include "BusyScene.h"
#include "SkinImages.h"
#include "../BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using Facet::CPaintManagerUI;
using Facet::CRenderEngine;
using Facet::TImageInfo;

namespace {

const double kMinSeconds = 2.0;
const int kMinRuns = 10;
const int kWidth = 680;
const int kHeight = 440;

// Decoded images by name, freed with the set.
class ImageSet
{
public:
    ImageSet() = default;
    ~ImageSet() { Clear(); }
    ImageSet(const ImageSet&) = delete;
    ImageSet& operator=(const ImageSet&) = delete;

    void Add(const std::wstring& name, TImageInfo* image)
    {
        if (image != nullptr)
            m_images[name] = image;
    }
    void Clear()
    {
        for (auto& entry : m_images)
            CRenderEngine::FreeImage(entry.second);
        m_images.clear();
    }
    size_t Size() const { return m_images.size(); }
    const std::map<std::wstring, TImageInfo*>& Map() const { return m_images; }

private:
    std::map<std::wstring, TImageInfo*> m_images;
};

class HiddenWindow
{
public:
    HiddenWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FacetRenderBench";
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"bench", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    }
    ~HiddenWindow()
    {
        if (m_hwnd != nullptr)
            DestroyWindow(m_hwnd);
    }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

// A 32-bit top-down DIB section with a memory device context.
class Offscreen
{
public:
    Offscreen(int width, int height)
    {
        BYTE* bits = nullptr;
        m_bitmap = Facet::CreateArgbDib(width, height, &bits);
        m_dc = CreateCompatibleDC(nullptr);
        if (m_dc != nullptr && m_bitmap != nullptr)
            m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Offscreen()
    {
        if (m_dc != nullptr) {
            if (m_old != nullptr)
                SelectObject(m_dc, m_old);
            DeleteDC(m_dc);
        }
        if (m_bitmap != nullptr)
            DeleteObject(m_bitmap);
    }
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;
    bool Valid() const { return m_dc != nullptr && m_bitmap != nullptr; }
    HDC Dc() const { return m_dc; }

private:
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// A fresh folder under the temporary folder, removed with its files.
class TempFolder
{
public:
    TempFolder()
    {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        m_path = std::wstring(temp) + L"facet-bench-render-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempFolder()
    {
        for (const std::wstring& file : m_files)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Write(const std::wstring& name, const std::vector<unsigned char>& bytes)
    {
        const std::wstring path = m_path + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        m_files.push_back(path);
        DWORD written = 0;
        const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == bytes.size();
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

// Seconds per run of `run`, over at least kMinSeconds and kMinRuns.
template <typename Run>
double TimePerRun(Run run, int& runs)
{
    return bench::SecondsPerRun(run, kMinSeconds, kMinRuns, &runs);
}

} // namespace

int main()
{
    const std::vector<bench::SkinImage> skin = bench::MakeSkinImages();
    size_t pngBytes = 0;
    size_t pixels = 0;
    for (const bench::SkinImage& image : skin) {
        pngBytes += image.png.size();
        pixels += static_cast<size_t>(image.width) * image.height;
    }
    std::printf("Skin images: %u PNG files, %.1f KiB encoded, %.2f Mpixel decoded\n",
                static_cast<unsigned>(skin.size()), pngBytes / 1024.0, pixels / 1e6);

    // Decoding from memory.
    int runs = 0;
    const double decodeSeconds = TimePerRun(
        [&] {
            ImageSet images;
            for (const bench::SkinImage& image : skin)
                images.Add(image.name,
                           CRenderEngine::DecodeImage(image.png.data(), image.png.size(), image.name.c_str()));
            if (images.Size() != skin.size())
                std::fprintf(stderr, "decoding failed\n");
        },
        runs);
    std::printf("Decode from memory (DecodeImage): %.2f ms per window (%d runs)\n", decodeSeconds * 1000.0, runs);

    // Loading from a resource folder: file reads plus decoding.
    TempFolder folder;
    for (const bench::SkinImage& image : skin) {
        if (!folder.Write(image.name, image.png)) {
            std::fprintf(stderr, "cannot write the skin images\n");
            return 1;
        }
    }
    const Facet::CFacetString oldPath = CPaintManagerUI::GetResourcePath();
    CPaintManagerUI::SetResourcePath(folder.Path().c_str());
    const double loadSeconds = TimePerRun(
        [&] {
            ImageSet images;
            for (const bench::SkinImage& image : skin)
                images.Add(image.name, CRenderEngine::LoadImage(Facet::STRINGorID(image.name.c_str())));
            if (images.Size() != skin.size())
                std::fprintf(stderr, "loading failed\n");
        },
        runs);
    std::printf("Load from a resource folder (LoadImage): %.2f ms per window (%d runs)\n", loadSeconds * 1000.0, runs);

    // Full repaints of a busy scene.
    HiddenWindow window;
    if (window.Get() == nullptr) {
        std::fprintf(stderr, "cannot create the window\n");
        return 1;
    }
    int frames = 0;
    double frameSeconds = 0;
    {
        CPaintManagerUI manager;
        manager.Init(window.Get());
        ImageSet images;
        for (const bench::SkinImage& image : skin)
            images.Add(image.name, CRenderEngine::DecodeImage(image.png.data(), image.png.size(), image.name.c_str()));
        Offscreen offscreen(kWidth, kHeight);
        if (!offscreen.Valid()) {
            std::fprintf(stderr, "cannot create the off-screen bitmap\n");
            return 1;
        }
        bench::BusyScene busy(manager, images.Map());
        busy.Paint(offscreen.Dc()); // loads the images named in mark-up once
        frameSeconds = TimePerRun(
            [&] {
                busy.Paint(offscreen.Dc());
                GdiFlush();
            },
            frames);
        std::printf("Scene per frame: %d images (nine-grid, fade, tiling, hole), %d fills and gradients, "
                    "%d texts (plain and mark-up)\n",
                    busy.ImagesPerFrame(), busy.FillsPerFrame(), busy.TextsPerFrame());
    }
    CPaintManagerUI::SetResourcePath(oldPath.GetData());
    std::printf("Full repaint %dx%d: %.2f ms per frame, %.1f frames per second (%d frames)\n", kWidth, kHeight,
                frameSeconds * 1000.0, 1.0 / frameSeconds, frames);
    return 0;
}
