#include "PreviewWindow.h"

#include "core/DpiManager.h"
#include "layout/TabLayoutUI.h"

namespace preview {

PreviewWindow::PreviewWindow(const PreviewOptions& options, bool quitWhenDestroyed)
    : m_options(options), m_quitWhenDestroyed(quitWhenDestroyed)
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
    return Facet::CFacetString(m_options.skinName.c_str());
}

Facet::FacetSkinResourceType PreviewWindow::GetResourceType() const
{
    return m_options.zipName.empty() ? Facet::FACET_SKIN_FILE : Facet::FACET_SKIN_ZIP;
}

Facet::CFacetString PreviewWindow::GetZIPFileName() const
{
    return Facet::CFacetString(m_options.zipName.c_str());
}

void PreviewWindow::InitWindow()
{
    WindowImplBase::InitWindow();
    SelectPages();
    FitToScale();
}

void PreviewWindow::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    if (m_quitWhenDestroyed)
        ::PostQuitMessage(0);
}

void PreviewWindow::SetQuitWhenDestroyed(bool quit)
{
    m_quitWhenDestroyed = quit;
}

const std::vector<std::wstring>& PreviewWindow::GetSelectionProblems() const
{
    return m_selectionProblems;
}

void PreviewWindow::SelectPages()
{
    m_selectionProblems.clear();
    for (const TabSelection& selection : m_options.selections) {
        Facet::CControlUI* control = m_pm.FindControl(selection.layoutName.c_str());
        auto* tabs = Facet::InterfaceCast<Facet::CTabLayoutUI>(control);
        if (tabs == nullptr) {
            m_selectionProblems.push_back(L"--select: the skin has no tab layout named \"" + selection.layoutName +
                                          L"\"");
        } else if (!tabs->SelectItem(selection.page, false)) {
            m_selectionProblems.push_back(L"--select: \"" + selection.layoutName + L"\" has no page " +
                                          std::to_wstring(selection.page) + L" (it has " +
                                          std::to_wstring(tabs->GetCount()) + L")");
        }
    }
}

void PreviewWindow::FitToScale()
{
    RECT client = {};
    if (!::GetClientRect(m_hWnd, &client))
        return;
    const double scale = Facet::DpiManager::GetInstance()->GetWindowInchPex();
    const int width = static_cast<int>(scale * (client.right - client.left));
    const int height = static_cast<int>(scale * (client.bottom - client.top));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace preview
