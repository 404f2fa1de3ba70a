// A small non-validating reader for skin documents. The document is converted to one
// block of wide characters that the parser edits in place (names, values and text are
// terminated where they stand); a flat element table and a flat attribute table refer
// to them by position. A node is a handle: a document and an element index.
#pragma once

#include <cstddef>
#include <vector>

namespace Facet {

class CMarkup;
class CMarkupNode;

// One element of a document. Positions are character offsets into the document text,
// links are indexes into the element table (0 = none; element 0 is never an element).
typedef struct tagXMLELEMENT
{
    unsigned int iStart;      // the element's name
    unsigned int iChild;      // first child
    unsigned int iNext;       // next sibling
    unsigned int iParent;     // parent, 0 for a top-level element
    unsigned int iData;       // content: after the start tag's ">", or the "/" of "/>"
    unsigned int iAttributes; // its first attribute in the attribute table
    unsigned int nAttributes; // how many attributes it has
} XMLELEMENT;

// One attribute: the positions of its name and of its value in the document text.
typedef struct tagXMLATTRIBUTE
{
    unsigned int iName;
    unsigned int iValue;
} XMLATTRIBUTE;

class CMarkup
{
    friend class CMarkupNode;

public:
    explicit CMarkup(const wchar_t* xml = nullptr);
    ~CMarkup();

    bool Load(const wchar_t* xml);
    // encoding: 0 UTF-8 (default), 1 UTF-16 with byte-order mark, 2 ANSI code page; other values read as 1.
    bool LoadFromMem(unsigned char* bytes, unsigned long size, int encoding = 0);
    // Reads a document from the skin source (resource folder or resource zip) configured
    // on CPaintManagerUI.
    bool LoadFromFile(const wchar_t* fileName, int encoding = 0);
    void Release();
    bool IsValid() const;

    void SetPreserveWhitespace(bool preserve = true);
    void GetLastErrorMessage(wchar_t* buffer, unsigned long cch) const;
    void GetLastErrorLocation(wchar_t* buffer, unsigned long cch) const;
    // The line and column (1-based; a column counts UTF-16 units) of the text
    // where the last parse stopped; both 0 when the error names no place, such
    // as a file that cannot be read. They are counted only when a load fails.
    int GetLastErrorLine() const;
    int GetLastErrorColumn() const;

    // Whether the documents loaded from now on keep where their lines start,
    // so that nodes can say on which line and column they stand (for tools
    // that report on skins). Off by default: it costs one pass over the text.
    void SetKeepLinePositions(bool keep = true);
    // The line and column of a character offset of the document; false when
    // the document does not keep its line positions.
    bool GetLineColumn(unsigned int offset, int& line, int& column) const;

    CMarkupNode GetRoot();

    // The deepest nesting of elements a document may have.
    static constexpr unsigned int kMaxDepth = 1000;

private:
    CMarkup(const CMarkup&) = delete;
    CMarkup& operator=(const CMarkup&) = delete;

    // Drops the document but keeps its blocks for the next one.
    void Clear();
    // The text block, grown to hold at least `units` characters; null when
    // memory runs out.
    wchar_t* TextBlock(size_t units);
    // Parses the text block; on failure releases everything.
    bool ParseText();
    bool ParseDocument();
    void KeepLinePositions();
    // Counts the line and column of the error offset in `original`, the
    // document text as it was before the parse edited it.
    void LocateError(const wchar_t* original);
    bool ParseElements(wchar_t*& text, unsigned int parent, unsigned int depth);
    bool SkipDeclaration(wchar_t*& text);
    bool OpenElement(const wchar_t* text, unsigned int parent, unsigned int& previous, unsigned int& pos);
    void CloseEmptyElement(wchar_t*& text, unsigned int element);
    wchar_t* DecodeContent(wchar_t*& text, unsigned int element);
    bool ParseEndTag(wchar_t*& text, wchar_t* dest, const wchar_t* name, const wchar_t* nameEnd);
    bool ParseAttributes(wchar_t*& text, unsigned int element);
    void DecodeText(wchar_t*& text, wchar_t*& dest, wchar_t stop);
    bool ReserveElement(unsigned int* index);
    bool AddAttribute(unsigned int element, const wchar_t* name, const wchar_t* value);
    bool Failed(const wchar_t* message, const wchar_t* location = nullptr);

    wchar_t* m_pstrXML;
    size_t m_nTextCapacity;
    XMLELEMENT* m_pElements;
    unsigned int m_nElements;
    unsigned int m_nReservedElements;
    XMLATTRIBUTE* m_pAttributes;
    unsigned int m_nAttributes;
    unsigned int m_nReservedAttributes;
    wchar_t m_szErrorMsg[100];
    wchar_t m_szErrorXML[50];
    // The offset of the text the last error names, kNoErrorOffset for none,
    // and its line and column once counted.
    static constexpr unsigned int kNoErrorOffset = 0xFFFFFFFFu;
    unsigned int m_uErrorOffset;
    int m_iErrorLine;
    int m_iErrorColumn;
    bool m_bPreserveWhitespace;
    bool m_bKeepLinePositions;
    std::vector<unsigned int> m_lineStarts;
};

class CMarkupNode
{
    friend class CMarkup;

public:
    CMarkupNode();

