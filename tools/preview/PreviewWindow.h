// The window FacetPreview shows a skin in: the framework's window template
// reading the skin from a folder or from a zip archive in that folder.
#pragma once

#include "window/WindowImplBase.h"

#include <string>

namespace preview {

class PreviewWindow : public Facet::WindowImplBase
{
public:
    // `zipName` empty: `skinName` is a file of the resource folder; otherwise
    // an entry of that archive.
    PreviewWindow(const std::wstring& skinName, const std::wstring& zipName, bool quitWhenDestroyed);

    const wchar_t* GetWndClassName() const override;
    Facet::CFacetString GetSkinDirectory() override;
    Facet::CFacetString GetSkinFileName() override;
    Facet::FacetSkinResourceType GetResourceType() const override;
    Facet::CFacetString GetZIPFileName() const override;
    void OnFinalMessage(HWND hWnd) override;
    // Sizes the window by the display scale, as the updater sizes its own.
    void InitWindow() override;

private:
    std::wstring m_skinName;
    std::wstring m_zipName;
    bool m_quitWhenDestroyed;
};

} // namespace preview
