#include "TextConvert.h"

#include <climits>

namespace {

// WC_NO_BEST_FIT_CHARS is valid for the table code pages only: for UTF-8 (as
// the ANSI code page too, a system option) the call would fail with
// ERROR_INVALID_FLAGS and every text would come out empty. UTF-8 has every
// character, so it needs no such flag.
DWORD NoBestFitFlagFor(UINT codePage)
{
    const UINT actual = codePage == CP_ACP ? GetACP() : codePage;
    return actual == CP_UTF8 || actual == CP_UTF7 ? 0 : WC_NO_BEST_FIT_CHARS;
}

// The whole text through MultiByteToWideChar with `flags`; false when the
// conversion fails (with MB_ERR_INVALID_CHARS: when the text is not valid).
bool Widen(const std::string& text, UINT codePage, DWORD flags, std::wstring& result)
{
    result.clear();
    if (text.empty())
        return true;
    if (text.size() > INT_MAX)
        return false;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return false;
    result.assign(static_cast<size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(codePage, flags, text.data(), length, &result[0], needed);
    result.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return written > 0;
}

} // namespace

std::string ToCodePage(const std::wstring& text, UINT codePage)
{
    if (text.empty() || text.size() > INT_MAX)
        return std::string();
    const int length = static_cast<int>(text.size());
    const DWORD flags = NoBestFitFlagFor(codePage);
    const int needed = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string result(static_cast<size_t>(needed), '\0');
    const int written = WideCharToMultiByte(codePage, flags, text.data(), length, &result[0], needed, nullptr, nullptr);
    result.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return result;
}

std::wstring FromCodePage(const std::string& text, UINT codePage)
{
    std::wstring result;
    Widen(text, codePage, 0, result);
    return result;
}

std::string ToNarrow(const std::wstring& text)
{
    return ToCodePage(text, CP_ACP);
}

std::wstring ToWide(const std::string& text)
{
    return FromCodePage(text, CP_ACP);
}

std::string ToUtf8(const std::wstring& text)
{
    return ToCodePage(text, CP_UTF8);
}

std::wstring FromUtf8OrAnsi(const std::string& text)
{
    std::wstring result;
    if (Widen(text, CP_UTF8, MB_ERR_INVALID_CHARS, result))
        return result;
    return ToWide(text);
}
