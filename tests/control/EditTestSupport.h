// A window with an edit field and a second control to move the focus to, and
// a log of the notifications the edit raises.
#pragma once

#include "../support/TestWindow.h"

#include "control/EditUI.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Every notification with the sender's text at the moment it was delivered.
class NotifyLog : public Facet::INotifyUI
{
public:
    void Notify(Facet::TNotifyUI& msg) override
    {
        types.push_back(msg.sType.GetData());
        texts.push_back(msg.pSender != nullptr ? msg.pSender->GetText().GetData() : L"");
        if (onNotify)
            onNotify(msg);
    }
    int Count(const wchar_t* type) const
    {
        int count = 0;
        for (const std::wstring& t : types)
            count += t == type ? 1 : 0;
        return count;
    }
    void Clear()
    {
        types.clear();
        texts.clear();
    }

    std::vector<std::wstring> types;
    std::vector<std::wstring> texts;
    std::function<void(Facet::TNotifyUI&)> onNotify;
};

class EditWindow : public testing::Test
{
protected:
    static constexpr RECT kEditPlace = {10, 10, 160, 40};
    static constexpr RECT kOtherPlace = {10, 100, 160, 130};

    void SetUp() override
    {
        root = new testsupport::TestContainer(L"root", nullptr, RECT{0, 0, 300, 200});
        // The other control comes first: the first tab stop gets the focus
        // when the window is shown.
        other = root->Add(new testsupport::ProbeControl(L"other", nullptr, kOtherPlace, true));
        edit = new Facet::CEditUI();
        edit->SetName(L"edit");
        edit->SetPos(kEditPlace, false);
        root->Add(edit);
        window.manager.AttachDialog(root);
        window.manager.AddNotifier(&notes);
        window.Pump(); // first layout
        // The first layout asks for the initial focus, given at the next paint.
        InvalidateRect(window.Handle(), nullptr, FALSE);
        window.Pump();
        ASSERT_EQ(window.manager.GetFocus(), other);
        notes.Clear();
    }
    void TearDown() override
    {
        notes.onNotify = nullptr;
        window.manager.RemoveNotifier(&notes);
    }

    // A press and release on the point, the release going where the platform
    // would send it: to the window that holds the mouse capture.
    void Click(int x, int y)
    {
        window.ButtonDown(x, y);
        const HWND capture = GetCapture();
        if (capture != nullptr && capture != window.Handle()) {
            POINT pt = {x, y};
            MapWindowPoints(window.Handle(), capture, &pt, 1);
            SendMessageW(capture, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        } else {
            window.ButtonUp(x, y);
        }
        window.Pump();
    }
    void ClickEdit() { Click(kEditPlace.left + 20, kEditPlace.top + 15); }
    void ClickOther() { Click(kOtherPlace.left + 20, kOtherPlace.top + 15); }

    // Characters typed into the native edit, as the message loop delivers them.
    static void Type(HWND hWnd, const wchar_t* text)
    {
        for (const wchar_t* p = text; *p != L'\0'; ++p)
            SendMessageW(hWnd, WM_CHAR, *p, 1);
    }
    static std::wstring NativeText(HWND hWnd)
    {
        wchar_t buffer[512] = {};
        GetWindowTextW(hWnd, buffer, 512);
        return buffer;
    }
    static DWORD Style(HWND hWnd) { return static_cast<DWORD>(GetWindowLongW(hWnd, GWL_STYLE)); }

    testsupport::TestWindow window{300, 200};
    NotifyLog notes;
    testsupport::TestContainer* root = nullptr;
    Facet::CEditUI* edit = nullptr;
    testsupport::ProbeControl* other = nullptr;
};

} // namespace testsupport
