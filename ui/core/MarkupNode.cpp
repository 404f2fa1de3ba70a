#include "Markup.h"

#include <cwchar>

namespace Facet {

namespace {

const wchar_t kEmpty[] = L"";

inline bool IsBlank(wchar_t c)
{
    return c > 0 && c <= 32;
}

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

CMarkupNode::CMarkupNode() : m_iPos(0), m_nAttributes(0), m_aAttributes(), m_pOwner(nullptr) {}

CMarkupNode::CMarkupNode(CMarkup* owner, int pos) : m_iPos(pos), m_nAttributes(0), m_aAttributes(), m_pOwner(owner) {}

bool CMarkupNode::IsValid() const
{
    return m_pOwner != nullptr;
}

// The node's element, or null when the node is invalid or its document has gone.
const XMLELEMENT* CMarkupNode::Element() const
{
    if (m_pOwner == nullptr || m_pOwner->m_pElements == nullptr || m_iPos <= 0 ||
        static_cast<unsigned int>(m_iPos) >= m_pOwner->m_nElements)
        return nullptr;
    return &m_pOwner->m_pElements[m_iPos];
}

CMarkupNode CMarkupNode::Link(unsigned int index) const
{
    if (index == 0)
        return CMarkupNode();
    return CMarkupNode(m_pOwner, static_cast<int>(index));
}

CMarkupNode CMarkupNode::GetParent()
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? Link(element->iParent) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetSibling()
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? Link(element->iNext) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetChild()
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? Link(element->iChild) : CMarkupNode();
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

bool CMarkupNode::HasSiblings() const
{
    const XMLELEMENT* element = Element();
    return element != nullptr && element->iNext != 0;
}

bool CMarkupNode::HasChildren() const
{
    const XMLELEMENT* element = Element();
    return element != nullptr && element->iChild != 0;
}

const wchar_t* CMarkupNode::GetName() const
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? m_pOwner->m_pstrXML + element->iStart : nullptr;
}

const wchar_t* CMarkupNode::GetValue() const
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? m_pOwner->m_pstrXML + element->iData : nullptr;
}

bool CMarkupNode::HasAttributes()
{
    return GetAttributeCount() > 0;
}

bool CMarkupNode::HasAttribute(const wchar_t* name)
{
    if (name == nullptr || !HasMappedAttributes())
        return false;
    return FindAttribute(name) >= 0;
}

int CMarkupNode::GetAttributeCount()
{
    return HasMappedAttributes() ? m_nAttributes : 0;
}

const wchar_t* CMarkupNode::GetAttributeName(int index)
{
    if (!HasMappedAttributes())
        return nullptr;
    if (index < 0 || index >= m_nAttributes)
        return kEmpty;
    return AttributeNameAt(index);
}

const wchar_t* CMarkupNode::GetAttributeValue(int index)
{
    if (!HasMappedAttributes())
        return nullptr;
    if (index < 0 || index >= m_nAttributes)
        return kEmpty;
    return AttributeValueAt(index);
}

const wchar_t* CMarkupNode::GetAttributeValue(const wchar_t* name)
{
    if (!HasMappedAttributes())
        return nullptr;
    const int index = name != nullptr ? FindAttribute(name) : -1;
    return index >= 0 ? AttributeValueAt(index) : kEmpty;
}

bool CMarkupNode::GetAttributeValue(int index, wchar_t* buffer, unsigned long cch)
{
    if (!HasMappedAttributes() || index < 0 || index >= m_nAttributes)
        return false;
    return CopyValue(AttributeValueAt(index), buffer, cch);
}

bool CMarkupNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, unsigned long cch)
{
    if (name == nullptr || !HasMappedAttributes())
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
    if (!HasMappedAttributes() || index < 0 || index >= m_nAttributes)
        return false;
    return m_pOwner->GetLineColumn(m_aAttributes[index].iName, line, column);
}

bool CMarkupNode::HasMappedAttributes()
{
    if (Element() == nullptr)
        return false;
    if (m_nAttributes == 0)
        MapAttributes();
    return true;
}

int CMarkupNode::FindAttribute(const wchar_t* name) const
{
    for (int i = 0; i < m_nAttributes; ++i) {
        if (wcscmp(AttributeNameAt(i), name) == 0)
            return i;
    }
    return -1;
}

const wchar_t* CMarkupNode::AttributeNameAt(int index) const
{
    return m_pOwner->m_pstrXML + m_aAttributes[index].iName;
}

const wchar_t* CMarkupNode::AttributeValueAt(int index) const
{
    return m_pOwner->m_pstrXML + m_aAttributes[index].iValue;
}

// Finds the attribute pairs of the element in the parsed text. The parser has left
// "name\0 \"value\0" runs between the element name and its content (freed characters
// blanked), so the mapper steps from one terminated string to the next until it reaches
// the content position. Every step is checked against that position, which lies inside
// the text, so the walk never leaves it.
void CMarkupNode::MapAttributes()
{
    m_nAttributes = 0;
    const XMLELEMENT* element = Element();
    if (element == nullptr)
        return;
    const wchar_t* text = m_pOwner->m_pstrXML;
    const wchar_t* data = text + element->iData;
    const wchar_t* pos = text + element->iStart;
    while (m_nAttributes < MAX_XML_ATTRIBUTES) {
        pos += wcslen(pos) + 1;
        if (pos >= data)
            return;
        while (IsBlank(*pos))
            ++pos;
        const wchar_t* name = pos;
        pos += wcslen(pos) + 1;
        if (pos >= data)
            return;
        while (IsBlank(*pos))
            ++pos;
        if (*pos != L'"')
            return;
        ++pos;
        m_aAttributes[m_nAttributes].iName = static_cast<unsigned int>(name - text);
        m_aAttributes[m_nAttributes].iValue = static_cast<unsigned int>(pos - text);
        ++m_nAttributes;
    }
}

} // namespace Facet
