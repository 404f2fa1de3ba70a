// The edit field without a native window: its text area arithmetic, skin
// attributes, size estimate and painting.
#include "EditTestSupport.h"

#include "../support/DibCanvas.h"
#include "../support/GdiObjectCount.h"
#include "control/EditUIWnd.h"

#include <memory>

using namespace Facet;
using testsupport::DibCanvas;
using testsupport::EditWindow;

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// How many pixels of the canvas have exactly this colour (0x00RRGGBB).
int CountColor(const DibCanvas& canvas, uint32_t rgb)
{
    int count = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            count += canvas.Rgb(x, y) == rgb ? 1 : 0;
    return count;
}

bool SamePixels(const DibCanvas& a, const DibCanvas& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Rgb(x, y) != b.Rgb(x, y))
                return false;
    return true;
}

} // namespace

TEST(EditTextArea, IsTheFontHighAndCentredInsideThePadding)
{
    // A 50-pixel-high field, padding 4,3,4,3, a font 19 pixels high.
    const RECT area = EditTextArea(RECT{100, 200, 300, 250}, RECT{4, 3, 4, 3}, 19);
    EXPECT_TRUE(SameRect(area, RECT{104, 215, 296, 234}));
    // A font as high as (or higher than) the area leaves the area as it is.
    EXPECT_TRUE(SameRect(EditTextArea(RECT{0, 0, 100, 25}, RECT{4, 3, 4, 3}, 19), RECT{4, 3, 96, 22}));
    EXPECT_TRUE(SameRect(EditTextArea(RECT{0, 0, 100, 20}, RECT{4, 3, 4, 3}, 19), RECT{4, 3, 96, 17}));
    // An odd remainder leaves the extra pixel below.
    EXPECT_TRUE(SameRect(EditTextArea(RECT{0, 0, 100, 30}, RECT{0, 0, 0, 0}, 19), RECT{0, 5, 100, 24}));
}

TEST(EditControl, DefaultsAndAttributes)
{
    CEditUI edit;
    EXPECT_EQ(edit.GetInterface(L"Edit"), &edit);
    EXPECT_NE(edit.GetInterface(L"Label"), nullptr);
    EXPECT_EQ(edit.GetControlFlags(), static_cast<UINT>(UIFLAG_TABSTOP | UIFLAG_SETCURSOR));
    EXPECT_EQ(edit.GetMaxChar(), 255u);
    EXPECT_EQ(edit.GetNativeEditBkColor(), 0xFFFFFFFFu);
    EXPECT_TRUE(SameRect(edit.GetTextPadding(), RECT{4, 3, 4, 3}));

    edit.SetAttribute(L"numberonly", L"true");
    edit.SetAttribute(L"maxchar", L"16");
    edit.SetAttribute(L"TipValue", L"address"); // this one name ignores case
    edit.SetAttribute(L"nativebkcolor", L"#80FF0000");
    edit.SetAttribute(L"textpadding", L"2,2,2,2"); // the label's
    EXPECT_EQ(edit.GetWindowStyles(), ES_NUMBER);
    EXPECT_EQ(edit.GetMaxChar(), 16u);
    EXPECT_EQ(edit.GetTipValue(), L"address");
    EXPECT_EQ(edit.GetNativeEditBkColor(), 0x80FF0000u);
    EXPECT_TRUE(SameRect(edit.GetTextPadding(), RECT{2, 2, 2, 2}));

    // Only exactly "true" switches on.
    edit.SetAttribute(L"readonly", L"TRUE");
    edit.SetAttribute(L"numberonly", L"false");
    EXPECT_FALSE(edit.IsReadOnly());
    EXPECT_FALSE(edit.IsNumberOnly());

    edit.SetEnabled(false);
    EXPECT_EQ(edit.GetControlFlags(), 0u);
}

TEST_F(EditWindow, EstimateIsTheFixedSizeOrTheFontHeightPlusEight)
{
    const int fontHeight = window.manager.GetFontInfo(-1)->tm.tmHeight;
    const SIZE free = edit->EstimateSize(SIZE{500, 500});
    EXPECT_EQ(free.cx, 0);
    EXPECT_EQ(free.cy, fontHeight + 8);
    edit->SetFixedWidth(120);
    edit->SetFixedHeight(30);
    const SIZE fixed = edit->EstimateSize(SIZE{500, 500});
    EXPECT_EQ(fixed.cx, 120);
    EXPECT_EQ(fixed.cy, 30);
}