    bool IsValid() const;

    CMarkupNode GetParent();
    CMarkupNode GetSibling();
    CMarkupNode GetChild();
    CMarkupNode GetChild(const wchar_t* name);

    bool HasSiblings() const;
    bool HasChildren() const;
    const wchar_t* GetName() const;
    const wchar_t* GetValue() const;

    bool HasAttributes();
    bool HasAttribute(const wchar_t* name);
    int GetAttributeCount();
    const wchar_t* GetAttributeName(int index);
    const wchar_t* GetAttributeValue(int index);
    const wchar_t* GetAttributeValue(const wchar_t* name);
    bool GetAttributeValue(int index, wchar_t* buffer, unsigned long cch);
    bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, unsigned long cch);

    // Where the element's name and an attribute's name stand, when the
    // document keeps its line positions (CMarkup::SetKeepLinePositions).
    bool GetPosition(int& line, int& column) const;
    bool GetAttributePosition(int index, int& line, int& column);

    // The most attributes of one element that a node exposes.
    enum { MAX_XML_ATTRIBUTES = 64 };

private:
    CMarkupNode(CMarkup* owner, int pos);

    const XMLELEMENT* Element() const;
    CMarkupNode Link(unsigned int index) const;
    // The attributes the node exposes (at most MAX_XML_ATTRIBUTES), 0 without an element.
    int AttributeCount() const;
    // The index of the attribute called `name`, else -1.
    int FindAttribute(const wchar_t* name) const;
    const XMLATTRIBUTE& AttributeAt(int index) const;
    // The attribute at `index` when the node exposes one there, else null.
    const XMLATTRIBUTE* AttributeOf(int index) const;
    const wchar_t* AttributeNameAt(int index) const;
    const wchar_t* AttributeValueAt(int index) const;

    CMarkup* m_pOwner;
    int m_iPos;
};

// The navigation and attribute reads of a node are inline: a walk over a
// document calls them for every element and attribute.

inline bool CMarkupNode::IsValid() const
{
    return m_pOwner != nullptr;
}

// The node's element, or null when the node is invalid or its document has gone.
inline const XMLELEMENT* CMarkupNode::Element() const
{
    if (m_pOwner == nullptr || m_pOwner->m_pElements == nullptr || m_iPos <= 0 ||
        static_cast<unsigned int>(m_iPos) >= m_pOwner->m_nElements)
        return nullptr;
    return &m_pOwner->m_pElements[m_iPos];
}

inline CMarkupNode CMarkupNode::Link(unsigned int index) const
{
    if (index == 0)
        return CMarkupNode();
    return CMarkupNode(m_pOwner, static_cast<int>(index));
}

inline CMarkupNode CMarkupNode::GetParent()
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? Link(element->iParent) : CMarkupNode();
}

inline CMarkupNode CMarkupNode::GetSibling()
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? Link(element->iNext) : CMarkupNode();
}

inline CMarkupNode CMarkupNode::GetChild()
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? Link(element->iChild) : CMarkupNode();
}

inline bool CMarkupNode::HasSiblings() const
{
    const XMLELEMENT* element = Element();
    return element != nullptr && element->iNext != 0;
}

inline bool CMarkupNode::HasChildren() const
{
    const XMLELEMENT* element = Element();
    return element != nullptr && element->iChild != 0;
}

inline const wchar_t* CMarkupNode::GetName() const
{
    const XMLELEMENT* element = Element();
    return element != nullptr ? m_pOwner->m_pstrXML + element->iStart : nullptr;
}

inline int CMarkupNode::GetAttributeCount()
{
    return AttributeCount();
}

inline int CMarkupNode::AttributeCount() const
{
    const XMLELEMENT* element = Element();
    if (element == nullptr)
        return 0;
    return element->nAttributes < static_cast<unsigned int>(MAX_XML_ATTRIBUTES) ? static_cast<int>(element->nAttributes)
                                                                                : MAX_XML_ATTRIBUTES;
}

inline const XMLATTRIBUTE* CMarkupNode::AttributeOf(int index) const
{
    const XMLELEMENT* element = Element();
    if (element == nullptr || index < 0 || index >= MAX_XML_ATTRIBUTES ||
        static_cast<unsigned int>(index) >= element->nAttributes)
        return nullptr;
    return &m_pOwner->m_pAttributes[element->iAttributes + static_cast<unsigned int>(index)];
}

inline const wchar_t* CMarkupNode::GetAttributeName(int index)
{
    const XMLATTRIBUTE* attribute = AttributeOf(index);
    return attribute != nullptr ? m_pOwner->m_pstrXML + attribute->iName : Element() != nullptr ? L"" : nullptr;
}

inline const wchar_t* CMarkupNode::GetAttributeValue(int index)
{
    const XMLATTRIBUTE* attribute = AttributeOf(index);
    return attribute != nullptr ? m_pOwner->m_pstrXML + attribute->iValue : Element() != nullptr ? L"" : nullptr;
}

} // namespace Facet
