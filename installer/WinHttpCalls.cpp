#include "WinHttpCalls.h"

#include "Diagnostics.h"

ContentLength QueryContentLength(HINTERNET request)
{
    ContentLength length;
    wchar_t text[64] = {};
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        // A header too long for any number is present, and no length.
        length.present = GetLastError() == ERROR_INSUFFICIENT_BUFFER;
        return length;
    }
    length.present = true;
    const unsigned long long largest = ~0ull;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c < L'0' || *c > L'9')
            return length;
        const unsigned digit = static_cast<unsigned>(*c - L'0');
        if (length.value > (largest - digit) / 10)
            return length;
        length.value = length.value * 10 + digit;
    }
    length.valid = text[0] != L'\0';
    return length;
}

std::wstring QueryHeaderText(HINTERNET request, DWORD query)
{
    wchar_t text[256] = {};
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, text, &size, WINHTTP_NO_HEADER_INDEX))
        return std::wstring();
    return text;
}

std::optional<DWORD> QueryStatusCode(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    return status;
}

DWORD AskForModernTls(HINTERNET session)
{
    for (DWORD protocols :
         {static_cast<DWORD>(WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3),
          static_cast<DWORD>(WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2)}) {
        if (WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols)))
            return protocols;
    }
    WriteDiagnosticLine(stdout, "download: WinHTTP keeps its own TLS versions (error " +
                                    std::to_string(static_cast<long>(GetLastError())) + ")");
    return 0;
}
