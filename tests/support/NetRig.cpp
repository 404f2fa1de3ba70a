#include "NetRig.h"

#include "../support/TestFiles.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace netrig {
namespace {

// Wine shows the host's root folder as drive Z:.
std::wstring HostPath(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c != '\0'; ++c)
        path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return path;
}

std::wstring RigFolder()
{
    return HostPath(NETRIG_DIR);
}

std::string ReadState()
{
    std::string state = testsupport::ReadFileText(RigFolder() + L"\\state");
    while (!state.empty() && (state.back() == '\n' || state.back() == '\r'))
        state.pop_back();
    return state;
}

// Runs "netrig <command> <dir>" on the host. Wine starts host programs but
// cannot wait for them, so the script's state file tells when it is done.
std::string RunRig(const std::string& command, const std::string& awaited)
{
    DeleteFileW((RigFolder() + L"\\state").c_str());
    std::wstring line = L"Z:\\bin\\bash \"" + std::wstring(NETRIG_SCRIPT, NETRIG_SCRIPT + sizeof(NETRIG_SCRIPT) - 1) +
                        L"\" " + std::wstring(command.begin(), command.end()) + L" \"" +
                        std::wstring(NETRIG_DIR, NETRIG_DIR + sizeof(NETRIG_DIR) - 1) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return "cannot start the rig script: error " + std::to_string(GetLastError());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 1200; ++i) {
        const std::string state = ReadState();
        if (state == awaited || state.rfind("failed", 0) == 0)
            return state;
        Sleep(100);
    }
    return "no answer from the rig script";
}

// Runs the trust_ca helper beside this program and returns its exit code.
DWORD RunTrustHelper(const std::wstring& command)
{
    std::wstring line = L"\"" + testsupport::ProgramFolder() + L"\\trust_ca.exe\" " + command + L" \"" + RigFolder() +
                        L"\\pki\\ca.der\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}

} // namespace

std::wstring DocumentRoot()
{
    return RigFolder() + L"\\www";
}

void Publish(const std::wstring& name, const std::string& bytes)
{
    testsupport::WriteFileText(DocumentRoot() + L"\\" + name, bytes);
}

bool PauseServer()
{
    return RunRig("pause", "paused") == "paused";
}

bool ResumeServer()
{
    return RunRig("resume", "up") == "up";
}

int TunnelsOpenedBy(const wchar_t* proxy)
{
    const std::string log = testsupport::ReadFileText(RigFolder() + L"\\" + proxy + L".log");
    const std::string established = "Established connection to host \"localhost\"";
    int count = 0;
    for (size_t at = log.find(established); at != std::string::npos; at = log.find(established, at + 1))
        ++count;
    return count;
}

std::wstring SignedInstaller(const std::wstring& signer)
{
    return RigFolder() + L"\\signed\\" + signer + L".exe";
}

std::vector<ServerRequest> ServerRequests()
{
    std::vector<ServerRequest> requests;
    const std::string log = testsupport::ReadFileText(RigFolder() + L"\\requests.log");
    size_t start = 0;
    for (size_t end = log.find('\n'); end != std::string::npos; start = end + 1, end = log.find('\n', start)) {
        const std::string line = log.substr(start, end - start);
        const size_t tab = line.find('\t');
        ServerRequest request;
        request.path = line.substr(0, tab);
        for (size_t at = tab; at != std::string::npos && at + 1 < line.size();) {
            const size_t comma = line.find(',', at + 1);
            request.headers.push_back(
                line.substr(at + 1, comma == std::string::npos ? std::string::npos : comma - at - 1));
            at = comma;
        }
        requests.push_back(request);
    }
    return requests;
}

void ServeByRules(const std::string& rulesJson)
{
    Publish(L".serve", rulesJson);
}

void ClearRules()
{
    DeleteFileW((DocumentRoot() + L"\\.serve").c_str());
}

std::vector<ServerResponse> ServerResponses()
{
    std::vector<ServerResponse> responses;
    const std::string log = testsupport::ReadFileText(RigFolder() + L"\\responses.log");
    size_t start = 0;
    for (size_t end = log.find('\n'); end != std::string::npos; start = end + 1, end = log.find('\n', start)) {
        std::vector<std::string> fields;
        const std::string line = log.substr(start, end - start);
        for (size_t at = 0;;) {
            const size_t tab = line.find('\t', at);
            fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
            if (tab == std::string::npos)
                break;
            at = tab + 1;
        }
        if (fields.size() != 6)
            continue;
        ServerResponse response;
        response.path = fields[0];
        response.status = std::atoi(fields[1].c_str());
        response.range = fields[2];
        response.ifRange = fields[3];
        response.bodyBytes = std::strtoull(fields[4].c_str(), nullptr, 10);
        response.ended = fields[5];
        responses.push_back(response);
    }
    return responses;
}

void Environment::SetUp()
{
    const std::string state = RunRig("start", "up");
    ASSERT_EQ(state, "up") << "the network rig did not start; see " NETRIG_DIR "/netrig.log";
    ASSERT_EQ(RunTrustHelper(L"add"), 0u) << "cannot trust the rig's CA in this prefix";
}

void Environment::TearDown()
{
    RunTrustHelper(L"remove");
    RunRig("stop", "down");
}

void TrustedCaEnvironment::SetUp()
{
    ASSERT_EQ(RunTrustHelper(L"add"), 0u) << "cannot trust the rig's CA in this prefix (are its certificates made?)";
}

void TrustedCaEnvironment::TearDown()
{
    RunTrustHelper(L"remove");
}

} // namespace netrig
