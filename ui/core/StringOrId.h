// STRINGorID: a resource named by a text or by a number.
#pragma once

#include <windows.h>

namespace Facet {

// Either a pointer to a resource name text (stored as is, not owned) or an
// integer resource number carried in the pointer by the platform's
// integer-resource convention (the number in the low 16 bits, upper bits 0),
// so that m_lpstr can be handed straight to FindResource and friends.
class STRINGorID
{
public:
    STRINGorID(const wchar_t* name) : m_lpstr(name) {}
    // Only the low 16 bits of `id` are kept.
    STRINGorID(unsigned int id) : m_lpstr(MAKEINTRESOURCEW(id & 0xFFFFu)) {}

    // True when this carries a number rather than a text.
    bool IsId() const { return IS_INTRESOURCE(m_lpstr) != 0; }
    // The number (meaningful when IsId()).
    unsigned int GetId() const { return static_cast<unsigned int>(reinterpret_cast<ULONG_PTR>(m_lpstr) & 0xFFFFu); }

    const wchar_t* m_lpstr;
};

} // namespace Facet
