// The body that lays out the rows of a list or of a combo's drop-down: a
// vertical layout that knows its owner and answers to its own class name.
// `TBody` is the concrete body class; it names itself in `kClassName`.
#pragma once

#include <windows.h>

#include <cwchar>

#include "../layout/VerticalLayoutUI.h"

namespace Facet {

template <class TBody, class TOwner>
class COwnedBodyUI : public CVerticalLayoutUI
{
public:
    explicit COwnedBodyUI(TOwner* owner) : m_pOwner(owner) {}

    const wchar_t* GetClass() const override { return TBody::kClassName; }

    // This body for its class name, else the vertical layout's answer.
    LPVOID GetInterface(const wchar_t* name) override
    {
        if (name != nullptr && wcscmp(name, TBody::kClassName) == 0)
            return static_cast<TBody*>(this);
        return CVerticalLayoutUI::GetInterface(name);
    }

    TOwner* GetOwner() const { return m_pOwner; }

private:
    TOwner* m_pOwner;
};

} // namespace Facet
