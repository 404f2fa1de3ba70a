// CChildLayoutUI ("ChildLayout"): a container whose children are built from
// another skin file ("xmlfile") when it joins a window's tree, or at once when
// the file is named while it already belongs to one. Naming another file
// replaces the children. A file that would be built inside itself (directly
// or through further child layouts, under any spelling of its name) is
// refused, and so is one whose tree would take the window's tree deeper than
// the builder's nesting bound, so a skin cannot nest without end.
#pragma once

#include <windows.h>

#include "ContainerUI.h"

namespace Facet {

class CChildLayoutUI : public CContainerUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"ChildLayout";
    CChildLayoutUI();

    // "ChildLayout".
    const wchar_t* GetClass() const override;
    // This control for "ChildLayout", else the container's answer.
    LPVOID GetInterface(const wchar_t* name) override;

    // Joining a window builds the children (a window's root control is
    // attached without being initialised, so this does not wait for DoInit).
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    void DoInit() override;
    const CControlAttributeTable& GetAttributeTable() const override;

    void SetChildLayoutXML(const wchar_t* fileName);
    CFacetString GetChildLayoutXML() const;

private:
    // Builds the children of the current file unless they are built already.
    void LoadChildren();
    // Whether an ancestor child layout builds the same file.
    bool IsFileBuiltByAncestor() const;
    // Whether the layout is in a window's tree (not only lent the manager
    // while a builder applies its attributes): its ancestors are known then.
    bool IsInWindowTree() const;

    CFacetString m_sXMLFile;
    // The file the present children came from.
    CFacetString m_sLoadedFile;
};

} // namespace Facet
