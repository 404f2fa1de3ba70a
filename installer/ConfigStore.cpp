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

struct FileCloser {
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

ConfigStore& ConfigStore::Instance()
{
    static ConfigStore store(ToNarrow(GetTargetFolder()) + "\\installer.ini");
    return store;
}

ConfigStore::ConfigStore(std::string path) : path_(std::move(path))
{
    if (!EnsureStoreFile(ToWide(path_)))
        WriteDiagnosticLine(stdout, "open file failed");
    config_.setOptions(kStoreOptions);
}

void ConfigStore::Read()
{
    try {
        // Only a plain file of the store's own is read: never one a link leads to.
        const KernelHandle file = OpenPlainFile(ToWide(path_), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
        const Stream stream = file ? StreamOver(file.Get(), "r", _O_RDONLY) : Stream();
        if (stream) {
            config_.read(stream.get());
            return;
        }
        WriteDiagnosticLine(stderr, "I/O error while reading file: " + path_);
    } catch (const libconfig::ParseException& error) {
        WriteDiagnosticLine(stderr, "Parse error at " + path_ + ":" + std::to_string(error.getLine()) + " - " +
                                        error.getError());
    }
    // Whatever the failed read left behind is dropped: the settings read as defaults.
    config_.clear();
}

// The settings go into a new file of a unique name beside the store's file,
// which then takes the store file's name in one step. Neither step can go
// through a link: the new file is made with CREATE_NEW, and the rename replaces
// whatever has the name (a link as itself).
void ConfigStore::Write()
{
    const std::wstring target = ToWide(path_);
    std::wstring temporary;
    const KernelHandle file = CreateUniqueSibling(target, GENERIC_WRITE | DELETE, 0, temporary);
    const bool written =
        file && WriteSettings(config_, file.Get()) && FlushFileBuffers(file.Get()) && RenameOpenEntry(file.Get(), target, true);
    if (written) {
        WriteDiagnosticLine(stderr, "New configuration successfully written to: " + path_);
        return;
    }
    if (file)
        DeleteOnClose(file.Get());
    WriteDiagnosticLine(stderr, "I/O error while writing file: " + path_);
}

bool ConfigStore::Exists(const std::string& key)
{
    Read();
    return config_.getRoot().exists(key);
}

std::string ConfigStore::GetString(const std::string& key)
{
    Read();
    std::string value;
    config_.getRoot().lookupValue(key, value);
    return value;
}

int ConfigStore::GetInt(const std::string& key)
{
    Read();
    int value = 0;
    config_.getRoot().lookupValue(key, value);
    return value;
}

void ConfigStore::SetString(const std::string& key, const std::string& value)
{
    Read();
    config_.getRoot().add(key, libconfig::Setting::TypeString) = value;
    Write();
}

void ConfigStore::SetInt(const std::string& key, int value)
{
    Read();
    config_.getRoot().add(key, libconfig::Setting::TypeInt) = value;
    Write();
}

ProxySettings ReadProxySettings(ConfigStore& store)
{
    ProxySettings settings;
    settings.useProxy = store.Exists("usingProxy") && store.GetInt("usingProxy") != 0;
    if (store.Exists("ip"))
        settings.ip = store.GetString("ip");
    if (store.Exists("port"))
        settings.port = store.GetString("port");
    if (store.Exists("account"))
        settings.account = store.GetString("account");
    if (store.Exists("password"))
        settings.password = store.GetString("password");
    return settings;
}

void WriteProxySettings(ConfigStore& store, const ProxySettings& settings)
{
    store.SetInt("usingProxy", settings.useProxy ? 1 : 0);
    store.SetString("ip", settings.ip);
    store.SetString("port", settings.port);
    store.SetString("account", settings.account);
    store.SetString("password", settings.password);
}

ProxySettings ReadProxySettingsFile(const std::string& path)
{
    ConfigStore store(path);
    return ReadProxySettings(store);
}

void WriteProxySettingsFile(const std::string& path, const ProxySettings& settings)
{
    ConfigStore store(path);
    WriteProxySettings(store, settings);
}
