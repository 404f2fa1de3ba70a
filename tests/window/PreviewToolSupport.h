// FacetPreview as a child process for the tests: run to its end, or started
// and read while it runs; and the PNG files it writes, decoded.
#pragma once

#include "../support/TestFiles.h"

#include <stb_image.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A kernel handle closed with its owner.
class Handle
{
public:
    explicit Handle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return m_handle; }
    HANDLE* Put()
    {
        Close();
        return &m_handle;
    }
    void Close()
    {
        if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle;
};

inline std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

// ASCII text of a wide string (other characters as '?'), to compare with output.
inline std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text)
        out += static_cast<char>(c < 0x80 ? c : '?');
    return out;
}

// The lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// FacetPreview started with `arguments` (in `folder` when given), its standard
// output and error going to one pipe that the test reads.
class PreviewProcess
{
public:
    PreviewProcess(const std::wstring& arguments, const std::wstring& folder = std::wstring())
    {
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        Handle writeEnd;
        if (!::CreatePipe(m_readEnd.Put(), writeEnd.Put(), &inherit, 0))
            return;
        ::SetHandleInformation(m_readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd.Get();
        startup.hStdError = writeEnd.Get();
        std::wstring commandLine = L"\"" + testsupport::ProgramFolder() + L"\\FacetPreview.exe\" " + arguments;
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                              folder.empty() ? nullptr : folder.c_str(), &startup, &process))
            return;
        *m_process.Put() = process.hProcess;
        ::CloseHandle(process.hThread);
        m_processId = process.dwProcessId;
        // Only the child holds the write end now, so reading ends when it exits.
    }
    // A child still running when the test ends is stopped.
    ~PreviewProcess()
    {
        if (m_process.Get() != nullptr && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT)
            ::TerminateProcess(m_process.Get(), 255);
    }
    PreviewProcess(const PreviewProcess&) = delete;
    PreviewProcess& operator=(const PreviewProcess&) = delete;

    bool Started() const { return m_process.Get() != nullptr; }
    DWORD ProcessId() const { return m_processId; }
    // Everything the child wrote so far.
    const std::string& Output() const { return m_output; }

    // Reads until the output holds `text` `times` times or `timeoutMs` pass;
    // whether it does.
    bool WaitForOutput(const std::string& text, DWORD timeoutMs, int times = 1)
    {
        const ULONGLONG end = ::GetTickCount64() + timeoutMs;
        for (;;) {
            ReadAvailable();
            if (Count(text) >= times)
                return true;
            if (::GetTickCount64() >= end || ::WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0) {
                ReadAvailable();
                return Count(text) >= times;
            }
            ::Sleep(50);
        }
    }

    // How often the output so far holds `text`.
    int Count(const std::string& text) const
    {
        int count = 0;
        for (size_t at = m_output.find(text); at != std::string::npos; at = m_output.find(text, at + text.size()))
            ++count;
        return count;
    }

    // Reads everything up to the child's end and answers its exit code, or
    // 0xFFFFFFFF when it does not end within `timeoutMs`.
    DWORD WaitForExit(DWORD timeoutMs = INFINITE)
    {
        if (m_process.Get() == nullptr)
            return 0xFFFFFFFF;
        // Read while waiting: a child whose pipe is full would never end.
        const ULONGLONG end = ::GetTickCount64() + timeoutMs;
        while (::WaitForSingleObject(m_process.Get(), 50) != WAIT_OBJECT_0) {
            ReadAvailable();
            if (timeoutMs != INFINITE && ::GetTickCount64() >= end)
                return 0xFFFFFFFF;
        }
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(m_readEnd.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
            m_output.append(buffer, read);
        DWORD code = 0xFFFFFFFF;
        ::GetExitCodeProcess(m_process.Get(), &code);
        return code;
    }

private:
    void ReadAvailable()
    {
        DWORD available = 0;
        while (::PeekNamedPipe(m_readEnd.Get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            std::string chunk(available, '\0');
            DWORD read = 0;
            if (!::ReadFile(m_readEnd.Get(), &chunk[0], available, &read, nullptr) || read == 0)
                return;
            m_output.append(chunk, 0, read);
        }
    }

    Handle m_readEnd;
    Handle m_process;
    DWORD m_processId = 0;
    std::string m_output;
};

struct RunResult
{
    DWORD exitCode = 0xFFFFFFFF;
    std::string output; // standard output and standard error together
};

// Runs FacetPreview with `arguments` (in `folder` when given) and waits for it to end.
inline RunResult RunPreview(const std::wstring& arguments, const std::wstring& folder = std::wstring())
{
    PreviewProcess process(arguments, folder);
    RunResult result;
    result.exitCode = process.WaitForExit();
    result.output = process.Output();
    return result;
}

// A decoded PNG: RGBA pixels, row by row.
struct Png
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    // 0xAARRGGBB of one pixel.
    uint32_t At(int x, int y) const
    {
        const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        return (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[0]) << 16) |
               (static_cast<uint32_t>(p[1]) << 8) | p[2];
    }
};

inline bool LoadPng(const std::wstring& path, Png& png)
{
    const std::string bytes = testsupport::ReadFileText(path);
    if (bytes.empty())
        return false;
    int components = 0;
    unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                  static_cast<int>(bytes.size()), &png.width, &png.height, &components,
                                                  4);
    if (pixels == nullptr)
        return false;
    png.rgba.assign(pixels, pixels + static_cast<size_t>(png.width) * png.height * 4);
    stbi_image_free(pixels);
    return true;
}

} // namespace testsupport
