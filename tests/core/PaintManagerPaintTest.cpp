#include "../support/DibCanvas.h"
#include "../support/GdiObjectCount.h"
#include "../support/TestWindow.h"
#include "render/GdiObjects.h"
#include "render/RenderEngine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

using namespace Facet;
using testsupport::ProbeControl;
using testsupport::TestContainer;
using testsupport::TestWindow;

namespace {

// The pixels of a bitmap, read back as 32-bit top-down rows.
std::vector<uint32_t> ReadPixels(HBITMAP bitmap, int width, int height)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = Facet::TopDown32BitInfo(width, height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A white root holding a red and a blue box, attached to the window and
// painted once.
struct RedAndBlue
{
    ProbeControl* red;
    ProbeControl* blue;
};

RedAndBlue PaintRedAndBlue(TestWindow& window, RECT red, RECT blue)
{
    const SIZE client = window.manager.GetClientSize();
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, client.cx, client.cy});
    root->fill = 0xFFFFFF;
    RedAndBlue boxes = {root->Add(new ProbeControl(L"red", nullptr, red)),
                        root->Add(new ProbeControl(L"blue", nullptr, blue))};
    boxes.red->fill = 0xFF0000;
    boxes.blue->fill = 0x0000FF;
    window.manager.AttachDialog(root);
    window.Pump();
    return boxes;
}

