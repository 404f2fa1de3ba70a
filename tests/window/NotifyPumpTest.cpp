// Message-map dispatch: exact sender names before handlers for any control,
// base maps, handler signatures, a handler class that is not the first base,
// and notifications for virtual windows.
#include "control/ControlUI.h"
#include "window/NotifyPump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Facet::CNotifyPump;
using Facet::TNotifyUI;

namespace {

TNotifyUI MakeNotify(const wchar_t* type, Facet::CControlUI* sender, const wchar_t* virtualWnd = L"")
{
    TNotifyUI msg;
    msg.sType = type;
    msg.sVirtualWnd = virtualWnd;
    msg.pSender = sender;
    msg.dwTimestamp = 0;
    msg.ptMouse = POINT{0, 0};
    msg.wParam = 0;
    msg.lParam = 0;
    return msg;
}

class BasePump : public CNotifyPump
{
    FACET_DECLARE_MESSAGE_MAP()
public:
    std::vector<std::wstring> log;

    void OnBaseClick(TNotifyUI&) { log.push_back(L"base click"); }
    void OnBaseText(TNotifyUI& msg) { log.push_back(L"base text " + std::wstring(msg.pSender->GetName().GetData())); }
    void OnBaseOdd(TNotifyUI&) { log.push_back(L"base odd"); }
};

FACET_BEGIN_MESSAGE_MAP(BasePump, CNotifyPump)
FACET_ON_MSGTYPE(L"click", BasePump::OnBaseClick)
FACET_ON_MSGTYPE(L"textchanged", BasePump::OnBaseText)
FACET_ON_MSGTYPE(L"odd", BasePump::OnBaseOdd)
FACET_END_MESSAGE_MAP()

// Data before the pump in the object, so that the pump is not at offset 0.
struct Padding
{
    virtual ~Padding() = default;
    char bytes[24] = {};
};

class DerivedPump : public Padding, public BasePump
{
    FACET_DECLARE_MESSAGE_MAP()
public:
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;

    void OnAnyFirst(TNotifyUI&) { log.push_back(L"any first"); }
    void OnOk(TNotifyUI&) { log.push_back(L"ok"); }
    void OnAnyLast(TNotifyUI&) { log.push_back(L"any last"); }
    LRESULT OnTimerParams(WPARAM wParam, LPARAM lParam)
    {
        lastWParam = wParam;
        lastLParam = lParam;
        log.push_back(L"timer");
        return 0;
    }
};

FACET_BEGIN_MESSAGE_MAP(DerivedPump, BasePump)
FACET_ON_MSGTYPE(L"click", DerivedPump::OnAnyFirst)
FACET_ON_CLICK_CTRNAME(L"ok", DerivedPump::OnOk)
FACET_ON_MSGTYPE(L"click", DerivedPump::OnAnyLast)
FACET_ON_MSGTYPE_CTRNAME_PARAMS(L"timer", L"", DerivedPump::OnTimerParams)
// An entry of a signature no handler has ends the search.
{L"odd", L"", 7, nullptr, nullptr}, FACET_END_MESSAGE_MAP()

                                        class NamedControl : public Facet::CControlUI
{
public:
    explicit NamedControl(const wchar_t* name) { SetName(name); }
};

} // namespace

TEST(NotifyPumpDispatch, ExactSenderNameWinsOverEntriesForAnyControl)
{
    DerivedPump pump;
    NamedControl ok(L"ok");
    NamedControl other(L"other");
    NamedControl okUpper(L"OK");

    TNotifyUI fromOk = MakeNotify(L"click", &ok);
    EXPECT_TRUE(pump.LoopDispatch(fromOk));
    TNotifyUI fromOther = MakeNotify(L"click", &other);
    EXPECT_TRUE(pump.LoopDispatch(fromOther));
    // Control names are compared exactly: "OK" is just another control.
    TNotifyUI fromOkUpper = MakeNotify(L"click", &okUpper);
    EXPECT_TRUE(pump.LoopDispatch(fromOkUpper));
    // Notification types are compared exactly too.
    TNotifyUI upperType = MakeNotify(L"Click", &ok);
    EXPECT_FALSE(pump.LoopDispatch(upperType));

    EXPECT_EQ(pump.log, (std::vector<std::wstring>{L"ok", L"any last", L"any last"}));
}

