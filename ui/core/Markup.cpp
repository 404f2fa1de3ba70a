#include "Markup.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace Facet {

namespace {

const wchar_t kOutOfMemory[] = L"Out of memory";

inline bool IsBlank(wchar_t c)
{
    return c > 0 && c <= 32;
}

inline void SkipWhitespace(wchar_t*& text)
{
    while (IsBlank(*text))
        ++text;
}

inline bool IsNameCharacter(wchar_t c)
{
    return c == L'_' || c == L':' || (c != 0 && iswalnum(c));
}

inline void SkipIdentifier(wchar_t*& text)
{
    while (IsNameCharacter(*text))
        ++text;
}

// Skips past the first occurrence of the two-character marker, or to the end of the text.
void SkipPast(wchar_t*& text, wchar_t first, wchar_t second)
{
    while (*text != 0 && !(text[0] == first && text[1] == second))
        ++text;
    if (*text != 0)
        text += 2;
}

// Copies at most cch - 1 characters and always terminates inside the buffer.
void CopyTerminated(wchar_t* buffer, unsigned long cch, const wchar_t* text)
{
    if (buffer == nullptr || cch == 0)
        return;
    unsigned long i = 0;
    if (text != nullptr) {
        for (; i + 1 < cch && text[i] != 0; ++i)
            buffer[i] = text[i];
    }
    buffer[i] = 0;
}

struct Entity
{
    const wchar_t* name;   // with its closing semicolon
    size_t length;
    wchar_t character;
};

const Entity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

// Converts narrow text of the given code page into a new block of wide characters
// (terminated). Null when the text cannot be converted or memory runs out.
wchar_t* WidenBytes(UINT codePage, const unsigned char* bytes, unsigned long size)
{
    if (size > static_cast<unsigned long>(INT_MAX))
        return nullptr;
    int length = 0;
    if (size > 0) {
        length = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size), nullptr, 0);
        if (length <= 0)
            return nullptr;
    }
    wchar_t* text = static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (text == nullptr)
        return nullptr;
    if (length > 0)
        MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size), text, length);
    text[length] = 0;
    return text;
}

