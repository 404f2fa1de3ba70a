#include "Markup.h"

#include <cwchar>

namespace Facet {

namespace {

const wchar_t kEmpty[] = L"";

bool CopyValue(const wchar_t* value, wchar_t* buffer, unsigned long cch)
{
    if (buffer == nullptr || cch == 0)
        return true;
    unsigned long i = 0;
    for (; i + 1 < cch && value[i] != 0; ++i)
        buffer[i] = value[i];
    buffer[i] = 0;
    return true;
}

} // namespace

CMarkupNode::CMarkupNode() : m_pOwner(nullptr), m_iPos(0)
{
}

CMarkupNode::CMarkupNode(CMarkup* owner, int pos) : m_pOwner(owner), m_iPos(pos)
{
}

CMarkupNode CMarkupNode::GetChild(const wchar_t* name)
{
    const XMLELEMENT* element = Element();
    if (element == nullptr || name == nullptr)
        return CMarkupNode();
    for (unsigned int child = element->iChild; child != 0; child = m_pOwner->m_pElements[child].iNext) {
        if (wcscmp(m_pOwner->m_pstrXML + m_pOwner->m_pElements[child].iStart, name) == 0)
            return Link(child);
    }
    return CMarkupNode();
}

const wchar_t* CMarkupNode::GetValue() const
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? m_pOwner->m_pstrXML + element->iData : nullptr;
}

bool CMarkupNode::HasAttributes()
{
    return AttributeCount() > 0;
}

bool CMarkupNode::HasAttribute(const wchar_t* name)
{
    return name != nullptr && FindAttribute(name) >= 0;
}

const wchar_t* CMarkupNode::GetAttributeValue(const wchar_t* name)
{
    if (Element() == nullptr)
        return nullptr;
    const int index = name != nullptr ? FindAttribute(name) : -1;
    return index >= 0 ? AttributeValueAt(index) : kEmpty;
}

bool CMarkupNode::GetAttributeValue(int index, wchar_t* buffer, unsigned long cch)
{
    if (index < 0 || index >= AttributeCount())
        return false;
    return CopyValue(AttributeValueAt(index), buffer, cch);
}

bool CMarkupNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, unsigned long cch)
{
    if (name == nullptr)
        return false;
    const int index = FindAttribute(name);
    return index >= 0 && CopyValue(AttributeValueAt(index), buffer, cch);
}

bool CMarkupNode::GetPosition(int& line, int& column) const
{
    const XMLELEMENT* element = Element();
    return element != nullptr && m_pOwner->GetLineColumn(element->iStart, line, column);
}

bool CMarkupNode::GetAttributePosition(int index, int& line, int& column)
{
    if (index < 0 || index >= AttributeCount())
        return false;
    return m_pOwner->GetLineColumn(AttributeAt(index).iName, line, column);
}

int CMarkupNode::FindAttribute(const wchar_t* name) const
{
    const int count = AttributeCount();
    for (int i = 0; i < count; ++i) {
        if (wcscmp(AttributeNameAt(i), name) == 0)
            return i;
    }
    return -1;
}

// Only called with an index below AttributeCount(), so the node has an element.
const XMLATTRIBUTE& CMarkupNode::AttributeAt(int index) const
{
    return m_pOwner->m_pAttributes[m_pOwner->m_pElements[m_iPos].iAttributes + static_cast<unsigned int>(index)];
}

const wchar_t* CMarkupNode::AttributeNameAt(int index) const
{
    return m_pOwner->m_pstrXML + AttributeAt(index).iName;
}

const wchar_t* CMarkupNode::AttributeValueAt(int index) const
{
    return m_pOwner->m_pstrXML + AttributeAt(index).iValue;
}

} // namespace Facet