TEST(NotifyPumpDispatch, UnhandledTypesGoThroughTheBaseMapsAndMayStayUnhandled)
{
    DerivedPump pump;
    NamedControl field(L"field");

    TNotifyUI text = MakeNotify(L"textchanged", &field);
    EXPECT_TRUE(pump.LoopDispatch(text));
    TNotifyUI nobody = MakeNotify(L"selectchanged", &field);
    EXPECT_FALSE(pump.LoopDispatch(nobody));
    // The base's handler ran on the right object although the pump is not the
    // first base of the derived class.
    EXPECT_EQ(pump.log, (std::vector<std::wstring>{L"base text field"}));

    // The base class alone uses its own map.
    BasePump base;
    TNotifyUI click = MakeNotify(L"click", &field);
    EXPECT_TRUE(base.LoopDispatch(click));
    EXPECT_EQ(base.log, (std::vector<std::wstring>{L"base click"}));

    // The pump itself has no handlers.
    class PlainPump : public CNotifyPump
    {
    } plain;
    EXPECT_FALSE(plain.LoopDispatch(click));
}

TEST(NotifyPumpDispatch, HandlerSignatures)
{
    DerivedPump pump;
    NamedControl clock(L"clock");
    TNotifyUI timer = MakeNotify(L"timer", &clock);
    timer.wParam = 0x1234;
    timer.lParam = -77;
    EXPECT_TRUE(pump.LoopDispatch(timer));
    EXPECT_EQ(pump.lastWParam, static_cast<WPARAM>(0x1234));
    EXPECT_EQ(pump.lastLParam, static_cast<LPARAM>(-77));

    // The derived map's entry of an unknown signature ends the search: the
    // base's "odd" handler is not reached.
    TNotifyUI odd = MakeNotify(L"odd", &clock);
    EXPECT_FALSE(pump.LoopDispatch(odd));
    EXPECT_EQ(pump.log, (std::vector<std::wstring>{L"timer"}));
}

TEST(NotifyPumpDispatch, NotificationWithoutSenderUsesEntriesForAnyControl)
{
    DerivedPump pump;
    TNotifyUI click = MakeNotify(L"click", nullptr);
    EXPECT_TRUE(pump.LoopDispatch(click));
    EXPECT_EQ(pump.log, (std::vector<std::wstring>{L"any last"}));
}

TEST(NotifyPumpVirtualWindows, NamedVirtualWindowGetsTheNotificationFirst)
{
    BasePump main;
    DerivedPump page;
    NamedControl ok(L"ok");

    EXPECT_TRUE(main.AddVirtualWnd(L"Page", &page));
    EXPECT_FALSE(main.AddVirtualWnd(L"Page", &main));
    EXPECT_FALSE(main.AddVirtualWnd(nullptr, &main));

    // The virtual window name is compared without regard to case.
    TNotifyUI forPage = MakeNotify(L"click", &ok, L"page");
    main.NotifyPump(forPage);
    EXPECT_EQ(page.log, (std::vector<std::wstring>{L"ok"}));
    EXPECT_TRUE(main.log.empty());

    // What the page does not handle falls back to the main pump.
    TNotifyUI selection = MakeNotify(L"odd", &ok, L"PAGE");
    main.NotifyPump(selection);
    EXPECT_EQ(main.log, (std::vector<std::wstring>{L"base odd"}));

    // Without a virtual window name, or with an unknown one, only the main pump runs.
    TNotifyUI plain = MakeNotify(L"click", &ok);
    main.NotifyPump(plain);
    TNotifyUI unknown = MakeNotify(L"click", &ok, L"elsewhere");
    main.NotifyPump(unknown);
    EXPECT_EQ(main.log, (std::vector<std::wstring>{L"base odd", L"base click", L"base click"}));
    EXPECT_EQ(page.log.size(), 1u);

    EXPECT_TRUE(main.RemoveVirtualWnd(L"Page"));
    EXPECT_FALSE(main.RemoveVirtualWnd(L"Page"));
    main.NotifyPump(forPage);
    EXPECT_EQ(page.log.size(), 1u);
    EXPECT_EQ(main.log.size(), 4u);
}
