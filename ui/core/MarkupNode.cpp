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

CMarkupNode::CMarkupNode() : m_pOwner(nullptr), m_iPos(0) {}

CMarkupNode::CMarkupNode(CMarkup* owner, int pos) : m_pOwner(owner), m_iPos(pos) {}

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
    return AttributeCount() > 0;
}

bool CMarkupNode::HasAttribute(const wchar_t* name)
{
    return name != nullptr && FindAttribute(name) >= 0;
}

int CMarkupNode::GetAttributeCount()
{
    return AttributeCount();
}

const wchar_t* CMarkupNode::GetAttributeName(int index)
{
    const XMLATTRIBUTE* attribute = AttributeOf(index);
    return attribute != nullptr ? m_pOwner->m_pstrXML + attribute->iName : Element() != nullptr ? kEmpty : nullptr;
}

const wchar_t* CMarkupNode::GetAttributeValue(int index)
{
    const XMLATTRIBUTE* attribute = AttributeOf(index);
    return attribute != nullptr ? m_pOwner->m_pstrXML + attribute->iValue : Element() != nullptr ? kEmpty : nullptr;
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

int CMarkupNode::AttributeCount() const
{
    const XMLELEMENT* element = Element();
    if (element == nullptr)
        return 0;
    return element->nAttributes < static_cast<unsigned int>(MAX_XML_ATTRIBUTES) ? static_cast<int>(element->nAttributes)
                                                                                : MAX_XML_ATTRIBUTES;
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

const XMLATTRIBUTE* CMarkupNode::AttributeOf(int index) const
{
    const XMLELEMENT* element = Element();
    if (element == nullptr || index < 0 || index >= MAX_XML_ATTRIBUTES ||
        static_cast<unsigned int>(index) >= element->nAttributes)
        return nullptr;
    return &m_pOwner->m_pAttributes[element->iAttributes + static_cast<unsigned int>(index)];
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
