#include "../support/DibCanvas.h"
#include "../support/GdiObjectCount.h"
#include "../support/TestWindow.h"
#include "render/GdiObjects.h"
#include "render/RenderEngine.h"

#include <gtest/gtest.h>

#include <cstdint>
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
    EXPECT_EQ(pixels[60 * 100 + 60] >> 24, 0u);      // nothing drawn: transparent
    window.manager.SetLayered(false);
    EXPECT_FALSE(GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
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
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 100, 80});
    root->fill = 0xFFFFFF;
    auto* red = root->Add(new ProbeControl(L"red", nullptr, RECT{10, 10, 30, 30}));
    red->fill = 0xFF0000;
    auto* blue = root->Add(new ProbeControl(L"blue", nullptr, RECT{50, 10, 70, 30}));
    blue->fill = 0x0000FF;
    window.manager.AttachDialog(root);
    window.Pump();

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
