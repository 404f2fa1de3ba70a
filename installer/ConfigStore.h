// The proxy settings file installer.ini (libconfig syntax) and the store that
// reads and writes it. Text is ASCII where it can be; other characters are
// written in UTF-8, and a string that is not valid UTF-8 (a file written in the
// ANSI code page by an earlier updater) reads in the ANSI code page.
#pragma once

#include "ProxySettings.h"

#include <libconfig.h++>

#include <cstdint>
#include <string>

// A file larger than this is far larger than any settings file (five fields
// of at most 255 characters take under 6 kB, escapes included): it is not read
// at all. The parser's time grows faster than the file (with the number of
// settings); at this size a load takes under a tenth of a second.
constexpr std::uint64_t kLargestSettingsFile = 16 * 1024;

// The settings store over one file, reached by its wide path (no short or
// narrow form of the path is ever used). The store reads the file when told
// to (Load) and writes it when told to (Save); in between, lookups and changes
// work on what was read. A file that cannot be read, is larger than
// kLargestSettingsFile or does not parse reads as empty (every setting at its
// default), with a line on standard error, and is left as it is until the next
// Save replaces it.
// Save writes a new file of a unique name beside it first, which then replaces
// the file in one rename, so a crash never leaves a half-written file behind.
// The store never follows a link: a link, or a file of several names, where the
// file should be reads as empty and is replaced (itself) by the next Save.
class ConfigStore
{
public:
    // The process-wide store of "installer.ini" in the per-user folder, made on
    // first use (safe against concurrent first calls).
    static ConfigStore& Instance();

    // A store over any file; the file is created (empty) when missing.
    explicit ConfigStore(std::wstring path);

    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

    const std::wstring& Path() const { return m_path; }

    // Reads the file once; false (and every setting at its default) when it
    // could not be read or parsed.
    bool Load();

    bool Exists(const std::string& key) const;
    // The string value, or empty when the setting is missing or not a string.
    std::wstring GetString(const std::string& key) const;
    // The integer value, or 0 when the setting is missing or not an integer.
    int GetInt(const std::string& key) const;

    // Replace (or add) the setting at the end of the root group; Save writes it.
    void SetString(const std::string& key, const std::wstring& value);
    void SetInt(const std::string& key, int value);

    // Writes the settings as they stand; true once the file has been replaced.
    // A failure leaves the file as it was and writes its cause on standard error.
    bool Save();

private:
    // The parser of the store's files: it reads no other file (an @include
    // in the file is a parse error), so nothing beyond the bound is ever read.
    class Settings : public libconfig::Config
    {
    public:
        const char** evaluateIncludePath(const char* path, const char** error) override;
    };

    bool ReadText(std::string& text);
    bool Parse(const std::string& text);
    void ReportParseError(int line, const char* error) const;
    void ReportWriteFailure(const char* step, unsigned long error) const;

    std::wstring m_path;
    Settings m_config;
};

// Reads the file once: each value from it, or its default (false, empty) when
// missing.
ProxySettings ReadProxySettings(ConfigStore& store);

// Reads the file once (so that its other settings are kept), sets usingProxy
// (1 or 0), ip, port, account and password, in this order, and writes the file
// once. True once the file has been replaced.
bool WriteProxySettings(ConfigStore& store, const ProxySettings& settings);

// The same on the file at `path`.
ProxySettings ReadProxySettingsFile(const std::wstring& path);
bool WriteProxySettingsFile(const std::wstring& path, const ProxySettings& settings);
