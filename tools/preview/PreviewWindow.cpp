#include "PreviewWindow.h"

#include "core/DpiManager.h"

namespace preview {

PreviewWindow::PreviewWindow(const std::wstring& skinName, const std::wstring& zipName, bool quitWhenDestroyed)
    : m_skinName(skinName), m_zipName(zipName), m_quitWhenDestroyed(quitWhenDestroyed)
{
}

const wchar_t* PreviewWindow::GetWndClassName() const
{
    return L"FacetPreviewWindow";
}

Facet::CFacetString PreviewWindow::GetSkinDirectory()
{
    // The resource folder is set from the command line before the window exists.
    return Facet::CFacetString();
}

Facet::CFacetString PreviewWindow::GetSkinFileName()
{
    return Facet::CFacetString(m_skinName.c_str());
}

Facet::FacetSkinResourceType PreviewWindow::GetResourceType() const
{
    return m_zipName.empty() ? Facet::FACET_SKIN_FILE : Facet::FACET_SKIN_ZIP;
}

Facet::CFacetString PreviewWindow::GetZIPFileName() const
{
    return Facet::CFacetString(m_zipName.c_str());
}

void PreviewWindow::InitWindow()
{
    WindowImplBase::InitWindow();
    // The controls' sizes were multiplied by the display scale as the skin was
    // read; the skin's "size" gave the window its size unscaled.
    const SIZE skin = GetPaintManager().GetInitSize();
    if (skin.cx <= 0 || skin.cy <= 0)
        return;
    const double scale = Facet::DpiManager::GetInstance()->GetWindowInchPex();
    ::SetWindowPos(GetHWND(), nullptr, 0, 0, static_cast<int>(skin.cx * scale), static_cast<int>(skin.cy * scale),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PreviewWindow::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    if (m_quitWhenDestroyed)
        ::PostQuitMessage(0);
}

} // namespace preview
