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

// Which characters below 128 may stand in a name: letters, digits, '_' and ':'.
// A table, because names make up much of a skin and the C runtime's
// classification costs a call per character.
struct NameCharacters
{
    bool has[128];
};

constexpr NameCharacters MakeNameCharacters()
{
    NameCharacters table{};
    for (int c = 0; c < 128; ++c)
        table.has[c] = c == '_' || c == ':' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                       (c >= 'a' && c <= 'z');
    return table;
}

constexpr NameCharacters kNameCharacters = MakeNameCharacters();

inline bool IsNameCharacter(wchar_t c)
{
    if (c < 128)
        return kNameCharacters.has[c];
    return iswalnum(c) != 0;
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
    const wchar_t* name; // with its closing semicolon
    size_t length;
    wchar_t character;
};

const Entity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

// The most characters the text of `size` bytes can take in any of the
// encodings: a character of UTF-16 takes two bytes, of UTF-8 or a code page
// at least one.
size_t TextUnits(unsigned long size)
{
    return static_cast<size_t>(size) + 1;
}

// Converts narrow text of the given code page into `text` (room for
// TextUnits(size) characters) in one pass, terminated. False when the text
// cannot be converted.
bool WidenBytes(UINT codePage, const unsigned char* bytes, unsigned long size, wchar_t* text)
{
    if (size > static_cast<unsigned long>(INT_MAX))
        return false;
    int length = 0;
    if (size > 0) {
        length = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size), text,
                                     static_cast<int>(size));
        if (length <= 0)
            return false;
    }
    text[length] = 0;
    return true;
}

inline bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Decodes the well-formed UTF-8 at the start of `bytes` into `text` and
// returns how many bytes it took; it stops before the first byte that does
// not start a complete, shortest-form sequence of a scalar value. Such a
// place starts a character, so the rest decodes alone exactly as it would
// within the whole text: the platform's converter takes over there and
// decides what becomes of ill-formed bytes. Text that is mostly ASCII goes
// eight bytes at a time.
size_t DecodeWellFormedUtf8(const unsigned char* bytes, size_t size, wchar_t*& text)
{
    size_t i = 0;
    while (i < size) {
        while (i + 8 <= size) {
            unsigned long long eight;
            memcpy(&eight, bytes + i, sizeof(eight));
            if ((eight & 0x8080808080808080ull) != 0)
                break;
            for (int k = 0; k < 8; ++k)
                *text++ = static_cast<wchar_t>(bytes[i + k]);
            i += 8;
        }
        if (i >= size)
            break;
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            *text++ = static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        const size_t left = size - i;
        if (lead >= 0xC2 && lead <= 0xDF && left >= 2 && IsContinuation(bytes[i + 1])) {
            *text++ = static_cast<wchar_t>(((lead & 0x1F) << 6) | (bytes[i + 1] & 0x3F));
            i += 2;
            continue;
        }
        if (lead >= 0xE0 && lead <= 0xEF && left >= 3 && IsContinuation(bytes[i + 1]) && IsContinuation(bytes[i + 2])) {
            const unsigned value = ((lead & 0x0Fu) << 12) | ((bytes[i + 1] & 0x3Fu) << 6) | (bytes[i + 2] & 0x3Fu);
            if (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))
                break; // overlong, or a surrogate
            *text++ = static_cast<wchar_t>(value);
            i += 3;
            continue;
        }
        if (lead >= 0xF0 && lead <= 0xF4 && left >= 4 && IsContinuation(bytes[i + 1]) && IsContinuation(bytes[i + 2]) &&
            IsContinuation(bytes[i + 3])) {
            const unsigned value = ((lead & 0x07u) << 18) | ((bytes[i + 1] & 0x3Fu) << 12) |
                                   ((bytes[i + 2] & 0x3Fu) << 6) | (bytes[i + 3] & 0x3Fu);
            if (value < 0x10000 || value > 0x10FFFF)
                break; // overlong, or beyond Unicode
            const unsigned above = value - 0x10000;
            *text++ = static_cast<wchar_t>(0xD800 + (above >> 10));
            *text++ = static_cast<wchar_t>(0xDC00 + (above & 0x3FF));
            i += 4;
            continue;
        }
        break;
    }
    return i;
}

