// The network rig of the download tests (tools/netrig): an HTTPS server on
// 127.0.0.1:443 and 127.0.0.2:443 and two tinyproxy instances, all on loopback,
// started by the test program and stopped when it ends. While it runs, the rig's
// test CA is trusted by this Wine prefix's machine "Root" store, and nothing else.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace netrig {

constexpr char kProxyPort[] = "18080";
constexpr char kAuthProxyPort[] = "18081";
constexpr char kProxyUser[] = "proxyuser";
constexpr char kProxyPassword[] = "Secr3t-pass";

// Windows path of the rig's document root.
std::wstring DocumentRoot();

// Puts a file into the document root under `name`.
void Publish(const std::wstring& name, const std::string& bytes);

// Stops the HTTPS server alone (connections to 443 are refused) and starts it
// again; the proxies keep running. True when the rig did it.
bool PauseServer();
bool ResumeServer();

// How many tunnels to the download server the proxy has opened so far:
// `proxy` is L"proxy" (the open one) or L"authproxy".
int TunnelsOpenedBy(const wchar_t* proxy);

// The stand-in installer as the rig's signer `signer` signed it ("publisher",
// "other", "untrusted", ... with "-padded" or "-stamped" where made): the Windows
// path of "<rig>/signed/<signer>.exe". tests/installer/sign_stand_ins.sh makes
// them before the tests that need them (the ctest fixture "signed_installers").
std::wstring SignedInstaller(const std::wstring& signer);

// A request that reached the HTTPS server (inside a proxy's tunnel, too): its
// path and the names of the headers it carried, in lower case.
struct ServerRequest
{
    std::string path;
    std::vector<std::string> headers;

    bool Carries(const std::string& header) const
    {
        return std::find(headers.begin(), headers.end(), header) != headers.end();
    }
};

// Every request the HTTPS server has received since the rig started, oldest first.
std::vector<ServerRequest> ServerRequests();

// Serves /client/ paths by `rulesJson` (the ".serve" switch, see
// tools/lib/netrig_server.py), until ClearRules.
void ServeByRules(const std::string& rulesJson);
void ClearRules();

// A response to a /client/ path, as the server logged it at its end.
struct ServerResponse
{
    std::string path;
    int status = 0;
    std::string range;   // the Range header asked with, "-" without
    std::string ifRange; // the If-Range header, "-" without
    unsigned long long bodyBytes = 0;
    std::string ended; // "whole", "reset", "close", "stall", "stalled", ...
};

// Every response to a /client/ path since the rig started, oldest first.
std::vector<ServerResponse> ServerResponses();

// Starts the rig and trusts its CA for the whole test program; undoes both at the end.
class Environment : public testing::Environment
{
public:
    void SetUp() override;
    void TearDown() override;
};

// Trusts the rig's CA for the whole test program, without starting the rig.
class TrustedCaEnvironment : public testing::Environment
{
public:
    void SetUp() override;
    void TearDown() override;
};

} // namespace netrig
