// Windows built on the window template for the tests, with their skin source
// chosen per test, and the process-wide skin settings put back afterwards.
#pragma once

#include "control/ControlUI.h"
#include "core/PaintManager.h"
#include "window/WindowImplBase.h"

#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// The folder of the sample skins copied beside the test program.
inline std::wstring DataFolder()
{
    return testsupport::ProgramFolder() + L"\\template_data\\";
}

// Resets the process-wide skin source before and after each test.
class SkinSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }

    static void Reset()
    {
        Facet::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
        Facet::CPaintManagerUI::SetResourceZip(L"", false);
        Facet::CPaintManagerUI::SetResourcePath(L"");
    }
};

// A template window whose skin, source and class name the test chooses, and
// which records what reaches it.
class SkinWindow : public Facet::WindowImplBase
{
public:
    explicit SkinWindow(const std::wstring& skinFile, Facet::FacetSkinResourceType type = Facet::FACET_SKIN_FILE)
        : m_skinFile(skinFile), m_type(type)
    {
    }
    ~SkinWindow() override
    {
        if (::IsWindow(GetHWND()))
            ::DestroyWindow(GetHWND());
    }

    const wchar_t* GetWndClassName() const override { return L"FacetTemplateTestWindow"; }
    Facet::CFacetString GetSkinDirectory() override { return Facet::CFacetString(skinDirectory.c_str()); }
    Facet::CFacetString GetSkinFileName() override { return Facet::CFacetString(m_skinFile.c_str()); }
    Facet::FacetSkinResourceType GetResourceType() const override { return m_type; }
    Facet::CFacetString GetZIPFileName() const override { return Facet::CFacetString(zipFile.c_str()); }
    Facet::CFacetString GetResourceID() const override { return Facet::CFacetString(resourceId.c_str()); }

    void InitWindow() override { ++initCount; }
    void OnClick(Facet::TNotifyUI& msg) override
    {
        clicked.push_back(msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"");
        WindowImplBase::OnClick(msg);
    }
    void OnFinalMessage(HWND hWnd) override
    {
        WindowImplBase::OnFinalMessage(hWnd);
        ++finalCount;
    }

    // Creates the window at (x, y) and lets it paint once, so that its tree is laid out.
    HWND Open(DWORD style = WS_POPUP | WS_VISIBLE, int x = 40, int y = 30)
    {
        const HWND hWnd = Create(nullptr, L"template test", style, 0, x, y, 0, 0);
        Pump();
        return hWnd;
    }

    // Paints what is invalid and delivers posted messages (through the
    // framework's translation, as its message loop does) until none is left.
    void Pump()
    {
        if (::IsWindow(GetHWND()))
            ::UpdateWindow(GetHWND());
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!Facet::CPaintManagerUI::TranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (::IsWindow(GetHWND()))
            ::UpdateWindow(GetHWND());
    }

    using WindowImplBase::GetResourceZipBuffer;

    Facet::CControlUI* Find(const wchar_t* name) { return GetPaintManager().FindControl(name); }

    // WM_NCHITTEST for a point given in client coordinates.
    LRESULT HitAt(int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(GetHWND(), &pt);
        return ::SendMessageW(GetHWND(), WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }

    std::wstring skinDirectory;
    std::wstring zipFile;
    std::wstring resourceId;
    int initCount = 0;
    int finalCount = 0;
    std::vector<std::wstring> clicked;

private:
    std::wstring m_skinFile;
    Facet::FacetSkinResourceType m_type;
};

} // namespace testsupport
