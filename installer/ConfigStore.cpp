#include "ConfigStore.h"

#include "Diagnostics.h"
#include "PreviousInstallation.h"
#include "TextConvert.h"

#include <windows.h>

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

std::string ParseErrorText(const libconfig::ParseException& error)
{
    return std::string("Parse error at ") + error.getFile() + ":" + std::to_string(error.getLine()) + " - " +
           error.getError();
}

} // namespace

ConfigStore& ConfigStore::Instance()
{
    static ConfigStore store(ToNarrow(GetTargetFolder()) + "\\installer.ini");
    return store;
}

ConfigStore::ConfigStore(std::string path) : path_(std::move(path))
{
    // Create the file when missing; an existing file is never truncated.
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path_.c_str(), "a+"));
    if (!file)
        WriteDiagnosticLine(stdout, "open file failed");
    config_.setOptions(kStoreOptions);
}

void ConfigStore::Read()
{
    try {
        config_.readFile(path_);
        return;
    } catch (const libconfig::FileIOException&) {
        WriteDiagnosticLine(stderr, "I/O error while reading file: " + path_);
    } catch (const libconfig::ParseException& error) {
        WriteDiagnosticLine(stderr, ParseErrorText(error));
    }
    // Whatever the failed read left behind is dropped: the settings read as defaults.
    config_.clear();
}

void ConfigStore::Write()
{
    const std::string temporary = path_ + ".tmp";
    bool written = false;
    try {
        config_.writeFile(temporary);
        written = MoveFileExW(ToWide(temporary).c_str(), ToWide(path_).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    } catch (const libconfig::FileIOException&) {
    }
    if (written) {
        WriteDiagnosticLine(stderr, "New configuration successfully written to: " + path_);
    } else {
        DeleteFileW(ToWide(temporary).c_str());
        WriteDiagnosticLine(stderr, "I/O error while writing file: " + path_);
    }
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
