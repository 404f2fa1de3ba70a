// Splits mark-up text into runs, spaces, line breaks and tags.
#pragma once

namespace Facet {
namespace htmltext {

enum class TokenKind {
    Text,      // characters to draw: a run, or one bracket given by an escape
    Space,     // one space character
    LineBreak, // a new-line character
    OpenTag,   // {x argument} or <x argument>
    CloseTag,  // {/x} or </x>
    End
};

struct Token
{
    TokenKind kind = TokenKind::End;
    wchar_t letter = 0;            // tags: 'a' to 'z'
    const wchar_t* text = nullptr; // Text: the characters; OpenTag: the argument
    int length = 0;
    bool spaced = false; // OpenTag: a blank followed the letter ({i name} rather than {i})
};

// Reads a mark-up text token by token. A tag opens with "<" or "{", then one
// lower-case letter, then a blank or a closing bracket (">" or "}", either
// one closes either kind); its argument runs to the closing bracket. A tag
// whose closing bracket is missing takes the rest of the text as argument.
// Inside {r}...{/r} no tag but the raw end is recognised. "<{>", "<}>",
// "{<}" and "{>}" stand for the bracket in their middle. The reader never
// looks beyond the text's terminator.
class TokenReader
{
public:
    explicit TokenReader(const wchar_t* text) : m_pos(text) {}

    Token Next();

private:
    bool ReadEscape(Token& token);
    bool ReadCloseTag(Token& token);
    bool ReadOpenTag(Token& token);
    // Whether a tag or an escape starts at `p`.
    bool StartsMarkup(const wchar_t* p) const;

    const wchar_t* m_pos;
    bool m_raw = false;
};

// Whether `c` is one of the brackets that open or close tags.
inline bool IsOpeningBracket(wchar_t c)
{
    return c == L'<' || c == L'{';
}
inline bool IsClosingBracket(wchar_t c)
{
    return c == L'>' || c == L'}';
}

} // namespace htmltext
} // namespace Facet
