// The proxy the user enters on the settings page, and what makes it usable.
#pragma once

#include <string>

// The five values as typed (wide text, never through a narrow code page).
struct ProxySettings
{
    bool useProxy = false;
    std::wstring ip;
    std::wstring port;
    std::wstring account;
    std::wstring password;
};

// The longest text each field takes; the field stops accepting input there.
constexpr unsigned kProxyFieldMaxChars = 255;

// The port as a number when `text` is one from 1 to 65535 in decimal digits
// alone (no sign, no space); 0 otherwise. A port never falls back to another.
unsigned ProxyPortNumber(const std::wstring& text);

// True for an address that names one proxy host: not empty, and none of the
// characters that would make WinHTTP read a port or a second proxy from it
// (white space, ';', ',', '=', '/', or ':' outside an IPv6 literal in brackets).
bool IsProxyAddress(const std::wstring& text);

// The address and the port form one proxy that an attempt can use as typed.
bool IsUsableProxy(const ProxySettings& proxy);
