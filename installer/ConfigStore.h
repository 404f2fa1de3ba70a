// The proxy settings file installer.ini (libconfig syntax, narrow ANSI text) and
// the store that reads and writes it.
#pragma once

#include <libconfig.h++>

#include <string>

// The settings store over one file. Every operation reads the file from disk
// again first, so the store never holds settings of its own. A file that cannot
// be read or does not parse reads as empty (every setting at its default), with
// a line on standard error; it is replaced only by the next write.
// Writes go to a new file of a unique name beside it first, which then replaces
// the file in one rename, so a crash never leaves a half-written file behind.
// The store never follows a link: a link, or a file of several names, where the
// file should be reads as empty and is replaced (itself) by the next write.
class ConfigStore {
public:
    // The process-wide store of "installer.ini" in the per-user folder, made on
    // first use (safe against concurrent first calls).
    static ConfigStore& Instance();

    // A store over any file; the file is created (empty) when missing.
    explicit ConfigStore(std::string path);

    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

    const std::string& Path() const { return path_; }

    bool Exists(const std::string& key);
    // The string value, or empty when the setting is missing or not a string.
    std::string GetString(const std::string& key);
    // The integer value, or 0 when the setting is missing or not an integer.
    int GetInt(const std::string& key);

    // Replace (or add) the setting at the end of the root group and write the file.
    void SetString(const std::string& key, const std::string& value);
    void SetInt(const std::string& key, int value);

private:
    void Read();
    void Write();

    std::string path_;
    libconfig::Config config_;
};

// The five proxy settings as they stand in the file (narrow ANSI texts).
struct ProxySettings {
    bool useProxy = false;
    std::string ip;
    std::string port;
    std::string account;
    std::string password;
};

// Each value from the store, or its default (false, empty) when missing.
ProxySettings ReadProxySettings(ConfigStore& store);

// usingProxy (1 or 0), ip, port, account and password, in this order, each one
// a full read, change and write of the file.
void WriteProxySettings(ConfigStore& store, const ProxySettings& settings);

// The same on the file at `path`.
ProxySettings ReadProxySettingsFile(const std::string& path);
void WriteProxySettingsFile(const std::string& path, const ProxySettings& settings);
