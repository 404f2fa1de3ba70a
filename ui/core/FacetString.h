// CFacetString: the framework's wide-character string.
#pragma once

namespace Facet {

// A text of 16-bit characters (UTF-16 code units, no surrogate awareness),
// always terminated by a 0 character.
//
// Short texts live in an in-object buffer: a text of at most 62 characters is
// held locally, a text of 63 characters or more in a heap block of exactly
// (length + 1) characters. Every operation that changes the length keeps that
// rule, so a string that shrinks back to 62 characters or fewer returns to the
// local buffer and frees its heap block.
//
// Formatting: the wide printf family of MinGW may read "%s" as a narrow
// string. Write "%ls" for a wide-text argument (and "%hs" for a narrow one);
// both mean the same on every compiler.
class CFacetString
{
public:
    // Characters in the in-object buffer, terminator included.
    static const int kLocalBufferLength = 64;
    // The longest text that is kept in the in-object buffer.
    static const int kMaxLocalLength = kLocalBufferLength - 2;

    CFacetString();
    // A negative length takes the whole text; a null text gives an empty string.
    CFacetString(const wchar_t* text, int length = -1);
    CFacetString(const CFacetString& src);
    explicit CFacetString(wchar_t ch);
    ~CFacetString();

    // Copies exactly `length` characters (the whole text when negative) and
    // terminates. A null text empties the string.
    void Assign(const wchar_t* text, int length = -1);
    // Appends the whole text; a null text is ignored.
    void Append(const wchar_t* text);

    CFacetString& operator=(const CFacetString& src);
    CFacetString& operator=(const wchar_t* text); // null empties
    CFacetString& operator=(wchar_t ch);
    CFacetString& operator=(const char* text); // from the ANSI code page; null empties

    CFacetString& operator+=(const CFacetString& src);
    CFacetString& operator+=(const wchar_t* text); // null is ignored
    CFacetString& operator+=(wchar_t ch);
    CFacetString& operator+=(const char* text); // from the ANSI code page; null is ignored

    CFacetString operator+(const CFacetString& src) const;
    CFacetString operator+(const wchar_t* text) const; // null yields a copy

    // Ordinal (character-code) comparisons.
    bool operator==(const wchar_t* text) const;
    bool operator!=(const wchar_t* text) const;
    bool operator<(const wchar_t* text) const;
    bool operator<=(const wchar_t* text) const;
    bool operator>(const wchar_t* text) const;
    bool operator>=(const wchar_t* text) const;

    // < 0, 0 or > 0. A null text compares as the empty text.
    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;

    // Characters before the terminator (counted on each call).
    int GetLength() const;
    bool IsEmpty() const;
    // Frees a heap block and leaves an empty local string.
    void Empty();

    // Unchecked character access: the caller keeps `index` inside the text.
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const;
    void SetAt(int index, wchar_t ch);

    const wchar_t* GetData() const;
    operator const wchar_t*() const;

    // First `count` characters; a negative count gives an empty string, a count
    // beyond the length the whole text.
    CFacetString Left(int count) const;
    // From `pos` (clamped into 0..length) for `count` characters (to the end
    // when negative, clipped at the end of the text).
    CFacetString Mid(int pos, int count = -1) const;
    // Last `count` characters; a negative count gives an empty string, a count
    // beyond the length the whole text.
    CFacetString Right(int count) const;

    // Index of the first `ch` at or after `start`, or -1. A start other than 0
    // that is negative or not below the length gives -1.
    int Find(wchar_t ch, int start = 0) const;
    // Index of the first occurrence of `text` at or after `start`, or -1. A
    // start other than 0 that is negative or beyond the length gives -1; the
    // empty text is found at `start`.
    int Find(const wchar_t* text, int start = 0) const;
    // Index of the last `ch`, or -1.
    int ReverseFind(wchar_t ch) const;
    // Replaces every occurrence of `from` by `to`, left to right, never
    // searching replaced text again. Returns the number of replacements;
    // an empty or null `from` replaces nothing.
    int Replace(const wchar_t* from, const wchar_t* to);

    void MakeUpper();
    void MakeLower();

    CFacetString ToString() const;

    // printf-style formatting of any length; returns the formatted length, or
    // -1 (string emptied) when the format cannot be formatted.
    int Format(const wchar_t* format, ...);
    // Formatting with the platform's small formatter (integer, character and
    // text conversions; no floating point). The result is cut to 63
    // characters; returns the formatter's count (which may exceed 63).
    int SmallFormat(const wchar_t* format, ...);

private:
    // Makes room for a text of `length` characters (local or heap as the
    // size rule says) keeping the first `keep` characters; returns false when
    // memory runs out (the string is then unchanged).
    bool Reserve(int length, int keep);
    // Appends `count` characters of `text`; false when memory runs out.
    bool AppendCount(const wchar_t* text, int count);

    wchar_t* m_pstr;
    wchar_t m_szBuffer[kLocalBufferLength];
};

} // namespace Facet
