// A framework window built from a skin that holds one control of each kind
// assistive technology tells apart, read back through the platform's
// accessibility interface in the same process.
#pragma once

#include "Facet.h"

#include "../support/ControlTestSupport.h"
#include "../support/AccessibleClient.h"
#include "../support/NotifyLog.h"
#include "../support/TestWindow.h"

#include <gtest/gtest.h>

namespace testsupport {

// Every kind of control, laid out top to bottom in a 400 x 420 window.
const wchar_t kSkin[] =
    L"<Window size=\"400,420\">"
    L"<VerticalLayout name=\"root\">"
    L"  <Label name=\"title\" text=\"Account\" height=\"20\" />"
    L"  <HorizontalLayout name=\"fields\" height=\"30\">"
    L"    <Label name=\"lbl_host\" text=\"Host:\" width=\"60\" />"
    L"    <Control width=\"4\" />"
    L"    <Edit name=\"host\" text=\"example.org\" width=\"120\" />"
    L"    <Label name=\"lbl_secret\" text=\"Secret\" width=\"60\" />"
    L"    <Edit name=\"secret\" password=\"true\" text=\"hunter2\" width=\"100\" />"
    L"  </HorizontalLayout>"
    L"  <HorizontalLayout name=\"buttons\" height=\"30\">"
    L"    <CheckBox name=\"remember\" text=\"Remember me\" width=\"110\" />"
    L"    <Option name=\"fast\" group=\"speed\" text=\"Fast\" width=\"50\" selected=\"true\" />"
    L"    <Option name=\"slow\" group=\"speed\" text=\"Slow\" width=\"50\" />"
    L"    <Button name=\"go\" text=\"Go\" tooltip=\"Start now\" width=\"50\" />"
    L"    <Button name=\"options\" tooltip=\"Options\" width=\"30\" />"
    L"    <Button name=\"closer\" accname=\"Close window\" tooltip=\"Close\" width=\"30\" />"
    L"  </HorizontalLayout>"
    L"  <Label name=\"caption\" text=\"Progress\" height=\"20\" />"
    L"  <Control height=\"4\" />"
    L"  <Progress name=\"bar\" height=\"10\" min=\"0\" max=\"200\" value=\"50\" />"
    L"  <Slider name=\"volume\" height=\"20\" min=\"0\" max=\"10\" value=\"7\" tooltip=\"Volume\" />"
    L"  <Label name=\"marked\" showhtml=\"true\" text=\"&lt;b&gt;Bold&lt;/b&gt; text\" height=\"20\" />"
    L"  <Button name=\"off\" text=\"Disabled\" enabled=\"false\" height=\"20\" />"
    L"  <Button name=\"gone\" text=\"Hidden\" visible=\"false\" height=\"20\" />"
    L"  <TabLayout name=\"pages\" height=\"40\">"
    L"    <VerticalLayout name=\"page_a\"><Label text=\"Page A\" /></VerticalLayout>"
    L"    <VerticalLayout name=\"page_b\"><Label text=\"Page B\" /></VerticalLayout>"
    L"  </TabLayout>"
    L"  <List name=\"list\" height=\"60\">"
    L"    <ListLabelElement text=\"One\" height=\"20\" />"
    L"    <ListLabelElement text=\"Two\" height=\"20\" />"
    L"  </List>"
    L"  <TreeView name=\"tree\" height=\"60\">"
    L"    <TreeNode text=\"Root\" height=\"20\"><TreeNode text=\"Leaf\" height=\"20\" /></TreeNode>"
    L"  </TreeView>"
    L"</VerticalLayout>"
    L"</Window>";

class AccessibleWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        Facet::CDialogBuilder builder;
        Facet::CControlUI* root = builder.Create(kSkin, nullptr, nullptr, &window.manager);
        ASSERT_NE(root, nullptr);
        window.manager.AttachDialog(root);
        window.manager.AddNotifier(&log);
        window.Pump();
        client = testsupport::ClientObjectOf(window.Handle());
        ASSERT_TRUE(client);
    }

    Facet::CControlUI* Control(const wchar_t* name) const { return window.manager.FindControl(name); }

    Accessible Find(const std::wstring& name, LONG role = 0) const
    {
        return testsupport::FindByName(client, name, role);
    }

    // The control's rectangle on the screen.
    RECT ScreenRect(const wchar_t* name) const
    {
        RECT rc = Control(name)->GetPos();
        MapWindowPoints(window.Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

    testsupport::ComApartment apartment;
    testsupport::ScopedDpi dpi{96};
    testsupport::NotifyLog log; // outlives the window, which may still notify as it goes
    testsupport::TestWindow window{400, 420};
    Accessible client;
};

} // namespace testsupport
