// The WinHTTP pieces the download engine is built from: the owner of its
// handles, and what a response's headers say, read strictly.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "core/UniqueHandle.h"

#include <optional>
#include <string>
#include <utility>

// The one owner of WinHTTP handles (sessions, connections, requests).
struct WinHttpHandleTraits : Facet::NullInvalidHandle<HINTERNET>
{
    static void Close(HINTERNET handle) { WinHttpCloseHandle(handle); }
};
using WinHttpHandle = Facet::UniqueHandle<WinHttpHandleTraits>;

// What the Content-Length header says.
struct ContentLength
{
    bool present = false;
    bool valid = false;
    unsigned long long value = 0;
};

// Digits only: a sign, a space, a second value or an overflow is no length.
ContentLength QueryContentLength(HINTERNET request);

// The header's value, empty when the response has none.
std::wstring QueryHeaderText(HINTERNET request, DWORD query);

// The response's status code, nothing when it has none.
std::optional<DWORD> QueryStatusCode(HINTERNET request);

// Asks WinHTTP to speak TLS 1.2 and 1.3 on `session`, and nothing older. Where
// the platform does not know TLS 1.3 (it refuses the flag), TLS 1.2 alone.
// Answers the protocols set (WINHTTP_FLAG_SECURE_PROTOCOL_*), 0 when WinHTTP
// took neither (the session then keeps the platform's defaults).
DWORD AskForModernTls(HINTERNET session);