TEST_F(EditWindow, TipValueAndTextArePaintedInTheTipColourWhileEnabled)
{
    edit->SetBkColor(0);
    edit->SetTipValue(L"Proxy");
    DibCanvas tip(300, 200);
    tip.Fill(0xFFFFFFFF);
    edit->PaintText(tip.Dc());
    EXPECT_GT(CountColor(tip, 0xA6A6A6), 0);

    edit->SetText(L"10.0.0.1");
    DibCanvas text(300, 200);
    text.Fill(0xFFFFFFFF);
    edit->PaintText(text.Dc());
    EXPECT_GT(CountColor(text, 0xA6A6A6), 0);
    EXPECT_FALSE(SamePixels(tip, text));

    edit->SetDisabledTextColor(0xFF0000FF);
    edit->SetEnabled(false);
    DibCanvas disabled(300, 200);
    disabled.Fill(0xFFFFFFFF);
    edit->PaintText(disabled.Dc());
    EXPECT_EQ(CountColor(disabled, 0xA6A6A6), 0);
    EXPECT_GT(CountColor(disabled, 0x0000FF), 0);

    // Empty text and tip: nothing at all.
    edit->SetText(L"");
    edit->SetTipValue(L"");
    edit->SetEnabled(true);
    DibCanvas empty(300, 200);
    empty.Fill(0xFFFFFFFF);
    edit->PaintText(empty.Dc());
    EXPECT_EQ(CountColor(empty, 0xFFFFFF), 300 * 200);
}

TEST_F(EditWindow, PasswordTextIsPaintedAsPasswordCharacters)
{
    auto paint = [this](const wchar_t* text, bool password) {
        edit->SetText(text);
        edit->SetPasswordMode(password);
        auto canvas = std::make_unique<DibCanvas>(300, 200);
        canvas->Fill(0xFFFFFFFF);
        edit->PaintText(canvas->Dc());
        return canvas;
    };
    const auto masked = paint(L"abc", true);
    const auto stars = paint(L"***", false);
    const auto plain = paint(L"abc", false);
    EXPECT_TRUE(SamePixels(*masked, *stars));
    EXPECT_FALSE(SamePixels(*masked, *plain));
}

TEST_F(EditWindow, TheNativeBackgroundBrushesAreUsedAndReleased)
{
    // An opaque colour fills the native window's background.
    edit->SetNativeEditBkColor(0xFF00C000);
    window.manager.SetFocus(edit);
    HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    RECT client = {};
    GetClientRect(native, &client);
    {
        DibCanvas canvas(client.right, client.bottom);
        canvas.Fill(0xFFFFFFFF);
        SendMessageW(native, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
        EXPECT_EQ(canvas.Rgb(client.right - 2, client.bottom / 2), 0x00C000u);
    }
    window.manager.SetFocus(other);
    window.Pump();
    ASSERT_EQ(edit->GetNativeEditHWND(), nullptr);

    // A translucent colour makes a new pattern brush (from a snapshot bitmap)
    // at every colour request, an opaque one a solid brush once; replaced
    // brushes, and the last one at closing, are deleted with their bitmaps.
    auto openPaintClose = [&](DWORD color) {
        edit->SetNativeEditBkColor(color);
        window.manager.SetFocus(edit);
        native = edit->GetNativeEditHWND();
        ASSERT_NE(native, nullptr);
        for (int i = 0; i < 5; ++i) {
            InvalidateRect(native, nullptr, TRUE);
            UpdateWindow(native);
            SendMessageW(native, WM_CHAR, L'a' + i, 1);
        }
        window.manager.SetFocus(other);
        window.Pump();
        ASSERT_EQ(edit->GetNativeEditHWND(), nullptr);
    };
    // The first rounds create what stays cached (fonts, the class).
    openPaintClose(0x8000C000);
    openPaintClose(0xFF00C000);
    const DWORD before = testsupport::CountGdiObjects();
    if (before == 0)
        GTEST_SKIP() << "GDI objects cannot be counted here";
    for (int round = 0; round < 2; ++round) {
        openPaintClose(0x8000C000);
        openPaintClose(0xFF00C000);
    }
    EXPECT_EQ(testsupport::CountGdiObjects(), before);
}

TEST_F(EditWindow, StateImagesFollowHotFocusedAndDisabledWithTheNormalOneAsFallback)
{
    edit->SetAttribute(L"normalimage", L"color='#FFFF0000'");
    edit->SetAttribute(L"hotimage", L"color='#FF00FF00'");
    edit->SetAttribute(L"focusedimage", L"color='#FF0000FF'");
    edit->SetAttribute(L"disabledimage", L"file='no-such-image.png'");
    const RECT pos = edit->GetPos();
    auto painted = [&]() {
        DibCanvas canvas(300, 200);
        canvas.Fill(0xFFFFFFFF);
        edit->Paint(canvas.Dc(), pos, nullptr);
        return canvas.Rgb((pos.left + pos.right) / 2, pos.bottom - 2);
    };
    EXPECT_EQ(painted(), 0xFF0000u);

    window.MouseMove(pos.left + 5, pos.top + 5);
    EXPECT_EQ(painted(), 0x00FF00u);

    window.manager.SetFocus(edit); // focused wins over hot
    EXPECT_EQ(painted(), 0x0000FFu);

    window.manager.SetFocus(other);
    window.MouseMove(pos.left + 5, pos.bottom + 20); // left the edit
    EXPECT_EQ(painted(), 0xFF0000u);

    edit->SetEnabled(false); // the disabled image is missing: the normal one
    EXPECT_EQ(painted(), 0xFF0000u);
}
