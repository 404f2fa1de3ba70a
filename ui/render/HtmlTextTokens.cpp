#include "HtmlTextTokens.h"

namespace Facet {
namespace htmltext {

namespace {

bool IsTagLetter(wchar_t c)
{
    return c >= L'a' && c <= L'z';
}

// "{/x}" in either bracket form; `p` points at the opening bracket. Each
// character is looked at only after the one before it proved to be no
// terminator.
bool IsCloseTagAt(const wchar_t* p)
{
    return IsOpeningBracket(p[0]) && p[1] == L'/' && IsTagLetter(p[2]) && IsClosingBracket(p[3]);
}

bool IsEscapeAt(const wchar_t* p)
{
    if (p[0] == L'<')
        return (p[1] == L'{' || p[1] == L'}') && p[2] == L'>';
    if (p[0] == L'{')
        return (p[1] == L'<' || p[1] == L'>') && p[2] == L'}';
    return false;
}

bool IsOpenTagAt(const wchar_t* p)
{
    return IsOpeningBracket(p[0]) && IsTagLetter(p[1]) && (p[2] == L' ' || IsClosingBracket(p[2]));
}

} // namespace

bool TokenReader::StartsMarkup(const wchar_t* p) const
{
    if (!IsOpeningBracket(*p))
        return false;
    if (m_raw)
        return IsCloseTagAt(p) && p[2] == L'r';
    return IsEscapeAt(p) || IsCloseTagAt(p) || IsOpenTagAt(p);
}

bool TokenReader::ReadEscape(Token& token)
{
    if (m_raw || !IsEscapeAt(m_pos))
        return false;
    token.kind = TokenKind::Text;
    token.text = m_pos + 1;
    token.length = 1;
    m_pos += 3;
    return true;
}

bool TokenReader::ReadCloseTag(Token& token)
{
    if (!IsCloseTagAt(m_pos) || (m_raw && m_pos[2] != L'r'))
        return false;
    token.kind = TokenKind::CloseTag;
    token.letter = m_pos[2];
    if (token.letter == L'r')
        m_raw = false;
    m_pos += 4;
    return true;
}

bool TokenReader::ReadOpenTag(Token& token)
{
    if (m_raw || !IsOpenTagAt(m_pos))
        return false;
    token.kind = TokenKind::OpenTag;
    token.letter = m_pos[1];
    if (IsClosingBracket(m_pos[2])) {
        token.text = m_pos + 2;
        token.length = 0;
        m_pos += 3;
    } else {
        token.spaced = true;
        const wchar_t* argument = m_pos + 3;
        const wchar_t* end = argument;
        while (*end != L'\0' && !IsClosingBracket(*end))
            ++end;
        token.text = argument;
        token.length = static_cast<int>(end - argument);
        m_pos = *end != L'\0' ? end + 1 : end;
    }
    if (token.letter == L'r')
        m_raw = true;
    return true;
}

Token TokenReader::Next()
{
    Token token;
    if (m_pos == nullptr || *m_pos == L'\0')
        return token;
    if (IsOpeningBracket(*m_pos) && (ReadEscape(token) || ReadCloseTag(token) || ReadOpenTag(token)))
        return token;
    if (*m_pos == L'\n') {
        token.kind = TokenKind::LineBreak;
        ++m_pos;
        return token;
    }
    if (*m_pos == L' ') {
        token.kind = TokenKind::Space;
        token.text = m_pos;
        token.length = 1;
        ++m_pos;
        return token;
    }
    // A run: up to a space, a line break, a tag or an escape. Its first
    // character is never one of those, so a run has at least one character.
    const wchar_t* start = m_pos;
    ++m_pos;
    while (*m_pos != L'\0' && *m_pos != L'\n' && *m_pos != L' ' && !StartsMarkup(m_pos))
        ++m_pos;
    token.kind = TokenKind::Text;
    token.text = start;
    token.length = static_cast<int>(m_pos - start);
    return token;
}

} // namespace htmltext
} // namespace Facet
