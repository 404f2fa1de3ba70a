// The window FacetPreview shows a skin in: the framework's window template
// reading the skin from a folder or from a zip archive in that folder, with
// the chosen tab pages selected and sized for the display scale as the
// updater sizes its window.
#pragma once

#include "PreviewOptions.h"

#include "window/WindowImplBase.h"

#include <string>
#include <vector>

namespace preview {

class PreviewWindow : public Facet::WindowImplBase
{
public:
    // `zipName` empty: `skinName` is a file of the resource folder; otherwise
    // an entry of that archive.
    PreviewWindow(const PreviewOptions& options, bool quitWhenDestroyed);

    const wchar_t* GetWndClassName() const override;
    Facet::CFacetString GetSkinDirectory() override;
    Facet::CFacetString GetSkinFileName() override;
    Facet::FacetSkinResourceType GetResourceType() const override;
    Facet::CFacetString GetZIPFileName() const override;
    // Selects the chosen pages and scales the window.
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;

    // Whether destroying the window ends the message loop.
    void SetQuitWhenDestroyed(bool quit);
    // What the selections could not do ("no tab layout named ..."); empty
    // when all were made.
    const std::vector<std::wstring>& GetSelectionProblems() const;

private:
    void SelectPages();
    // The skin's "size" times the display scale, as the updater sizes its window.
    void FitToScale();

    const PreviewOptions& m_options;
    bool m_quitWhenDestroyed;
    std::vector<std::wstring> m_selectionProblems;
};

} // namespace preview
