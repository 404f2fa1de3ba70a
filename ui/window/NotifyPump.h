// CNotifyPump: dispatches named notifications to member functions through a
// static message map per class. A map lists (notification type, control name,
// handler) entries and names the map of the base class, so a derived window
// adds handlers and inherits those of its bases. Notifications that name a
// virtual window go first to the pumps registered under that name.
//
// A class that handles notifications declares its map in the class body and
// defines it in one source file:
//
//     class CMyWindow : public WindowImplBase {
//         FACET_DECLARE_MESSAGE_MAP()
//         void OnOk(TNotifyUI& msg);
//     };
//
//     FACET_BEGIN_MESSAGE_MAP(CMyWindow, WindowImplBase)
//         FACET_ON_CLICK_CTRNAME(L"ok", CMyWindow::OnOk)
//     FACET_END_MESSAGE_MAP()
//
// Handlers are named with their class, as a member pointer is formed.
#pragma once

#include <windows.h>

#include "../core/FacetString.h"
#include "../core/FacetStringPtrMap.h"
#include "../core/PaintManagerTypes.h"

namespace Facet {

// A member function pointer of a derived class keeps its this-adjustment only
// when the pump's member pointers can carry one: MSVC otherwise picks the
// single-inheritance form for CNotifyPump, which drops it.
#if defined(_MSC_VER)
#define FACET_PUMP_INHERITANCE __multiple_inheritance
#else
#define FACET_PUMP_INHERITANCE
#endif

class FACET_PUMP_INHERITANCE CNotifyPump;

// Handler signatures of a map entry.
enum FacetMessageSignature : UINT {
    FacetSig_end = 0, // ends the entry array
    FacetSig_lwl = 1, // LRESULT handler(WPARAM, LPARAM)
    FacetSig_vn = 2,  // void handler(TNotifyUI&)
};

typedef void (CNotifyPump::*FacetNotifyHandler)(TNotifyUI& msg);
typedef LRESULT (CNotifyPump::*FacetParamHandler)(WPARAM wParam, LPARAM lParam);

struct FACET_MSGMAP_ENTRY
{
    CFacetString sMsgType;
    // Empty: any control.
    CFacetString sCtrlName;
    UINT nSig;
    // The handler for FacetSig_vn, or for FacetSig_lwl; the other one is null.
    FacetNotifyHandler pfnNotify;
    FacetParamHandler pfnParam;
};

struct FACET_MSGMAP
{
    // The base class's map, or null for none.
    const FACET_MSGMAP* (*pfnGetBaseMap)();
    const FACET_MSGMAP_ENTRY* lpEntries;
};

class FACET_PUMP_INHERITANCE CNotifyPump
{
public:
    CNotifyPump();
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    // Registers `pump` for notifications whose virtual window is `name`; false
    // when the name is taken (or null). The pump is not owned.
    bool AddVirtualWnd(const wchar_t* name, CNotifyPump* pump);
    // False when the name is not registered.
    bool RemoveVirtualWnd(const wchar_t* name);

    // Offers the notification to the pumps of its virtual window (the names
    // compared without regard to case), then to this pump's own map.
    void NotifyPump(TNotifyUI& msg);
    // Runs the handler of this pump's maps for the notification; true when one ran.
    bool LoopDispatch(TNotifyUI& msg);

    virtual const FACET_MSGMAP* GetMessageMap() const;

protected:
    ~CNotifyPump();

    static const FACET_MSGMAP* _GetBaseMessageMap();
    static const FACET_MSGMAP messageMap;

private:
    static const FACET_MSGMAP_ENTRY _messageEntries[];

    CFacetStringPtrMap m_VirtualWndMap;
};

// The entry of `map` that handles a notification of `type` from a sender named
// `senderName`: an entry naming the sender exactly wins at once, otherwise the
// last entry of that type without a control name. Null when none matches.
// Scans one map only, up to its end entry.
const FACET_MSGMAP_ENTRY* FindMessageEntry(const FACET_MSGMAP& map, const wchar_t* type, const wchar_t* senderName);

} // namespace Facet