TEST(PaintManagerPaint, OnlyTheDirtyRectangleIsPainted)
{
    TestWindow window(200, 150);
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 200, 150});
    root->fill = 0x0000FF;
    window.manager.AttachDialog(root);
    window.Pump();
    ASSERT_NE(window.manager.GetPaintOffscreenBitmap(), nullptr);
    std::vector<uint32_t> pixels = ReadPixels(window.manager.GetPaintOffscreenBitmap(), 200, 150);
    EXPECT_EQ(pixels[75 * 200 + 100] & 0xFFFFFF, 0x0000FFu);

    // The colour changes without invalidation; only a small area is then made dirty.
    root->fill = 0x00FF00;
    RECT dirty = {20, 30, 40, 50};
    window.manager.Invalidate(dirty);
    window.Pump();
    EXPECT_EQ(root->lastPaint.left, 20);
    EXPECT_EQ(root->lastPaint.top, 30);
    EXPECT_EQ(root->lastPaint.right, 40);
    EXPECT_EQ(root->lastPaint.bottom, 50);
    pixels = ReadPixels(window.manager.GetPaintOffscreenBitmap(), 200, 150);
    EXPECT_EQ(pixels[35 * 200 + 25] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(pixels[49 * 200 + 39] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(pixels[50 * 200 + 40] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(pixels[75 * 200 + 100] & 0xFFFFFF, 0x0000FFu);

    // A rectangle whose right lies left of its left paints nothing.
    const int paints = root->paintCount;
    RECT backwards = {60, 60, 10, 70};
    window.manager.Invalidate(backwards);
    window.Pump();
    EXPECT_EQ(root->paintCount, paints);
}

TEST(PaintManagerPaint, LayeredWindowPaintsPerPixelAlpha)
{
    TestWindow window(100, 80);
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 100, 80});
    auto* box = root->Add(new ProbeControl(L"box", nullptr, RECT{10, 10, 30, 30}));
    // Half-transparent: the blend writes alpha, which plain GDI fills do not.
    box->SetBkColor(0x80FF0000);
    window.manager.AttachDialog(root);
    window.manager.SetLayered(true);
    ASSERT_TRUE(window.manager.IsLayered());
    EXPECT_TRUE(GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    window.manager.Invalidate();
    window.Send(WM_TIMER, 0x2000, 0); // the layered repaint tick
    window.Send(WM_TIMER, 0x2000, 0); // after the first layout the whole window again
    HBITMAP offscreen = window.manager.GetPaintOffscreenBitmap();
    ASSERT_NE(offscreen, nullptr);
    const std::vector<uint32_t> pixels = ReadPixels(offscreen, 100, 80);
    EXPECT_TRUE(testsupport::Near(pixels[20 * 100 + 20], 0x80800000u)) << std::hex << pixels[20 * 100 + 20];
    EXPECT_EQ(pixels[60 * 100 + 60] >> 24, 0u); // nothing drawn: transparent
    window.manager.SetLayered(false);
    EXPECT_FALSE(GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// Changes another control's colour whenever the control it listens to is
// placed, and invalidates it: an invalidation made in the middle of a layout.
class RecolourOnSize
{
public:
    RecolourOnSize(ProbeControl* target, DWORD fill) : m_target(target), m_fill(fill) {}
    bool OnSize(void*)
    {
        m_target->fill = m_fill;
        m_target->Invalidate();
        return true;
    }

private:
    ProbeControl* m_target;
    DWORD m_fill;
};

TEST(PaintManagerPaint, AreasInvalidatedWhileTheTreeIsLaidOutArePaintedToo)
{
    TestWindow window(200, 150);
    const RedAndBlue boxes = PaintRedAndBlue(window, RECT{0, 0, 200, 50}, RECT{0, 100, 200, 150});
    ProbeControl* top = boxes.red;
    ProbeControl* bottom = boxes.blue;

    RecolourOnSize recolour(bottom, 0x00FF00);
    top->OnSize += CDelegate<RecolourOnSize>(&recolour, &RecolourOnSize::OnSize);
    // Only the top is dirty; laying it out dirties the bottom.
    top->NeedUpdate();
    window.Pump();
    RECT pending = {0, 0, 0, 0};
    EXPECT_FALSE(GetUpdateRect(window.Handle(), &pending, FALSE)) << "an invalid area is left behind";
    const std::vector<uint32_t> pixels = ReadPixels(window.manager.GetPaintOffscreenBitmap(), 200, 150);
    EXPECT_EQ(pixels[125 * 200 + 100] & 0xFFFFFF, 0x00FF00u) << "the bottom was never painted again";
    EXPECT_EQ(pixels[25 * 200 + 100] & 0xFFFFFF, 0xFF0000u);
}

// Records the changes of the extended style's layered bit.
class LayeredStyleLog : public IMessageFilterUI
{
public:
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool&) override
    {
        if (uMsg == WM_STYLECHANGED && wParam == static_cast<WPARAM>(GWL_EXSTYLE)) {
            const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
            changes.push_back({(change->styleOld & WS_EX_LAYERED) != 0, (change->styleNew & WS_EX_LAYERED) != 0});
        }
        return 0;
    }
    std::vector<std::pair<bool, bool>> changes;
};

// Windows refuses constant alpha on a window that has been shown with
// per-pixel alpha until its layered style is cleared and set again (Wine
// accepts it either way): the style's changes and the applied attribute are
// what can be checked here.
TEST(PaintManagerPaint, OpacityAfterPerPixelAlphaSetsTheLayeredStyleAfresh)
{
    TestWindow window(100, 80);
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 100, 80});
    root->fill = 0x336699;
    window.manager.AttachDialog(root);
    window.manager.SetLayered(true);
    window.manager.Invalidate();
    window.Send(WM_TIMER, 0x2000, 0);
    window.Send(WM_TIMER, 0x2000, 0); // shown with UpdateLayeredWindow
    ASSERT_NE(window.manager.GetPaintOffscreenBitmap(), nullptr);

    LayeredStyleLog styles;
    window.manager.AddMessageFilter(&styles);
    window.manager.SetOpacity(128);
    window.manager.RemoveMessageFilter(&styles);
    EXPECT_FALSE(window.manager.IsLayered());
    const std::vector<std::pair<bool, bool>> expected = {{true, false}, {false, true}};
    EXPECT_EQ(styles.changes, expected);
    EXPECT_TRUE(GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window.Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_TRUE(flags & LWA_ALPHA);
    // Painting goes on as a normal window's.
    root->fill = 0x00FF00;
    window.manager.Invalidate();
    window.Pump();
    const std::vector<uint32_t> pixels = ReadPixels(window.manager.GetPaintOffscreenBitmap(), 100, 80);
    EXPECT_EQ(pixels[40 * 100 + 50] & 0xFFFFFF, 0x00FF00u);
}

TEST(PaintManagerPaint, RepeatedPaintsLeakNoGdiObjects)
{
    TestWindow window(160, 120);
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 160, 120});
    auto* framed = root->Add(new ProbeControl(L"framed", nullptr, RECT{10, 10, 90, 60}));
    framed->SetAttribute(L"bordersize", L"2");
    framed->SetAttribute(L"bordercolor", L"#FF000000");
    framed->SetAttribute(L"borderround", L"6,6");
    framed->SetAttribute(L"bkcolor", L"#80FF8000");
    window.manager.AttachDialog(root);
    window.manager.SetShowUpdateRect(true);
    window.Pump();
    const DWORD before = testsupport::CountGdiObjects();
    ASSERT_GT(before, 0u) << "no way to count GDI objects here";
    // The counter sees new objects: a leak could not hide from it.
    HPEN pens[5];
    for (HPEN& pen : pens)
        pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    EXPECT_EQ(testsupport::CountGdiObjects(), before + 5);
    for (HPEN pen : pens)
        DeleteObject(pen);
    for (int i = 0; i < 300; ++i) {
        window.manager.Invalidate();
        window.Pump();
    }
    const DWORD after = testsupport::CountGdiObjects();
    EXPECT_LE(after, before + 2) << "GDI objects leak per paint";
}

