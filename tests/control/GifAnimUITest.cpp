// Animated GIF frames: decoding a two-frame GIF written by the test, frame
// delays, the timer that advances the frames, and what each frame paints.
#include "Facet.h"

#include "../support/ControlTestSupport.h"
#include "../support/DibCanvas.h"
#include "../support/TestFiles.h"
#include "../support/TestWindow.h"
#include "../support/ControlInputSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace Facet;
using testsupport::TestWindow;

namespace {

// A 1x1 GIF89a of two frames, red then blue, shown for `firstDelay` and
// `secondDelay` hundredths of a second, looping for ever.
std::string TwoFrameGif(unsigned char firstDelay, unsigned char secondDelay)
{
    std::string gif("GIF89a", 6);
    const unsigned char screen[] = {1, 0, 1, 0, 0x80, 0, 0}; // 1x1, global table of 2 colours
    gif.append(reinterpret_cast<const char*>(screen), sizeof(screen));
    const unsigned char palette[] = {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF};
    gif.append(reinterpret_cast<const char*>(palette), sizeof(palette));
    const unsigned char loop[] = {0x21, 0xFF, 0x0B, 'N', 'E',  'T',  'S',  'C',  'A', 'P',
                                  'E',  '2',  '.',  '0', 0x03, 0x01, 0x00, 0x00, 0x00};
    gif.append(reinterpret_cast<const char*>(loop), sizeof(loop));
    const unsigned char delays[2] = {firstDelay, secondDelay};
    for (int frame = 0; frame < 2; ++frame) {
        const unsigned char control[] = {0x21, 0xF9, 0x04, 0x00, delays[frame], 0x00, 0x00, 0x00};
        gif.append(reinterpret_cast<const char*>(control), sizeof(control));
        const unsigned char descriptor[] = {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x00};
        gif.append(reinterpret_cast<const char*>(descriptor), sizeof(descriptor));
        // LZW, minimum code size 2, 3-bit codes: clear (4), the colour
        // index, end (5), packed from the lowest bit.
        const unsigned char low = frame == 0 ? 0x44 : 0x4C;
        const unsigned char data[] = {0x02, 0x02, low, 0x01, 0x00};
        gif.append(reinterpret_cast<const char*>(data), sizeof(data));
    }
    gif.push_back(0x3B);
    return gif;
}

::testing::AssertionResult MostlyRed(uint32_t rgb)
{
    if (((rgb >> 16) & 0xFF) > 200 && (rgb & 0xFF) < 60)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour " << std::hex << rgb;
}

::testing::AssertionResult MostlyBlue(uint32_t rgb)
{
    if ((rgb & 0xFF) > 200 && ((rgb >> 16) & 0xFF) < 60)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour " << std::hex << rgb;
}

class Gif : public ::testing::Test
{
protected:
    void SetUp() override { testsupport::WriteFileText(folder + L"\\anim.gif", TwoFrameGif(30, 50)); }

    CGifAnimUI* Attach(const wchar_t* attributes)
    {
        auto* root = new CContainerUI();
        auto* gif = new CGifAnimUI();
        gif->SetAttributeList(attributes);
        root->Add(gif);
        window.manager.AttachDialog(root);
        window.Pump();
        return gif;
    }

    // The control painted into a bitmap of its size; the colour of its centre.
    static uint32_t PaintedCentre(CGifAnimUI* gif)
    {
        testsupport::DibCanvas canvas(gif->GetWidth(), gif->GetHeight());
        canvas.Fill(0);
        gif->DoPaint(canvas.Dc(), gif->GetPos(), nullptr);
        return canvas.Rgb(canvas.Width() / 2, canvas.Height() / 2);
    }

    testsupport::ScopedDpi dpi{96};
    std::wstring folder = testsupport::FreshTempFolder(L"gifanim");
    testsupport::ScopedResourcePath path{folder};
    TestWindow window{16, 16};
};

} // namespace

