#include "ConfigStore.h"

#include "Diagnostics.h"
#include "KernelHandle.h"
#include "LinkSafeFiles.h"
#include "PreviousInstallation.h"
#include "TextConvert.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <utility>

namespace {

// "=" for plain settings, no semicolons, braces of groups on lines of their own,
// scientific notation allowed, the file synced when written, and a repeated
// name replacing the earlier member (which is what lets a save replace a value).
const int kStoreOptions = libconfig::Config::OptionColonAssignmentForGroups |
                          libconfig::Config::OptionOpenBraceOnSeparateLine |
                          libconfig::Config::OptionAllowScientificNotation | libconfig::Config::OptionFsync |
                          libconfig::Config::OptionAllowOverrides;
static_assert(kStoreOptions == 0xF4, "the store's option word");

// Notepad and other editors may put this in front of a UTF-8 file.
const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using Stream = std::unique_ptr<std::FILE, FileCloser>;

// A stdio stream over a duplicate of `file`, so that closing the stream leaves
// `file` open. Text mode: the file's lines end in CR LF.
Stream StreamOver(HANDLE file, const char* mode, int flags)
{
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return Stream();
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(duplicate), flags | _O_TEXT);
    if (descriptor == -1) {
        CloseHandle(duplicate);
        return Stream();
    }
    Stream stream(_fdopen(descriptor, mode));
    if (!stream)
        _close(descriptor);
    return stream;
}

bool WriteSettings(const libconfig::Config& config, HANDLE file)
{
    Stream stream = StreamOver(file, "w", _O_WRONLY);
    if (!stream)
        return false;
    config.write(stream.get());
    const bool failed = std::ferror(stream.get()) != 0;
    return std::fclose(stream.release()) == 0 && !failed;
}

// The whole file into `text`; false when it cannot be read in full.
bool ReadWhole(HANDLE file, std::uint64_t size, std::string& text)
{
    text.assign(static_cast<size_t>(size), '\0');
    size_t done = 0;
    while (done < text.size()) {
        DWORD read = 0;
        if (!ReadFile(file, &text[done], static_cast<DWORD>(text.size() - done), &read, nullptr) || read == 0)
            return false;
        done += read;
    }
    return true;
}

// Makes the file when nothing has its name; true when the store has a plain
// file of its own there. A link that has the name is never followed, so no file
// is ever made where one points.
bool EnsureStoreFile(const std::wstring& path)
{
    if (CreateNewFile(path, GENERIC_WRITE, 0))
        return true;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    return static_cast<bool>(
        OpenPlainFile(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
}

} // namespace

const char** ConfigStore::Settings::evaluateIncludePath(const char*, const char** error)
{
    *error = "the settings file includes no other file";
    return nullptr;
}

ConfigStore& ConfigStore::Instance()
{
    static ConfigStore store(GetTargetFolder() + L"\\installer.ini");
    return store;
}

ConfigStore::ConfigStore(std::wstring path) : m_path(std::move(path))
{
    if (!EnsureStoreFile(m_path))
        WriteDiagnosticLine(stdout, "open file failed");
    m_config.setOptions(kStoreOptions);
}

// The file's bytes as they stand (a leading UTF-8 byte order mark left out),
// read only when the file is a plain file of the store's own and not larger
// than kLargestSettingsFile.
bool ConfigStore::ReadText(std::string& text)
{
    const KernelHandle file = OpenPlainFile(m_path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size)) {
        WriteDiagnosticLine(stderr, "I/O error while reading file: " + ToNarrow(m_path));
        return false;
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > kLargestSettingsFile) {
        WriteDiagnosticLine(stderr, "Settings file too large (" + std::to_string(size.QuadPart) +
                                        " bytes), not read; it is replaced only by saving: " + ToNarrow(m_path));
        return false;
    }
    if (!ReadWhole(file.Get(), static_cast<std::uint64_t>(size.QuadPart), text)) {
        WriteDiagnosticLine(stderr, "I/O error while reading file: " + ToNarrow(m_path));
        return false;
    }
    if (text.compare(0, 3, kUtf8ByteOrderMark) == 0)
        text.erase(0, 3);
    return true;
}