// The size of a bitmap, as GDI reports it.
SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

TEST(PaintManagerPaint, OffscreenSurfaceFollowsTheWindowSizeWithoutLeaking)
{
    TestWindow window(100, 80);
    PaintRedAndBlue(window, RECT{0, 0, 50, 80}, RECT{50, 0, 100, 80});
    ASSERT_NE(window.manager.GetPaintOffscreenBitmap(), nullptr);
    EXPECT_EQ(BitmapSize(window.manager.GetPaintOffscreenBitmap()).cx, 100);
    const DWORD before = testsupport::CountGdiObjects();
    for (int i = 0; i < 20; ++i) {
        const int width = 120 + (i % 2) * 20;
        SetWindowPos(window.Handle(), nullptr, 0, 0, width, 90, SWP_NOZORDER | SWP_NOMOVE);
        window.manager.Invalidate();
        window.Pump();
        const SIZE size = BitmapSize(window.manager.GetPaintOffscreenBitmap());
        EXPECT_EQ(size.cx, width);
        EXPECT_EQ(size.cy, 90);
    }
    EXPECT_LE(testsupport::CountGdiObjects(), before + 2) << "a resized surface leaks";
    // The new surface holds the new paint: the right half is blue.
    const std::vector<uint32_t> pixels = ReadPixels(window.manager.GetPaintOffscreenBitmap(), 140, 90);
    EXPECT_EQ(pixels[40 * 140 + 75] & 0xFFFFFF, 0x0000FFu);
}

