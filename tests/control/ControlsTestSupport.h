// A real window with a paint manager hosting labels, buttons, options and
// progress bars, a log of the notifications they raise, and helpers that
// paint one control onto a memory canvas and find where its ink landed.
#pragma once

#include "Facet.h"

#include "../support/DibCanvas.h"
#include "../support/InkColumns.h"
#include "../support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace testsupport {

const uint32_t kWhite = 0xFFFFFF;

// "type name" of every notification delivered, except the focus changes
// that every click brings.
class NotifyLog : public Facet::INotifyUI
{
public:
    void Notify(Facet::TNotifyUI& msg) override
    {
        if (msg.sType == L"setfocus" || msg.sType == L"killfocus")
            return;
        entries.push_back(std::wstring(msg.sType.GetData()) + L" " +
                          (msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"-"));
    }
    // The entries of one type.
    std::vector<std::wstring> Of(const std::wstring& type) const
    {
        std::vector<std::wstring> found;
        for (const std::wstring& entry : entries)
            if (entry.compare(0, type.size() + 1, type + L" ") == 0)
                found.push_back(entry);
        return found;
    }
    std::vector<std::wstring> entries;
};

class ControlsTest : public ::testing::Test
{
protected:
    static const int kFont = 16;

    void SetUp() override
    {
        root = new testsupport::TestContainer(L"root", nullptr, RECT{0, 0, 300, 200});
        window.manager.AttachDialog(root);
        window.manager.AddNotifier(&notes);
        const Facet::CFacetString face = window.manager.GetDefaultFontInfo()->sFontName;
        ASSERT_NE(window.manager.AddFont(kFont, face.GetData(), 16, false, false, false), nullptr);
        window.Pump();
        notes.entries.clear();
    }

    // Adds `control` at `rc` (window coordinates) and lays the window out.
    template <typename Control>
    Control* Place(Control* control, RECT rc, const wchar_t* name = L"ctl")
    {
        control->SetName(name);
        control->SetPos(rc);
        root->Add(control);
        window.manager.NeedUpdate();
        window.Pump();
        return control;
    }

    // Paints `control` alone on a white canvas the size of the window.
    void PaintAlone(Facet::CControlUI* control)
    {
        canvas.Fill(0xFFFFFFFF);
        control->Paint(canvas.Dc(), control->GetPos(), nullptr);
    }

    uint32_t CentreOf(const Facet::CControlUI* control) const
    {
        const RECT& rc = control->GetPos();
        return canvas.Rgb((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    testsupport::TestWindow window{300, 200};
    testsupport::DibCanvas canvas{300, 200};
    NotifyLog notes;
    testsupport::TestContainer* root = nullptr;
};

} // namespace testsupport