// UTF-8 into `text` (room for TextUnits(size) characters), terminated.
bool WidenUtf8(const unsigned char* bytes, unsigned long size, wchar_t* text)
{
    if (size > static_cast<unsigned long>(INT_MAX))
        return false;
    wchar_t* end = text;
    const size_t done = DecodeWellFormedUtf8(bytes, size, end);
    return WidenBytes(CP_UTF8, bytes + done, static_cast<unsigned long>(size - done), end);
}

// Writes the document text of `bytes` into `text` (room for TextUnits(size)
// characters), terminated; false with `problem` set. Encodings as
// CMarkup::LoadFromMem takes them.
bool DecodeDocument(const unsigned char* bytes, unsigned long size, int encoding, wchar_t* text,
                    const wchar_t*& problem)
{
    if (encoding == 0 || encoding == 2) {
        if (encoding == 0 && size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            bytes += 3;
            size -= 3;
        }
        if (encoding == 0 ? WidenUtf8(bytes, size, text) : WidenBytes(CP_ACP, bytes, size, text))
            return true;
        problem = L"Could not convert the document text";
        return false;
    }

    // UTF-16: the byte-order mark decides the byte order and is dropped; an odd last
    // byte is ignored. Big-endian units are swapped while copying, so the caller's
    // bytes (possibly read-only resource memory) are never written.
    if (size < 2 || !((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        problem = L"UTF-16 text without a byte-order mark";
        return false;
    }
    const bool bigEndian = bytes[0] == 0xFE;
    const size_t units = (size - 2) / 2;
    const unsigned char* unit = bytes + 2;
    for (size_t i = 0; i < units; ++i, unit += 2) {
        text[i] = bigEndian ? static_cast<wchar_t>((unit[0] << 8) | unit[1])
                            : static_cast<wchar_t>(unit[0] | (unit[1] << 8));
    }
    text[units] = 0;
    return true;
}

// Grows a block of `T` by half plus `step` entries to hold one more than
// `used`; false (the block unchanged) when it cannot.
template <typename T>
bool GrowBlock(T*& block, unsigned int used, unsigned int& reserved, unsigned int step)
{
    if (used < reserved)
        return true;
    const unsigned long long wanted = static_cast<unsigned long long>(reserved) + reserved / 2 + step;
    if (wanted > UINT_MAX || wanted > SIZE_MAX / sizeof(T))
        return false;
    T* grown = static_cast<T*>(realloc(block, static_cast<size_t>(wanted) * sizeof(T)));
    if (grown == nullptr)
        return false; // the old block stays owned and is freed by Release
    block = grown;
    reserved = static_cast<unsigned int>(wanted);
    return true;
}

} // namespace

CMarkup::CMarkup(const wchar_t* xml)
    : m_pstrXML(nullptr),
      m_nTextCapacity(0),
      m_pElements(nullptr),
      m_nElements(0),
      m_nReservedElements(0),
      m_pAttributes(nullptr),
      m_nAttributes(0),
      m_nReservedAttributes(0),
      m_uErrorOffset(kNoErrorOffset),
      m_iErrorLine(0),
      m_iErrorColumn(0),
      m_bPreserveWhitespace(true),
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
    return m_pElements != nullptr && m_nElements > 0;
}

void CMarkup::SetPreserveWhitespace(bool preserve)
{
    m_bPreserveWhitespace = preserve;
}

void CMarkup::Release()
{
    free(m_pstrXML);
    free(m_pElements);
    free(m_pAttributes);
    m_pstrXML = nullptr;
    m_nTextCapacity = 0;
    m_pElements = nullptr;
    m_nReservedElements = 0;
    m_pAttributes = nullptr;
    m_nReservedAttributes = 0;
    Clear();
}

void CMarkup::Clear()
{
    m_nElements = 0;
    m_nAttributes = 0;
    m_lineStarts.clear();
}

