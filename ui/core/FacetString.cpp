#include "FacetString.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace Facet {

namespace {

// The longest output of the platform's small formatter, terminator excluded.
const int kSmallFormatterLimit = 1024;
// SmallFormat keeps at most this many characters.
const int kSmallFormatKeep = 63;

int TextLength(const wchar_t* text)
{
    return static_cast<int>(wcslen(text));
}

// Length of `text`, but at most `limit` characters (never reads beyond a
// terminator that comes earlier).
int BoundedLength(const wchar_t* text, int limit)
{
    int length = 0;
    while (length < limit && text[length] != 0)
        ++length;
    return length;
}

} // namespace

CFacetString::CFacetString() : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = 0;
}

CFacetString::CFacetString(const wchar_t* text, int length) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = 0;
    Assign(text, length);
}

CFacetString::CFacetString(const CFacetString& src) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = 0;
    Assign(src.m_pstr);
}

CFacetString::CFacetString(wchar_t ch) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = ch;
    m_szBuffer[1] = 0;
}

CFacetString::~CFacetString()
{
    if (m_pstr != m_szBuffer)
        free(m_pstr);
}

bool CFacetString::Reserve(int length, int keep)
{
    const bool onHeap = m_pstr != m_szBuffer;
    if (length <= kMaxLocalLength) {
        if (onHeap) {
            wmemcpy(m_szBuffer, m_pstr, keep);
            free(m_pstr);
            m_pstr = m_szBuffer;
        }
        return true;
    }
    const size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
    if (onHeap) {
        wchar_t* block = static_cast<wchar_t*>(realloc(m_pstr, bytes));
        if (block == nullptr)
            return false;
        m_pstr = block;
    } else {
        wchar_t* block = static_cast<wchar_t*>(malloc(bytes));
        if (block == nullptr)
            return false;
        wmemcpy(block, m_szBuffer, keep);
        m_pstr = block;
    }
    return true;
}

void CFacetString::Assign(const wchar_t* text, int length)
{
    if (text == nullptr) {
        Empty();
        return;
    }
    length = length < 0 ? TextLength(text) : BoundedLength(text, length);

    // The source may lie inside this string's own storage, which Reserve may
    // move or free: copy it out first.
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(m_pstr);
    const std::uintptr_t end = begin + (static_cast<std::uintptr_t>(GetLength()) + 1) * sizeof(wchar_t);
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(text);
    if (at >= begin && at < end) {
        CFacetString copy(text, length);
        Assign(copy.m_pstr, length);
        return;
    }

    if (!Reserve(length, 0))
        return;
    wmemcpy(m_pstr, text, length);
    m_pstr[length] = 0;
}

bool CFacetString::AppendCount(const wchar_t* text, int count)
{
    if (count <= 0)
        return true;
    const int oldLength = GetLength();
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(m_pstr);
    const std::uintptr_t end = begin + (static_cast<std::uintptr_t>(oldLength) + 1) * sizeof(wchar_t);
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(text);
    if (at >= begin && at < end) {
        CFacetString copy(text, count);
        return AppendCount(copy.m_pstr, count);
    }
    if (!Reserve(oldLength + count, oldLength))
        return false;
    wmemcpy(m_pstr + oldLength, text, count);
    m_pstr[oldLength + count] = 0;
    return true;
}

void CFacetString::Append(const wchar_t* text)
{
    if (text != nullptr)
        AppendCount(text, TextLength(text));
}

CFacetString& CFacetString::operator=(const CFacetString& src)
{
    if (this != &src)
        Assign(src.m_pstr);
    return *this;
}

CFacetString& CFacetString::operator=(const wchar_t* text)
{
    if (text == nullptr)
        Empty();
    else
        Assign(text);
    return *this;
}

CFacetString& CFacetString::operator=(wchar_t ch)
{
    Empty();
    m_szBuffer[0] = ch;
    m_szBuffer[1] = 0;
    return *this;
}