TEST(PaintManagerPaint, LayeredImageIsTheWindowsAlphaMask)
{
    TestWindow window(100, 80);
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 100, 80});
    root->SetBkColor(0xFFFF0000);
    window.manager.AttachDialog(root);
    // The mask: opaque on the left half, fully transparent on the right.
    BYTE* bits = nullptr;
    HBITMAP mask = CreateArgbDib(100, 80, &bits);
    ASSERT_NE(mask, nullptr);
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 100; ++x)
            reinterpret_cast<uint32_t*>(bits)[y * 100 + x] = x < 50 ? 0xFFFFFFFFu : 0u;
    }
    ASSERT_NE(window.manager.AddImage(L"mask", mask, 100, 80, true), nullptr);
    window.manager.SetLayered(true);
    window.manager.SetLayeredImage(L"mask");
    window.Send(WM_TIMER, 0x2000, 0); // the layered repaint tick
    window.Send(WM_TIMER, 0x2000, 0); // after the first layout the whole window again
    const std::vector<uint32_t> pixels = ReadPixels(window.manager.GetPaintOffscreenBitmap(), 100, 80);
    EXPECT_TRUE(testsupport::Near(pixels[40 * 100 + 20], 0xFFFF0000u)) << std::hex << pixels[40 * 100 + 20];
    EXPECT_EQ(pixels[40 * 100 + 80], 0u) << std::hex << pixels[40 * 100 + 80];
    // A new size makes the mask again at that size.
    SetWindowPos(window.Handle(), nullptr, 0, 0, 60, 40, SWP_NOZORDER | SWP_NOMOVE);
    window.manager.Invalidate();
    window.Send(WM_TIMER, 0x2000, 0);
    window.Send(WM_TIMER, 0x2000, 0);
    EXPECT_EQ(BitmapSize(window.manager.GetPaintOffscreenBitmap()).cx, 60);
    window.manager.SetLayered(false);
}

TEST(PaintManagerPaint, WindowWithoutTreeIsFilledWhite)
{
    TestWindow window(50, 40);
    InvalidateRect(window.Handle(), nullptr, FALSE);
    window.Pump();
    RECT update = {0, 0, 0, 0};
    EXPECT_FALSE(GetUpdateRect(window.Handle(), &update, FALSE)); // validated
}

TEST(PaintManagerPaint, ResizedWindowLaysTheTreeOutAgain)
{
    TestWindow window(100, 100);
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 0, 0});
    window.manager.AttachDialog(root);
    window.Pump();
    EXPECT_EQ(root->GetPos().right, 100);
    SetWindowPos(window.Handle(), nullptr, 0, 0, 140, 90, SWP_NOZORDER | SWP_NOMOVE);
    window.Pump();
    EXPECT_EQ(root->GetPos().right, 140);
    EXPECT_EQ(root->GetPos().bottom, 90);
}

} // namespace

namespace {

TEST(PaintManagerPaint, SnapshotsOfAControlAndOfTheWindow)
{
    TestWindow window(100, 80);
    const RedAndBlue boxes = PaintRedAndBlue(window, RECT{10, 10, 30, 30}, RECT{50, 10, 70, 30});
    ProbeControl* red = boxes.red;
    ProbeControl* blue = boxes.blue;

    HBITMAP control = CRenderEngine::GenerateBitmap(&window.manager, red, RECT{10, 10, 30, 30});
    ASSERT_NE(control, nullptr);
    std::vector<uint32_t> pixels = ReadPixels(control, 20, 20);
    EXPECT_EQ(pixels[5 * 20 + 5] & 0xFFFFFF, 0xFF0000u);
    DeleteObject(control);

    // Half-black filter over the window's picture.
    HBITMAP filtered = CRenderEngine::GenerateBitmap(&window.manager, RECT{40, 0, 80, 40}, nullptr, 0x80000000);
    ASSERT_NE(filtered, nullptr);
    pixels = ReadPixels(filtered, 40, 40);
    EXPECT_TRUE(testsupport::Near(pixels[20 * 40 + 20] & 0xFFFFFF, 0x00007F)) << std::hex << pixels[20 * 40 + 20];
    EXPECT_TRUE(testsupport::Near(pixels[2 * 40 + 2] & 0xFFFFFF, 0x7F7F7F)) << std::hex << pixels[2 * 40 + 2];
    DeleteObject(filtered);

    // Up to a stop control: the blue one is not painted.
    HBITMAP stopped = CRenderEngine::GenerateBitmap(&window.manager, RECT{0, 0, 100, 80}, blue);
    ASSERT_NE(stopped, nullptr);
    pixels = ReadPixels(stopped, 100, 80);
    EXPECT_EQ(pixels[20 * 100 + 20] & 0xFFFFFF, 0xFF0000u);
    EXPECT_NE(pixels[20 * 100 + 60] & 0xFFFFFF, 0x0000FFu);
    DeleteObject(stopped);
}

} // namespace
