// What makes a typed proxy usable: a port from 1 to 65535 and an address that
// names one host, so an attempt never goes to another port than the one typed.
#include "ProxySettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProxySettings, APortIsANumberFrom1To65535InDigitsAlone)
{
    EXPECT_EQ(ProxyPortNumber(L"1"), 1u);
    EXPECT_EQ(ProxyPortNumber(L"3128"), 3128u);
    EXPECT_EQ(ProxyPortNumber(L"65535"), 65535u);
    EXPECT_EQ(ProxyPortNumber(L"08080"), 8080u);
    for (const wchar_t* invalid : {L"", L"0", L"00000", L"65536", L"70000", L"-1", L"+80", L"abc", L"80a", L" 80",
                                   L"80 ", L"4294967377", L"123456", L"\xFF18\xFF10", L"8\u0660"})
        EXPECT_EQ(ProxyPortNumber(invalid), 0u) << testing::PrintToString(std::wstring(invalid));
}

TEST(ProxySettings, AnAddressNamesOneHostWithoutAPortOfItsOwn)
{
    for (const wchar_t* host : {L"192.0.2.7", L"proxy.example", L"\u4EE3\u7406.example", L"[::1]", L"[2001:db8::7]"})
        EXPECT_TRUE(IsProxyAddress(host));
    for (const wchar_t* other : {L"", L"proxy:8080", L"::1", L"a;b", L"a b", L"a,b", L"http=a", L"http://a", L"[::1",
                                 L"::1]", L"[]", L"a\tb", L"[a]b]"})
        EXPECT_FALSE(IsProxyAddress(other));
}

TEST(ProxySettings, AProxyIsUsableWithAnAddressAndAValidPort)
{
    ProxySettings proxy;
    proxy.ip = L"192.0.2.7";
    proxy.port = L"3128";
    EXPECT_TRUE(IsUsableProxy(proxy));
    proxy.port = L"65536";
    EXPECT_FALSE(IsUsableProxy(proxy));
    proxy.port = L"80";
    proxy.ip = L"192.0.2.7:8080";
    EXPECT_FALSE(IsUsableProxy(proxy));
}

} // namespace