wchar_t* CMarkup::TextBlock(size_t units)
{
    if (units > m_nTextCapacity) {
        // A new block rather than a grown one: the old text need not be kept.
        free(m_pstrXML);
        m_nTextCapacity = 0;
        m_pstrXML = units <= SIZE_MAX / sizeof(wchar_t) ? static_cast<wchar_t*>(malloc(units * sizeof(wchar_t)))
                                                        : nullptr;
        if (m_pstrXML != nullptr)
            m_nTextCapacity = units;
    }
    return m_pstrXML;
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

// A document loaded into the blocks of the one before.
bool CMarkup::Load(const wchar_t* xml)
{
    Clear();
    if (xml == nullptr) {
        Release();
        return Failed(L"Expected start tag");
    }
    const size_t length = wcslen(xml);
    wchar_t* text = length < SIZE_MAX ? TextBlock(length + 1) : nullptr;
    if (text == nullptr) {
        Release();
        return Failed(kOutOfMemory);
    }
    memcpy(text, xml, (length + 1) * sizeof(wchar_t));
    if (ParseText())
        return true;
    LocateError(xml);
    return false;
}

bool CMarkup::LoadFromMem(unsigned char* bytes, unsigned long size, int encoding)
{
    Clear();
    const wchar_t* problem = nullptr;
    if (bytes == nullptr && size != 0)
        problem = L"Could not read file";
    wchar_t* text = problem == nullptr ? TextBlock(TextUnits(size)) : nullptr;
    if (problem == nullptr && text == nullptr)
        problem = kOutOfMemory;
    if (problem != nullptr || !DecodeDocument(bytes, size, encoding, text, problem)) {
        Release();
        return Failed(problem);
    }
    if (ParseText())
        return true;
    // The parse edited its copy in place: the place of the error is counted
    // on a fresh one.
    wchar_t* original = static_cast<wchar_t*>(malloc(TextUnits(size) * sizeof(wchar_t)));
    if (original != nullptr && DecodeDocument(bytes, size, encoding, original, problem))
        LocateError(original);
    free(original);
    return false;
}

bool CMarkup::ParseText()
{
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
    if (!GrowBlock(m_pElements, m_nElements, m_nReservedElements, 500))
        return false;
    *index = m_nElements++;
    return true;
}

bool CMarkup::AddAttribute(unsigned int element, const wchar_t* name, const wchar_t* value)
{
    if (!GrowBlock(m_pAttributes, m_nAttributes, m_nReservedAttributes, 1000))
        return false;
    XMLATTRIBUTE& attribute = m_pAttributes[m_nAttributes++];
    attribute.iName = static_cast<unsigned int>(name - m_pstrXML);
    attribute.iValue = static_cast<unsigned int>(value - m_pstrXML);
    ++m_pElements[element].nAttributes;
    return true;
}

bool CMarkup::ParseDocument()
{
    unsigned int none = 0;
    if (!ReserveElement(&none))
        return Failed(kOutOfMemory);
    XMLELEMENT& reserved = m_pElements[none];
    reserved.iStart = reserved.iChild = reserved.iNext = reserved.iParent = reserved.iData = 0;
    reserved.iAttributes = reserved.nAttributes = 0;
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
        if (SkipDeclaration(text))
            continue;

        // Each level of nesting costs a stack frame: refuse documents nested deeper than the cap.
        if (depth >= kMaxDepth)
            return Failed(L"Elements nested too deeply", text);
        unsigned int pos = 0;
        if (!OpenElement(text, parent, previous, pos))
            return Failed(kOutOfMemory, text);

        const wchar_t* name = text;
        SkipIdentifier(text);
        wchar_t* nameEnd = text;
        if (*text == 0)
            return Failed(L"Error parsing element name", text);
        if (!ParseAttributes(text, pos))
            return false;
        SkipWhitespace(text);

        if (text[0] == L'/' && text[1] == L'>') {
            CloseEmptyElement(text, pos);
        } else {
            if (*text != L'>')
                return Failed(L"Expected start-tag closing", text);
            ++text;
            wchar_t* dest = DecodeContent(text, pos);
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
            if (!ParseEndTag(text, dest, name, nameEnd))
                return false;
        }
        *nameEnd = 0;
    }
}