CFacetString& CFacetString::operator=(const char* text)
{
    if (text == nullptr) {
        Empty();
        return *this;
    }
    const UINT codePage = GetACP();
    const int units = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 1) {
        Empty();
        return *this;
    }
    if (!Reserve(units - 1, 0))
        return *this;
    MultiByteToWideChar(codePage, 0, text, -1, m_pstr, units);
    m_pstr[units - 1] = 0;
    return *this;
}

CFacetString& CFacetString::operator+=(const CFacetString& src)
{
    AppendCount(src.m_pstr, src.GetLength());
    return *this;
}

CFacetString& CFacetString::operator+=(const wchar_t* text)
{
    Append(text);
    return *this;
}

CFacetString& CFacetString::operator+=(wchar_t ch)
{
    if (ch != 0)
        AppendCount(&ch, 1);
    return *this;
}

CFacetString& CFacetString::operator+=(const char* text)
{
    if (text != nullptr) {
        CFacetString converted;
        converted = text;
        *this += converted;
    }
    return *this;
}

CFacetString CFacetString::operator+(const CFacetString& src) const
{
    CFacetString result(*this);
    result += src;
    return result;
}

CFacetString CFacetString::operator+(const wchar_t* text) const
{
    CFacetString result(*this);
    result.Append(text);
    return result;
}

bool CFacetString::operator==(const wchar_t* text) const
{
    return Compare(text) == 0;
}
bool CFacetString::operator!=(const wchar_t* text) const
{
    return Compare(text) != 0;
}
bool CFacetString::operator<(const wchar_t* text) const
{
    return Compare(text) < 0;
}
bool CFacetString::operator<=(const wchar_t* text) const
{
    return Compare(text) <= 0;
}
bool CFacetString::operator>(const wchar_t* text) const
{
    return Compare(text) > 0;
}
bool CFacetString::operator>=(const wchar_t* text) const
{
    return Compare(text) >= 0;
}

int CFacetString::Compare(const wchar_t* text) const
{
    return wcscmp(m_pstr, text != nullptr ? text : L"");
}

int CFacetString::CompareNoCase(const wchar_t* text) const
{
    return _wcsicmp(m_pstr, text != nullptr ? text : L"");
}

int CFacetString::GetLength() const
{
    return TextLength(m_pstr);
}

bool CFacetString::IsEmpty() const
{
    return m_pstr[0] == 0;
}

void CFacetString::Empty()
{
    if (m_pstr != m_szBuffer)
        free(m_pstr);
    m_pstr = m_szBuffer;
    m_szBuffer[0] = 0;
}

wchar_t CFacetString::GetAt(int index) const
{
    return m_pstr[index];
}
wchar_t CFacetString::operator[](int index) const
{
    return m_pstr[index];
}
void CFacetString::SetAt(int index, wchar_t ch)
{
    m_pstr[index] = ch;
}

const wchar_t* CFacetString::GetData() const
{
    return m_pstr;
}
CFacetString::operator const wchar_t*() const
{
    return m_pstr;
}

CFacetString CFacetString::Left(int count) const
{
    const int length = GetLength();
    if (count < 0)
        count = 0;
    if (count > length)
        count = length;
    return CFacetString(m_pstr, count);
}

CFacetString CFacetString::Mid(int pos, int count) const
{
    const int length = GetLength();
    if (pos < 0)
        pos = 0;
    if (pos > length)
        pos = length;
    if (count < 0 || count > length - pos)
        count = length - pos;
    if (count <= 0)
        return CFacetString();
    return CFacetString(m_pstr + pos, count);
}

CFacetString CFacetString::Right(int count) const
{
    const int length = GetLength();
    if (count < 0)
        count = 0;
    if (count > length)
        count = length;
    return CFacetString(m_pstr + length - count, count);
}

int CFacetString::Find(wchar_t ch, int start) const
{
    const int length = GetLength();
    if (start != 0 && (start < 0 || start >= length))
        return -1;
    if (ch == 0)
        return -1;
    const wchar_t* found = wcschr(m_pstr + start, ch);
    return found == nullptr ? -1 : static_cast<int>(found - m_pstr);
}