TEST_F(Gif, DecodesBothFramesWithTheirDelays)
{
    CGifAnimUI* gif = Attach(L"bkimage=\"anim.gif\" autoplay=\"false\"");
    ASSERT_EQ(gif->GetFrameCount(), 2u);
    EXPECT_EQ(gif->GetFrameDelay(0), 300u);
    EXPECT_EQ(gif->GetFrameDelay(1), 500u);
    EXPECT_EQ(gif->GetFrameDelay(2), 0u);
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(gif->GetCurrentFrame(), 0u);
}

TEST_F(Gif, TheTimerAdvancesTheFramesAndEachPaintsItsColour)
{
    CGifAnimUI* gif = Attach(L"bkimage=\"file='anim.gif'\"");
    ASSERT_EQ(gif->GetFrameCount(), 2u);
    EXPECT_TRUE(gif->IsPlaying());
    EXPECT_TRUE(MostlyRed(PaintedCentre(gif)));

    testsupport::FireTimer(gif, CGifAnimUI::kFrameTimerId);
    EXPECT_EQ(gif->GetCurrentFrame(), 1u);
    EXPECT_TRUE(MostlyBlue(PaintedCentre(gif)));

    testsupport::FireTimer(gif, CGifAnimUI::kFrameTimerId);
    EXPECT_EQ(gif->GetCurrentFrame(), 0u);
    EXPECT_TRUE(MostlyRed(PaintedCentre(gif)));

    // Paused, the timer moves nothing; stopped, it is back at the start.
    testsupport::FireTimer(gif, CGifAnimUI::kFrameTimerId);
    gif->PauseGif();
    testsupport::FireTimer(gif, CGifAnimUI::kFrameTimerId);
    EXPECT_EQ(gif->GetCurrentFrame(), 1u);
    gif->StopGif();
    EXPECT_EQ(gif->GetCurrentFrame(), 0u);
    EXPECT_TRUE(MostlyRed(PaintedCentre(gif)));
}

TEST_F(Gif, FramesAdvanceOnTheirOwn)
{
    CGifAnimUI* gif = Attach(L"bkimage=\"anim.gif\"");
    ASSERT_TRUE(gif->IsPlaying());
    EXPECT_TRUE(testsupport::PumpUntil([&] { return gif->GetCurrentFrame() == 1u; }));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return gif->GetCurrentFrame() == 0u; }));
}

TEST_F(Gif, AsTheRootOfAWindowItStartsAtItsFirstPaint)
{
    auto* gif = new CGifAnimUI();
    gif->SetBkImage(L"anim.gif");
    window.manager.AttachDialog(gif);
    window.Pump();
    EXPECT_EQ(gif->GetFrameCount(), 2u);
    EXPECT_TRUE(gif->IsPlaying());
}

TEST_F(Gif, AutoSizeTakesTheImageSize)
{
    auto* root = new CHorizontalLayoutUI();
    auto* gif = new CGifAnimUI();
    gif->SetAttributeList(L"bkimage=\"anim.gif\" autosize=\"true\" autoplay=\"false\"");
    root->Add(gif);
    window.manager.AttachDialog(root);
    window.Pump();
    EXPECT_EQ(gif->GetFixedWidth(), 1);
    EXPECT_EQ(gif->GetFixedHeight(), 1);
    EXPECT_EQ(gif->GetWidth(), 1);
}

TEST_F(Gif, AMissingOrBrokenImageShowsNothing)
{
    testsupport::WriteFileText(folder + L"\\broken.gif", "GIF89a not really");
    CGifAnimUI* gif = Attach(L"bkimage=\"missing.gif\"");
    EXPECT_EQ(gif->GetFrameCount(), 0u);
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(PaintedCentre(gif), 0u);
    gif->SetBkImage(L"broken.gif");
    EXPECT_EQ(gif->GetFrameCount(), 0u);
    testsupport::FireTimer(gif, CGifAnimUI::kFrameTimerId);
    EXPECT_EQ(gif->GetCurrentFrame(), 0u);
    // Naming a good image in the window decodes and starts it at once.
    gif->SetBkImage(L"anim.gif");
    EXPECT_EQ(gif->GetFrameCount(), 2u);
    EXPECT_TRUE(gif->IsPlaying());
}