// Steps over a comment ("<!") or a processing instruction ("<?") whose '<' is
// behind `text`; false when `text` starts neither.
bool CMarkup::SkipDeclaration(wchar_t*& text)
{
    if (*text == L'!') {
        SkipPast(text, L'-', L'>');
        return true;
    }
    if (*text == L'?') {
        SkipPast(text, L'?', L'>');
        return true;
    }
    return false;
}

// Enters the element whose name starts at `text` as the next child of `parent`
// (after `previous`, its last sibling so far), and makes it `previous`.
bool CMarkup::OpenElement(const wchar_t* text, unsigned int parent, unsigned int& previous, unsigned int& pos)
{
    if (!ReserveElement(&pos))
        return false;
    XMLELEMENT& element = m_pElements[pos];
    element.iStart = static_cast<unsigned int>(text - m_pstrXML);
    element.iParent = parent;
    element.iChild = 0;
    element.iNext = 0;
    element.iData = 0;
    element.iAttributes = m_nAttributes;
    element.nAttributes = 0;
    if (previous != 0)
        m_pElements[previous].iNext = pos;
    else if (parent > 0)
        m_pElements[parent].iChild = pos;
    previous = pos;
    return true;
}

// "/>" at `text`: the element has no content (its data is the empty text there).
void CMarkup::CloseEmptyElement(wchar_t*& text, unsigned int element)
{
    m_pElements[element].iData = static_cast<unsigned int>(text - m_pstrXML);
    *text = 0;
    text += 2;
}

// Decodes the text content of `element` in place up to the next '<'; returns
// where the decoded content ends (terminated once the element is closed).
wchar_t* CMarkup::DecodeContent(wchar_t*& text, unsigned int element)
{
    m_pElements[element].iData = static_cast<unsigned int>(text - m_pstrXML);
    wchar_t* dest = text;
    DecodeText(text, dest, L'<');
    return dest;
}

// Reads the end tag at `text`, which must repeat the element's name, and
// terminates the content that ends at `dest`.
bool CMarkup::ParseEndTag(wchar_t*& text, wchar_t* dest, const wchar_t* name, const wchar_t* nameEnd)
{
    // `dest` may be `text` itself: look at the tag before terminating there.
    const bool endTag = text[0] == L'<' && text[1] == L'/';
    *dest = 0;
    if (!endTag) {
        // The document ended inside the root after its children (its end tag
        // may be missing): the content still ends where its decoding stopped,
        // before the first child.
        return true;
    }
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
    return true;
}

// Reads the attributes that follow an element name, terminating names and values in
// place, and enters them in the attribute table for `element`.
bool CMarkup::ParseAttributes(wchar_t*& text, unsigned int element)
{
    if (*text == L'>')
        return true;
    if (text[0] == L'/' && text[1] == L'>')
        return true; // "<Name/>": the "/" belongs to the empty-element close
    *text++ = 0;
    for (;;) {
        SkipWhitespace(text);
        if (*text == 0 || *text == L'>' || *text == L'/')
            return true;
        const wchar_t* name = text;
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
        if (!AddAttribute(element, name, text))
            return Failed(kOutOfMemory, text);
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
    const bool preserve = m_bPreserveWhitespace;
    // Most characters are none of the stop character, the end, '&' and a
    // blank to collapse, all of which (but '<') lie at or below '&'.
    auto isPlain = [stop, preserve](wchar_t c) {
        return c > L'&' ? c != stop : c != 0 && c != L'&' && c != stop && (c != L' ' || preserve);
    };
    for (;;) {
        if (dest == text) {
            // Nothing decoded yet: the text stays where it stands.
            while (isPlain(*text))
                ++text;
            dest = text;
        } else {
            while (isPlain(*text))
                *dest++ = *text++;
        }
        const wchar_t c = *text;
        if (c == 0 || c == stop)
            break;
        if (c == L'&') {
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
        } else {
            // A space whose following blanks collapse.
            *dest++ = *text++;
            while (IsBlank(*text))
                ++text;
        }
    }
    for (wchar_t* blank = dest + 1; blank < text; ++blank)
        *blank = L' ';
}

} // namespace Facet