int CFacetString::Find(const wchar_t* text, int start) const
{
    if (text == nullptr)
        return -1;
    const int length = GetLength();
    if (start != 0 && (start < 0 || start > length))
        return -1;
    // The empty text is found where the search starts (some runtimes'
    // wcsstr find nothing in an empty text).
    if (text[0] == 0)
        return start;
    const wchar_t* found = wcsstr(m_pstr + start, text);
    return found == nullptr ? -1 : static_cast<int>(found - m_pstr);
}

int CFacetString::ReverseFind(wchar_t ch) const
{
    if (ch == 0)
        return -1;
    const wchar_t* found = wcsrchr(m_pstr, ch);
    return found == nullptr ? -1 : static_cast<int>(found - m_pstr);
}

int CFacetString::Replace(const wchar_t* from, const wchar_t* to)
{
    if (from == nullptr || from[0] == 0)
        return 0;
    // Copies: `from` and `to` may point into this string.
    const CFacetString search(from);
    const CFacetString replacement(to);
    const int searchLength = search.GetLength();

    // Scanning the original text after each match is the same as resuming in
    // the new text after the inserted replacement: replaced text is never
    // searched again.
    CFacetString result;
    int count = 0;
    const wchar_t* rest = m_pstr;
    for (const wchar_t* hit = wcsstr(rest, search.m_pstr); hit != nullptr; hit = wcsstr(rest, search.m_pstr)) {
        result.AppendCount(rest, static_cast<int>(hit - rest));
        result += replacement;
        rest = hit + searchLength;
        ++count;
    }
    if (count > 0) {
        result.Append(rest);
        Assign(result.m_pstr);
    }
    return count;
}

void CFacetString::MakeUpper()
{
    for (wchar_t* p = m_pstr; *p != 0; ++p)
        *p = static_cast<wchar_t>(towupper(*p));
}

void CFacetString::MakeLower()
{
    for (wchar_t* p = m_pstr; *p != 0; ++p)
        *p = static_cast<wchar_t>(towlower(*p));
}

CFacetString CFacetString::ToString() const
{
    return *this;
}

int CFacetString::Format(const wchar_t* format, ...)
{
    if (format == nullptr) {
        Empty();
        return -1;
    }
    // Measure and format with the same runtime (msvcrt's _vscwprintf and
    // _vsnwprintf), so that both read the format alike. The counted formatter
    // given no buffer is not reliable for measuring on every runtime.
    va_list args;
    va_start(args, format);
    va_list measureArgs;
    va_copy(measureArgs, args);
    const int length = _vscwprintf(format, measureArgs);
    va_end(measureArgs);
    if (length < 0) {
        va_end(args);
        Empty();
        return -1;
    }
    wchar_t* block = static_cast<wchar_t*>(calloc(static_cast<size_t>(length) + 1, sizeof(wchar_t)));
    if (block == nullptr) {
        va_end(args);
        Empty();
        return -1;
    }
#ifdef _MSC_VER
    const int written = _vsnwprintf_s(block, static_cast<size_t>(length) + 1, _TRUNCATE, format, args);
#else
    const int written = _vsnwprintf(block, static_cast<size_t>(length) + 1, format, args);
#endif
    va_end(args);
    if (written < 0) {
        free(block);
        Empty();
        return -1;
    }
    Assign(block, written);
    free(block);
    return written;
}

int CFacetString::SmallFormat(const wchar_t* format, ...)
{
    if (format == nullptr) {
        Empty();
        return -1;
    }
    // wvsprintfW writes up to 1024 characters and a terminator, and cannot be
    // bounded: give it room for all of that, then keep the first 63.
    wchar_t buffer[kSmallFormatterLimit + 1];
    wmemset(buffer, 0, kSmallFormatterLimit + 1);
    va_list args;
    va_start(args, format);
    const int written = wvsprintfW(buffer, format, args);
    va_end(args);
    if (written < 0) {
        Empty();
        return written;
    }
    Assign(buffer, (std::min)(written, kSmallFormatKeep));
    return written;
}

} // namespace Facet
