// A real native window for paint-manager tests, and small controls that record
// what reaches them.
#pragma once

#include <windows.h>

#include "control/ControlUI.h"
#include "core/PaintManager.h"

#include <string>
#include <vector>

namespace testsupport {

// A top-level popup window whose messages go to a paint manager first, as a
// window of the framework does.
class TestWindow
{
public:
    explicit TestWindow(int width = 200, int height = 150, DWORD exStyle = 0)
    {
        static const wchar_t kClass[] = L"FacetTestWindow";
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClass;
        wc.style = CS_DBLCLKS;
        RegisterClassW(&wc);
        Facet::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
        m_hWnd = CreateWindowExW(exStyle, kClass, L"test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), this);
        manager.Init(m_hWnd);
    }
    ~TestWindow()
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageW(m_hWnd, message, wParam, lParam);
    }
    void MouseMove(int x, int y, WPARAM keys = 0) { Send(WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }
    void ButtonDown(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void ButtonUp(int x, int y) { Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

    // Paints what is invalid now and delivers every posted message.
    void Pump()
    {
        UpdateWindow(m_hWnd);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    Facet::CPaintManagerUI manager;

private:
    static LRESULT CALLBACK Procedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (self != nullptr && message != WM_NCDESTROY) {
            LRESULT result = 0;
            if (self->manager.MessageHandler(message, wParam, lParam, result))
                return result;
        }
        if (message == WM_NCDESTROY)
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

// A control that logs the events it receives ("enter A", "move A", ...) and
// paints itself in a solid colour that tests may change without invalidating.
class ProbeControl : public Facet::CControlUI
{
public:
    ProbeControl(const wchar_t* name, std::vector<std::wstring>* log, RECT placement, bool tabStop = false)
        : m_log(log), m_placement(placement), m_tabStop(tabStop)
    {
        SetName(name);
    }

    UINT GetControlFlags() const override { return m_tabStop ? Facet::UIFLAG_TABSTOP : 0; }
    const RECT& Placement() const { return m_placement; }

    void DoEvent(Facet::TEventUI& event) override
    {
        if (m_log != nullptr)
            m_log->push_back(EventName(event.Type) + L" " + GetName().GetData());
        CControlUI::DoEvent(event);
    }

    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop) override
    {
        lastPaint = rcPaint;
        ++paintCount;
        if (fill != 0) {
            HBRUSH brush = CreateSolidBrush(RGB((fill >> 16) & 0xFF, (fill >> 8) & 0xFF, fill & 0xFF));
            RECT rc;
            IntersectRect(&rc, &GetPos(), &rcPaint);
            FillRect(hDC, &rc, brush);
            DeleteObject(brush);
        }
        return CControlUI::DoPaint(hDC, rcPaint, stop);
    }

    static std::wstring EventName(int type)
    {
        switch (type) {
        case Facet::UIEVENT_MOUSEMOVE:
            return L"move";
        case Facet::UIEVENT_MOUSELEAVE:
            return L"leave";
        case Facet::UIEVENT_MOUSEENTER:
            return L"enter";
        case Facet::UIEVENT_MOUSEHOVER:
            return L"hover";
        case Facet::UIEVENT_BUTTONDOWN:
            return L"down";
        case Facet::UIEVENT_BUTTONUP:
            return L"up";
        case Facet::UIEVENT_DBLCLICK:
            return L"dblclick";
        case Facet::UIEVENT_RBUTTONDOWN:
            return L"rdown";
        case Facet::UIEVENT_SETFOCUS:
            return L"setfocus";
        case Facet::UIEVENT_KILLFOCUS:
            return L"killfocus";
        case Facet::UIEVENT_KEYDOWN:
            return L"keydown";
        case Facet::UIEVENT_KEYUP:
            return L"keyup";
        case Facet::UIEVENT_CHAR:
            return L"char";
        case Facet::UIEVENT_TIMER:
            return L"timer";
        case Facet::UIEVENT_SCROLLWHEEL:
            return L"wheel";
        case Facet::UIEVENT_CONTEXTMENU:
            return L"menu";
        case Facet::UIEVENT_WINDOWSIZE:
            return L"size";
        default:
            return L"event" + std::to_wstring(type);
        }
    }

    DWORD fill = 0; // 0x00RRGGBB, or 0 for nothing
    RECT lastPaint = {0, 0, 0, 0};
    int paintCount = 0;

private:
    std::vector<std::wstring>* m_log;
    RECT m_placement;
    bool m_tabStop;
};

// A minimal container for paint-manager tests: it owns its children, places
// each at its own placement and searches and paints them like a layout does.
class TestContainer : public ProbeControl
{
public:
    TestContainer(const wchar_t* name, std::vector<std::wstring>* log, RECT placement)
        : ProbeControl(name, log, placement)
    {
    }
    ~TestContainer() override
    {
        for (CControlUI* child : m_children)
            child->Delete();
    }

    template <typename Control>
    Control* Add(Control* child)
    {
        m_children.push_back(child);
        if (GetManager() != nullptr)
            GetManager()->InitControls(child, this);
        return child;
    }
    // Takes the child out and destroys it.
    void Remove(CControlUI* child)
    {
        for (size_t i = 0; i < m_children.size(); ++i) {
            if (m_children[i] == child) {
                m_children.erase(m_children.begin() + static_cast<long>(i));
                child->Delete();
                return;
            }
        }
    }

    void SetManager(Facet::CPaintManagerUI* manager, CControlUI* parent, bool init = true) override
    {
        for (CControlUI* child : m_children)
            child->SetManager(manager, this, init);
        CControlUI::SetManager(manager, parent, init);
    }

    void SetPos(RECT rc, bool needInvalidate = true) override
    {
        CControlUI::SetPos(rc, needInvalidate);
        for (CControlUI* child : m_children) {
            const auto* probe = dynamic_cast<ProbeControl*>(child);
            RECT place = probe != nullptr ? probe->Placement() : child->GetPos();
            OffsetRect(&place, rc.left, rc.top);
            child->SetPos(place, false);
        }
    }

    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop) override
    {
        if (!ProbeControl::DoPaint(hDC, rcPaint, stop))
            return false;
        for (CControlUI* child : m_children) {
            if (!child->IsVisible())
                continue;
            if (!child->Paint(hDC, rcPaint, stop))
                return false;
        }
        return true;
    }

    CControlUI* FindControl(Facet::FINDCONTROLPROC proc, LPVOID data, UINT flags) override
    {
        using namespace Facet;
        if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible())
            return nullptr;
        if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled())
            return nullptr;
        if ((flags & UIFIND_HITTEST) != 0 && !PtInRect(&GetPos(), *static_cast<POINT*>(data)))
            return nullptr;
        if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr)
            return nullptr;
        const bool mayAnswer = (flags & UIFIND_HITTEST) == 0 || IsMouseEnabled();
        if ((flags & UIFIND_ME_FIRST) != 0 && mayAnswer) {
            if (CControlUI* result = proc(this, data))
                return result;
        }
        if ((flags & UIFIND_TOP_FIRST) != 0) {
            for (size_t i = m_children.size(); i-- > 0;)
                if (CControlUI* result = m_children[i]->FindControl(proc, data, flags))
                    return result;
        } else {
            for (CControlUI* child : m_children)
                if (CControlUI* result = child->FindControl(proc, data, flags))
                    return result;
        }
        if ((flags & UIFIND_ME_FIRST) == 0 && mayAnswer)
            return proc(this, data);
        return nullptr;
    }

private:
    std::vector<CControlUI*> m_children;
};

} // namespace testsupport
