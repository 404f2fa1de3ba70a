// What reading installer.ini costs at start: the load of the proxy settings
// (one read and one parse) on files of one long value and of many small
// settings, below, at and far above the size the store reads; and, for the
// reasons of that bound, what the parser alone takes for larger texts.
// Prints one line per case on standard output: "<case> <bytes> <seconds>"
// (the store's own lines about a file too large go to standard error).
#include "ConfigStore.h"

#include "../BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string OneLongValue(size_t size)
{
    const std::string head = "usingProxy = 1\nport = \"3128\"\nip = \"";
    return head + std::string(size > head.size() + 2 ? size - head.size() - 2 : 0, 'a') + "\"\n";
}

// Settings of the given form ("s<i> = ..." lines) up to `size` bytes, never beyond.
std::string ManySettings(size_t size, bool tiny = false)
{
    std::string text;
    for (int i = 0;; ++i) {
        const std::string line = tiny ? "s" + std::to_string(i) + "=1\n"
                                      : "setting" + std::to_string(i) + " = \"value " + std::to_string(i) + "\"\n";
        if (text.size() + line.size() > size)
            return text;
        text += line;
    }
}

bool WriteText(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size();
    CloseHandle(file);
    return whole;
}

void TimeLoad(const char* name, const std::wstring& path, const std::string& text)
{
    if (!WriteText(path, text))
        return;
    ConfigStore store(path);
    const double seconds = bench::SecondsPerRun([&] { ReadProxySettings(store); }, 0.5, 3);
    std::printf("load %-14s %9zu %.6f\n", name, text.size(), seconds);
}

void TimeParse(const char* name, const std::string& text)
{
    const double seconds = bench::SecondsPerRun(
        [&] {
            libconfig::Config config;
            try {
                config.readString(text);
            } catch (const libconfig::ParseException&) {
            }
        },
        0.5, 1);
    std::printf("parse %-13s %9zu %.6f\n", name, text.size(), seconds);
}

} // namespace

int main()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring path = std::wstring(temp) + L"bench-installer-" + std::to_wstring(GetCurrentProcessId()) +
                              L".ini";
    const size_t bound = static_cast<size_t>(kLargestSettingsFile);
    TimeLoad("typical", path,
             "usingProxy = 1\nip = \"192.0.2.10\"\nport = \"3128\"\naccount = \"\"\npassword = \"\"\n");
    for (size_t size : {size_t(4096), bound, size_t(10) * 1024 * 1024}) {
        TimeLoad("one-value", path, OneLongValue(size));
        TimeLoad("many-settings", path, ManySettings(size));
        TimeLoad("tiny-settings", path, ManySettings(size, true));
    }
    for (size_t size : {size_t(8) * 1024, size_t(16) * 1024, size_t(64) * 1024, size_t(256) * 1024}) {
        TimeParse("one-value", OneLongValue(size));
        TimeParse("many-settings", ManySettings(size));
        TimeParse("tiny-settings", ManySettings(size, true));
    }
    DeleteFileW(path.c_str());
    return 0;
}