bool ConfigStore::Load()
{
    std::string text;
    if (ReadText(text) && Parse(text))
        return true;
    // Whatever a failed read left behind is dropped: the settings read as defaults.
    m_config.clear();
    return false;
}

bool ConfigStore::Parse(const std::string& text)
{
    // The parser stops at a zero byte: a file with one would be read in part.
    if (text.find('\0') != std::string::npos) {
        ReportParseError(0, "a zero byte in the text");
        return false;
    }
    try {
        m_config.readString(text);
        return true;
    } catch (const libconfig::ParseException& error) {
        ReportParseError(error.getLine(), error.getError());
        return false;
    }
}

void ConfigStore::ReportParseError(int line, const char* error) const
{
    WriteDiagnosticLine(stderr, "Parse error at " + ToNarrow(m_path) + ":" + std::to_string(line) + " - " + error);
}

void ConfigStore::ReportWriteFailure(const char* step, unsigned long error) const
{
    WriteDiagnosticLine(stderr, "I/O error while writing file: " + ToNarrow(m_path) + " (" + step + ", error " +
                                    std::to_string(error) + ")");
}

// The settings go into a new file of a unique name beside the store's file,
// which then takes the store file's name in one step. Neither step can go
// through a link: the new file is made with CREATE_NEW, and the rename replaces
// whatever has the name (a link as itself).
bool ConfigStore::Save()
{
    std::wstring temporary;
    const KernelHandle file = CreateUniqueSibling(m_path, GENERIC_WRITE | DELETE, 0, temporary);
    if (!file) {
        ReportWriteFailure("the new file cannot be made", GetLastError());
        return false;
    }
    const char* failedStep = nullptr;
    if (!WriteSettings(m_config, file.Get()) || !FlushFileBuffers(file.Get()))
        failedStep = "the new file cannot be written";
    else if (!RenameOpenEntry(file.Get(), m_path, true))
        failedStep = "the file cannot be replaced";
    if (failedStep == nullptr) {
        WriteDiagnosticLine(stderr, "New configuration successfully written to: " + ToNarrow(m_path));
        return true;
    }
    const DWORD error = GetLastError();
    DeleteOnClose(file.Get());
    ReportWriteFailure(failedStep, error);
    return false;
}

bool ConfigStore::Exists(const std::string& key) const
{
    return m_config.getRoot().exists(key);
}

std::wstring ConfigStore::GetString(const std::string& key) const
{
    std::string value;
    m_config.getRoot().lookupValue(key, value);
    return FromUtf8OrAnsi(value);
}

int ConfigStore::GetInt(const std::string& key) const
{
    int value = 0;
    m_config.getRoot().lookupValue(key, value);
    return value;
}

void ConfigStore::SetString(const std::string& key, const std::wstring& value)
{
    m_config.getRoot().add(key, libconfig::Setting::TypeString) = ToUtf8(value);
}

void ConfigStore::SetInt(const std::string& key, int value)
{
    m_config.getRoot().add(key, libconfig::Setting::TypeInt) = value;
}

ProxySettings ReadProxySettings(ConfigStore& store)
{
    ProxySettings settings;
    store.Load();
    settings.useProxy = store.GetInt("usingProxy") != 0;
    settings.ip = store.GetString("ip");
    settings.port = store.GetString("port");
    settings.account = store.GetString("account");
    settings.password = store.GetString("password");
    return settings;
}

bool WriteProxySettings(ConfigStore& store, const ProxySettings& settings)
{
    store.Load();
    store.SetInt("usingProxy", settings.useProxy ? 1 : 0);
    store.SetString("ip", settings.ip);
    store.SetString("port", settings.port);
    store.SetString("account", settings.account);
    store.SetString("password", settings.password);
    return store.Save();
}

ProxySettings ReadProxySettingsFile(const std::wstring& path)
{
    ConfigStore store(path);
    return ReadProxySettings(store);
}

bool WriteProxySettingsFile(const std::wstring& path, const ProxySettings& settings)
{
    ConfigStore store(path);
    return WriteProxySettings(store, settings);
}