// -- Map declaration and definition --

#define FACET_DECLARE_MESSAGE_MAP()                                                                                    \
private:                                                                                                               \
    static const ::Facet::FACET_MSGMAP_ENTRY _messageEntries[];                                                        \
                                                                                                                       \
protected:                                                                                                             \
    static const ::Facet::FACET_MSGMAP messageMap;                                                                     \
    static const ::Facet::FACET_MSGMAP* _GetBaseMessageMap();                                                          \
                                                                                                                       \
public:                                                                                                                \
    const ::Facet::FACET_MSGMAP* GetMessageMap() const override;                                                       \
                                                                                                                       \
private:

#define FACET_BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                   \
    const ::Facet::FACET_MSGMAP* theClass::_GetBaseMessageMap()                                                        \
    {                                                                                                                  \
        return &baseClass::messageMap;                                                                                 \
    }                                                                                                                  \
    const ::Facet::FACET_MSGMAP* theClass::GetMessageMap() const                                                       \
    {                                                                                                                  \
        return &theClass::messageMap;                                                                                  \
    }                                                                                                                  \
    const ::Facet::FACET_MSGMAP theClass::messageMap = {&theClass::_GetBaseMessageMap, &theClass::_messageEntries[0]}; \
    const ::Facet::FACET_MSGMAP_ENTRY theClass::_messageEntries[] = {
#define FACET_END_MESSAGE_MAP()                                                                                        \
    {                                                                                                                  \
        L"", L"", ::Facet::FacetSig_end, nullptr, nullptr                                                              \
    }                                                                                                                  \
    }                                                                                                                  \
    ;

// A handler taking the notification, for `type` from the control `name` (L"" for any).
#define FACET_ON_MSGTYPE_CTRNAME(type, name, memberFxn)                                                                \
    {type, name, ::Facet::FacetSig_vn, static_cast<::Facet::FacetNotifyHandler>(&memberFxn), nullptr},

#define FACET_ON_MSGTYPE(type, memberFxn) FACET_ON_MSGTYPE_CTRNAME(type, L"", memberFxn)

// A handler taking the notification's wParam and lParam.
#define FACET_ON_MSGTYPE_CTRNAME_PARAMS(type, name, memberFxn)                                                         \
    {type, name, ::Facet::FacetSig_lwl, nullptr, static_cast<::Facet::FacetParamHandler>(&memberFxn)},

#define FACET_ON_CLICK_CTRNAME(name, memberFxn) FACET_ON_MSGTYPE_CTRNAME(L"click", name, memberFxn)
#define FACET_ON_SELECTCHANGED_CTRNAME(name, memberFxn) FACET_ON_MSGTYPE_CTRNAME(L"selectchanged", name, memberFxn)
#define FACET_ON_TEXTCHANGED_CTRNAME(name, memberFxn) FACET_ON_MSGTYPE_CTRNAME(L"textchanged", name, memberFxn)
#define FACET_ON_KILLFOCUS_CTRNAME(name, memberFxn) FACET_ON_MSGTYPE_CTRNAME(L"killfocus", name, memberFxn)
#define FACET_ON_SETFOCUS_CTRNAME(name, memberFxn) FACET_ON_MSGTYPE_CTRNAME(L"setfocus", name, memberFxn)
#define FACET_ON_TIMER_CTRNAME(name, memberFxn) FACET_ON_MSGTYPE_CTRNAME(L"timer", name, memberFxn)
#define FACET_ON_MENU_CTRNAME(name, memberFxn) FACET_ON_MSGTYPE_CTRNAME(L"menu", name, memberFxn)
#define FACET_ON_RETURN_CTRNAME(name, memberFxn) FACET_ON_MSGTYPE_CTRNAME(L"return", name, memberFxn)
