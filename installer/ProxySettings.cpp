#include "ProxySettings.h"

#include <cwctype>

unsigned ProxyPortNumber(const std::wstring& text)
{
    if (text.empty() || text.size() > 5)
        return 0;
    unsigned number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return 0;
        number = number * 10 + static_cast<unsigned>(c - L'0');
    }
    return number <= 65535 ? number : 0;
}

bool IsProxyAddress(const std::wstring& text)
{
    if (text.empty())
        return false;
    const bool bracketed = text.front() == L'[' && text.back() == L']' && text.size() > 2;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (std::iswspace(c) || c < L' ' || c == L';' || c == L',' || c == L'=' || c == L'/')
            return false;
        if ((c == L'[' && !(bracketed && i == 0)) || (c == L']' && !(bracketed && i == text.size() - 1)))
            return false;
        if (c == L':' && !bracketed)
            return false;
    }
    return true;
}

bool IsUsableProxy(const ProxySettings& proxy)
{
    return IsProxyAddress(proxy.ip) && ProxyPortNumber(proxy.port) != 0;
}