// The document text of `bytes` in a new block of wide characters (terminated),
// or null with `problem` set. Encodings as CMarkup::LoadFromMem takes them.
wchar_t* DecodeDocument(const unsigned char* bytes, unsigned long size, int encoding, const wchar_t*& problem)
{
    if (encoding == 0 || encoding == 2) {
        if (encoding == 0 && size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            bytes += 3;
            size -= 3;
        }
        wchar_t* text = WidenBytes(encoding == 0 ? CP_UTF8 : CP_ACP, bytes, size);
        if (text == nullptr)
            problem = L"Could not convert the document text";
        return text;
    }

    // UTF-16: the byte-order mark decides the byte order and is dropped; an odd last
    // byte is ignored. Big-endian units are swapped while copying, so the caller's
    // bytes (possibly read-only resource memory) are never written.
    if (size < 2 || !((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        problem = L"UTF-16 text without a byte-order mark";
        return nullptr;
    }
    const bool bigEndian = bytes[0] == 0xFE;
    const size_t units = (size - 2) / 2;
    wchar_t* text = static_cast<wchar_t*>(malloc((units + 1) * sizeof(wchar_t)));
    if (text == nullptr) {
        problem = kOutOfMemory;
        return nullptr;
    }
    const unsigned char* unit = bytes + 2;
    for (size_t i = 0; i < units; ++i, unit += 2) {
        text[i] = bigEndian ? static_cast<wchar_t>((unit[0] << 8) | unit[1])
                            : static_cast<wchar_t>(unit[0] | (unit[1] << 8));
    }
    text[units] = 0;
    return text;
}

} // namespace

CMarkup::CMarkup(const wchar_t* xml)
    : m_pstrXML(nullptr), m_pElements(nullptr), m_nElements(0), m_nReservedElements(0),
      m_uErrorOffset(kNoErrorOffset), m_iErrorLine(0), m_iErrorColumn(0), m_bPreserveWhitespace(true),
      m_bKeepLinePositions(false)
{
    m_szErrorMsg[0] = 0;
    m_szErrorXML[0] = 0;
    if (xml != nullptr)
        Load(xml);
}

CMarkup::~CMarkup()
{
    Release();
}

bool CMarkup::IsValid() const
{
    return m_pElements != nullptr;
}

void CMarkup::SetPreserveWhitespace(bool preserve)
{
    m_bPreserveWhitespace = preserve;
}

void CMarkup::Release()
{
    free(m_pstrXML);
    free(m_pElements);
    m_pstrXML = nullptr;
    m_pElements = nullptr;
    m_nElements = 0;
    m_nReservedElements = 0;
    m_lineStarts.clear();
}

void CMarkup::GetLastErrorMessage(wchar_t* buffer, unsigned long cch) const
{
    CopyTerminated(buffer, cch, m_szErrorMsg);
}

void CMarkup::GetLastErrorLocation(wchar_t* buffer, unsigned long cch) const
{
    CopyTerminated(buffer, cch, m_szErrorXML);
}

int CMarkup::GetLastErrorLine() const
{
    return m_iErrorLine;
}

int CMarkup::GetLastErrorColumn() const
{
    return m_iErrorColumn;
}

void CMarkup::SetKeepLinePositions(bool keep)
{
    m_bKeepLinePositions = keep;
}

bool CMarkup::GetLineColumn(unsigned int offset, int& line, int& column) const
{
    if (m_lineStarts.empty())
        return false;
    // The last line that starts at or before the offset.
    const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    line = static_cast<int>(next - m_lineStarts.begin());
    column = static_cast<int>(offset - *(next - 1)) + 1;
    return true;
}

void CMarkup::KeepLinePositions()
{
    m_lineStarts.assign(1, 0u);
    for (const wchar_t* c = m_pstrXML; *c != 0; ++c) {
        if (*c == L'\n')
            m_lineStarts.push_back(static_cast<unsigned int>(c - m_pstrXML) + 1);
    }
}

void CMarkup::LocateError(const wchar_t* original)
{
    m_iErrorLine = 0;
    m_iErrorColumn = 0;
    if (original == nullptr || m_uErrorOffset == kNoErrorOffset)
        return;
    m_iErrorLine = 1;
    m_iErrorColumn = 1;
    for (unsigned int i = 0; i < m_uErrorOffset && original[i] != 0; ++i) {
        if (original[i] == L'\n') {
            ++m_iErrorLine;
            m_iErrorColumn = 1;
        } else {
            ++m_iErrorColumn;
        }
    }
}

CMarkupNode CMarkup::GetRoot()
{
    if (m_pElements == nullptr || m_nElements < 2)
        return CMarkupNode();
    return CMarkupNode(this, 1);
}

bool CMarkup::Load(const wchar_t* xml)
{
    Release();
    if (xml == nullptr)
        return Failed(L"Expected start tag");
    const size_t length = wcslen(xml);
    wchar_t* text = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
    if (text == nullptr)
        return Failed(kOutOfMemory);
    memcpy(text, xml, (length + 1) * sizeof(wchar_t));
    if (Adopt(text))
        return true;
    LocateError(xml);
    return false;
}

bool CMarkup::LoadFromMem(unsigned char* bytes, unsigned long size, int encoding)
{
    Release();
    if (bytes == nullptr && size != 0)
        return Failed(L"Could not read file");
    const wchar_t* problem = nullptr;
    wchar_t* text = DecodeDocument(bytes, size, encoding, problem);
    if (text == nullptr)
        return Failed(problem);
    if (Adopt(text))
        return true;
    // The parse edited its copy in place: the place of the error is counted
    // on a fresh one.
    wchar_t* original = DecodeDocument(bytes, size, encoding, problem);
    LocateError(original);
    free(original);
    return false;
}

// Takes ownership of a terminated text block and parses it; releases on failure.
bool CMarkup::Adopt(wchar_t* text)
{
    m_pstrXML = text;
    m_uErrorOffset = kNoErrorOffset;
    m_iErrorLine = 0;
    m_iErrorColumn = 0;
    if (m_bKeepLinePositions)
        KeepLinePositions();
    if (!ParseDocument()) {
        Release();
        return false;
    }
    return true;
}

bool CMarkup::Failed(const wchar_t* message, const wchar_t* location)
{
    CopyTerminated(m_szErrorMsg, sizeof(m_szErrorMsg) / sizeof(m_szErrorMsg[0]), message);
    CopyTerminated(m_szErrorXML, sizeof(m_szErrorXML) / sizeof(m_szErrorXML[0]), location);
    m_uErrorOffset = location != nullptr && m_pstrXML != nullptr && location >= m_pstrXML
                         ? static_cast<unsigned int>(location - m_pstrXML)
                         : kNoErrorOffset;
    m_iErrorLine = 0;
    m_iErrorColumn = 0;
    return false;
}

bool CMarkup::ReserveElement(unsigned int* index)
{
    if (m_nElements >= m_nReservedElements) {
        const unsigned long long wanted =
            static_cast<unsigned long long>(m_nReservedElements) + m_nReservedElements / 2 + 500;
        if (wanted > UINT_MAX || wanted > SIZE_MAX / sizeof(XMLELEMENT))
            return false;
        XMLELEMENT* grown =
            static_cast<XMLELEMENT*>(realloc(m_pElements, static_cast<size_t>(wanted) * sizeof(XMLELEMENT)));
        if (grown == nullptr)
            return false;   // the old table stays owned and is freed by Release
        m_pElements = grown;
        m_nReservedElements = static_cast<unsigned int>(wanted);
    }
    *index = m_nElements++;
    return true;
}

bool CMarkup::ParseDocument()
{
    unsigned int none = 0;
    if (!ReserveElement(&none))
        return Failed(kOutOfMemory);
    XMLELEMENT& reserved = m_pElements[none];
    reserved.iStart = reserved.iChild = reserved.iNext = reserved.iParent = reserved.iData = 0;
    m_szErrorMsg[0] = 0;
    m_szErrorXML[0] = 0;
    wchar_t* text = m_pstrXML;
    return ParseElements(text, 0, 0);
}

// Parses the elements of one level (the children of `parent`) until the end tag that
// closes the level, or the end of the text.
bool CMarkup::ParseElements(wchar_t*& text, unsigned int parent, unsigned int depth)
{
    unsigned int previous = 0;
    for (;;) {
        SkipWhitespace(text);
        if (*text == 0 && parent <= 1)
            return true;
        if (*text != L'<')
            return Failed(L"Expected start tag", text);
        if (text[1] == L'/')
            return true;
        *text++ = 0;
        SkipWhitespace(text);

        if (*text == L'!') {
            SkipPast(text, L'-', L'>');
            continue;
        }
        if (*text == L'?') {
            SkipPast(text, L'?', L'>');
            continue;
        }

        // Each level of nesting costs a stack frame: refuse documents nested deeper than the cap.
        if (depth >= kMaxDepth)
            return Failed(L"Elements nested too deeply", text);

        unsigned int pos = 0;
        if (!ReserveElement(&pos))
            return Failed(kOutOfMemory, text);
        {
            XMLELEMENT& element = m_pElements[pos];
            element.iStart = static_cast<unsigned int>(text - m_pstrXML);
            element.iParent = parent;
            element.iChild = 0;
            element.iNext = 0;
            element.iData = 0;
        }
        if (previous != 0)
            m_pElements[previous].iNext = pos;
        else if (parent > 0)
            m_pElements[parent].iChild = pos;
        previous = pos;

        const wchar_t* name = text;
        SkipIdentifier(text);
        wchar_t* nameEnd = text;
        if (*text == 0)
            return Failed(L"Error parsing element name", text);

        if (!ParseAttributes(text))
            return false;
        SkipWhitespace(text);

        if (text[0] == L'/' && text[1] == L'>') {
            m_pElements[pos].iData = static_cast<unsigned int>(text - m_pstrXML);
            *text = 0;
            text += 2;
        } else {
            if (*text != L'>')
                return Failed(L"Expected start-tag closing", text);
            ++text;
            m_pElements[pos].iData = static_cast<unsigned int>(text - m_pstrXML);
            wchar_t* dest = text;
            DecodeText(text, dest, L'<');
            if (*text == 0 && parent <= 1) {
                // The document ends inside this element: keep its name and content terminated.
                *dest = 0;
                *nameEnd = 0;
                return true;
            }
            if (*text != L'<')
                return Failed(L"Expected end-tag start", text);
            if (text[1] != L'/' && !ParseElements(text, pos, depth + 1))
                return false;
            if (text[0] == L'<' && text[1] == L'/') {
                *dest = 0;
                *text = 0;
                text += 2;
                SkipWhitespace(text);
                const size_t nameLength = static_cast<size_t>(nameEnd - name);
                if (wcsncmp(text, name, nameLength) != 0)
                    return Failed(L"Unmatched closing tag", text);
                text += nameLength;
                SkipWhitespace(text);
                if (*text != L'>')
                    return Failed(L"Unmatched closing tag", *text != 0 ? text + 1 : text);
                ++text;
            } else {
                // The document ended inside the root after its children (its
                // end tag may be missing): the content still ends where its
                // decoding stopped, before the first child.
                *dest = 0;
            }
        }
        *nameEnd = 0;
    }
}

// Reads the attributes that follow an element name, terminating names and values in place.
bool CMarkup::ParseAttributes(wchar_t*& text)
{
    if (*text == L'>')
        return true;
    if (text[0] == L'/' && text[1] == L'>')
        return true;   // "<Name/>": the "/" belongs to the empty-element close
    *text++ = 0;
    for (;;) {
        SkipWhitespace(text);
        if (*text == 0 || *text == L'>' || *text == L'/')
            return true;
        SkipIdentifier(text);
        wchar_t* nameEnd = text;
        SkipWhitespace(text);
        if (*text != L'=')
            return Failed(L"Error while parsing attributes", text);
        *text++ = L' ';
        *nameEnd = 0;
        SkipWhitespace(text);
        if (*text != L'"')
            return Failed(L"Expected attribute value", text);
        ++text;
        wchar_t* dest = text;
        DecodeText(text, dest, L'"');
        if (*text == 0)
            return Failed(L"Error while parsing attribute string", text);
        *dest = 0;
        if (dest != text)
            *text = L' ';
        ++text;
    }
}

// Decodes entities and whitespace from `text` to `dest` (never ahead of it) until the
// stop character or the end of the text, then blanks the characters freed by decoding
// so that the attribute mapper can step over them.
void CMarkup::DecodeText(wchar_t*& text, wchar_t*& dest, wchar_t stop)
{
    while (*text != 0 && *text != stop) {
        if (*text == L'&') {
            bool decoded = false;
            for (const Entity& entity : kEntities) {
                if (wcsncmp(text + 1, entity.name, entity.length) == 0) {
                    *dest++ = entity.character;
                    text += 1 + entity.length;
                    decoded = true;
                    break;
                }
            }
            if (!decoded)
                *dest++ = *text++;
        } else if (*text == L' ') {
            *dest++ = *text++;
            if (!m_bPreserveWhitespace) {
                while (IsBlank(*text))
                    ++text;
            }
        } else {
            *dest++ = *text++;
        }
    }
    for (wchar_t* blank = dest + 1; blank < text; ++blank)
        *blank = L' ';
}

} // namespace Facet
