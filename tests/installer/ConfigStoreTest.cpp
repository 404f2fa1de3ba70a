#include "ConfigStore.h"
#include "TextConvert.h"

#include "../support/Links.h"
#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using testsupport::ReadFileText;
using testsupport::WriteFileText;

// A settings file in a fresh folder, and what the store writes to the two streams.
class ConfigStoreTest : public testing::Test {
protected:
    void SetUp() override { folder_ = testsupport::FreshTempFolder(L"settings"); }

    std::wstring WidePath() const { return folder_ + L"\\installer.ini"; }
    std::string Path() const { return ToNarrow(WidePath()); }
    std::string FileText() const { return ReadFileText(WidePath()); }
    void SetFileText(const std::string& text) const { WriteFileText(WidePath(), text); }

    // The names in the settings folder: a write leaves nothing of its own but the file.
    std::vector<std::wstring> FolderEntries() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (std::wstring(entry.cFileName) != L"." && std::wstring(entry.cFileName) != L"..")
                names.push_back(entry.cFileName);
        } while (FindNextFileW(find, &entry));
        FindClose(find);
        return names;
    }

    // A file outside the store that must never change: `text` in a folder of its own.
    static std::wstring OutsideFile(const std::string& text)
    {
        const std::wstring path = testsupport::FreshTempFolder(L"outside") + L"\\system.dat";
        WriteFileText(path, text);
        return path;
    }

    ProxySettings Load(std::string* errors = nullptr) const
    {
        testing::internal::CaptureStderr();
        const ProxySettings settings = ReadProxySettingsFile(Path());
        const std::string written = testing::internal::GetCapturedStderr();
        if (errors != nullptr)
            *errors = written;
        return settings;
    }

    std::string Save(const ProxySettings& settings) const
    {
        testing::internal::CaptureStderr();
        WriteProxySettingsFile(Path(), settings);
        return testing::internal::GetCapturedStderr();
    }

    std::wstring folder_;
};

ProxySettings Settings(bool useProxy, std::string ip, std::string port, std::string account, std::string password)
{
    ProxySettings settings;
    settings.useProxy = useProxy;
    settings.ip = std::move(ip);
    settings.port = std::move(port);
    settings.account = std::move(account);
    settings.password = std::move(password);
    return settings;
}

void ExpectSame(const ProxySettings& actual, const ProxySettings& expected)
{
    EXPECT_EQ(actual.useProxy, expected.useProxy);
    EXPECT_EQ(actual.ip, expected.ip);
    EXPECT_EQ(actual.port, expected.port);
    EXPECT_EQ(actual.account, expected.account);
    EXPECT_EQ(actual.password, expected.password);
}

TEST_F(ConfigStoreTest, MissingFileIsCreatedEmptyAndReadsAsDefaults)
{
    std::string errors;
    ExpectSame(Load(&errors), ProxySettings());
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(testsupport::Exists(WidePath()));
    EXPECT_EQ(FileText(), "");
}

// libconfig writes its file in text mode, so on Windows each line ends in CR LF.
TEST_F(ConfigStoreTest, SaveWritesTheExactFormOneLinePerSettingAndReportsEachWrite)
{
    const std::string errors = Save(Settings(true, "192.0.2.10", "3128", "", ""));
    EXPECT_EQ(FileText(), "usingProxy = 1\r\n"
                          "ip = \"192.0.2.10\"\r\n"
                          "port = \"3128\"\r\n"
                          "account = \"\"\r\n"
                          "password = \"\"\r\n");
    std::string line = "New configuration successfully written to: " + Path() + "\n";
    EXPECT_EQ(errors, line + line + line + line + line);
    EXPECT_EQ(FolderEntries(), std::vector<std::wstring>{L"installer.ini"});
}

TEST_F(ConfigStoreTest, QuotesBackslashesAndControlCharactersRoundTrip)
{
    const ProxySettings saved =
        Settings(true, "proxy \"one\"", "80a", "DOMAIN\\user\\", std::string("p\x1F" "w\n\r\f\t\x01 end"));
    Save(saved);
    EXPECT_EQ(FileText(), "usingProxy = 1\r\n"
                          "ip = \"proxy \\\"one\\\"\"\r\n"
                          "port = \"80a\"\r\n"
                          "account = \"DOMAIN\\\\user\\\\\"\r\n"
                          "password = \"p\\x1Fw\\n\\r\\f\\t\\x01 end\"\r\n");
    ExpectSame(Load(), saved);
}

TEST_F(ConfigStoreTest, ColonAndSemicolonFormsAreReadAndWrittenBackWithEquals)
{
    SetFileText("usingProxy : 7;\nip : \"10.0.0.1\";\nport = \"8080\";\naccount : \"me\"\npassword = \"pw\";\n");
    ExpectSame(Load(), Settings(true, "10.0.0.1", "8080", "me", "pw"));

    Save(Settings(false, "10.0.0.1", "8080", "me", "pw"));
    EXPECT_EQ(FileText(), "usingProxy = 0\r\n"
                          "ip = \"10.0.0.1\"\r\n"
                          "port = \"8080\"\r\n"
                          "account = \"me\"\r\n"
                          "password = \"pw\"\r\n");
}

TEST_F(ConfigStoreTest, OtherSettingsAreKeptAndTheProxySettingsMoveToTheEnd)
{
    SetFileText("ip = \"old\";\nlanguage = \"en\";\nwindow : { width = 680; };\nretries = 3;\n");
    Save(Settings(true, "192.0.2.10", "3128", "a", "b"));

    const std::string text = FileText();
    ConfigStore store(Path());
    EXPECT_EQ(store.GetString("language"), "en");
    EXPECT_EQ(store.GetInt("retries"), 3);
    EXPECT_TRUE(store.Exists("window"));
    EXPECT_EQ(text.find("ip = \"old\""), std::string::npos);
    const size_t retries = text.find("retries = 3\r\n");
    const size_t ending = text.find("usingProxy = 1\r\nip = \"192.0.2.10\"\r\nport = \"3128\"\r\n"
                                    "account = \"a\"\r\npassword = \"b\"\r\n");
    ASSERT_NE(retries, std::string::npos);
    ASSERT_NE(ending, std::string::npos);
    EXPECT_LT(retries, ending);
    EXPECT_EQ(ending + 81, text.size());
}

TEST_F(ConfigStoreTest, UsingProxyThatIsNotAnIntegerReadsAsUnticked)
{
    SetFileText("usingProxy = \"yes\"\nip = \"h\"\n");
    ConfigStore store(Path());
    EXPECT_TRUE(store.Exists("usingProxy"));
    EXPECT_EQ(store.GetInt("usingProxy"), 0);
    EXPECT_FALSE(ReadProxySettings(store).useProxy);
    EXPECT_EQ(store.GetString("ip"), "h");
    EXPECT_EQ(store.GetString("missing"), "");
}

TEST_F(ConfigStoreTest, CorruptFileLoadsAsDefaultsWithAMessageAndIsReplacedOnlyBySaving)
{
    const std::string corrupt = "usingProxy = 1\nip = \"192.0.2.10\nport = {{{\n";
    SetFileText(corrupt);
    std::string errors;
    ExpectSame(Load(&errors), ProxySettings());
    EXPECT_EQ(errors.rfind("Parse error at " + Path() + ":", 0), 0u) << errors;
    EXPECT_EQ(FileText(), corrupt);

    const ProxySettings saved = Settings(true, "192.0.2.20", "8080", "u", "p");
    Save(saved);
    ExpectSame(Load(&errors), saved);
    EXPECT_EQ(errors, "");
}

TEST_F(ConfigStoreTest, FileThatCannotBeReadOrWrittenReadsAsDefaultsAndReportsBoth)
{
    // A folder where the file should be: it can be neither opened nor replaced.
    ASSERT_TRUE(CreateDirectoryW(WidePath().c_str(), nullptr));
    testing::internal::CaptureStdout();
    std::string errors;
    ExpectSame(Load(&errors), ProxySettings());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "open file failed\n");
    EXPECT_NE(errors.find("I/O error while reading file: " + Path() + "\n"), std::string::npos) << errors;

    testing::internal::CaptureStdout();
    errors = Save(Settings(true, "h", "1", "", ""));
    testing::internal::GetCapturedStdout();
    EXPECT_NE(errors.find("I/O error while writing file: " + Path() + "\n"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("New configuration"), std::string::npos) << errors;
    EXPECT_EQ(FolderEntries(), std::vector<std::wstring>{L"installer.ini"});
}

TEST_F(ConfigStoreTest, FailedWriteLeavesTheOldFileWhole)
{
    const ProxySettings saved = Settings(true, "192.0.2.10", "3128", "user", "secret");
    Save(saved);
    const std::string before = FileText();
    // Held open by somebody who does not let it be replaced: the new file cannot
    // take its name, so nothing may touch the old one, and the new one goes.
    HANDLE holder = CreateFileW(WidePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::string errors = Save(Settings(false, "other", "1", "", ""));
    CloseHandle(holder);

    EXPECT_NE(errors.find("I/O error while writing file: " + Path()), std::string::npos) << errors;
    EXPECT_EQ(FileText(), before);
    ExpectSame(Load(), saved);
    EXPECT_EQ(FolderEntries(), std::vector<std::wstring>{L"installer.ini"});
}

// A link named like a temporary file of the store ("installer.ini.tmp"), or
// any other name beside the file, is never opened: the store's temporary files
// are new files of unique names.
TEST_F(ConfigStoreTest, LinkNamedLikeATemporaryFileIsNeverWrittenThrough)
{
    const std::wstring outside = OutsideFile("not the store's");
    if (!testsupport::MakeFileLink(WidePath() + L".tmp", outside))
        GTEST_SKIP() << "this platform cannot make a file link here (error " << GetLastError() << ")";
    const ProxySettings saved = Settings(true, "192.0.2.10", "3128", "user", "secret");
    Save(saved);
    Save(saved);

    EXPECT_EQ(ReadFileText(outside), "not the store's");
    ExpectSame(Load(), saved);
    // Not the store's: left as it is, still leading to the outside file.
    EXPECT_EQ(ReadFileText(WidePath() + L".tmp"), "not the store's");
    testsupport::RemoveLink(WidePath() + L".tmp");
}

// A link, or a second name of another file, where the settings file should be
// is neither read nor written through; the first save replaces it (the name
// itself) with a file of the store's own.
TEST_F(ConfigStoreTest, SettingsFileThatLeadsElsewhereIsNeitherReadNorWrittenThrough)
{
    const std::string outsideText = "usingProxy = 1\nip = \"outside\"\nport = \"1\"\n";
    for (const testsupport::FileLinkKind& kind : testsupport::kFileLinkKinds) {
        SCOPED_TRACE(kind.name);
        const std::wstring outside = OutsideFile(outsideText);
        DeleteFileW(WidePath().c_str());
        if (!kind.make(WidePath(), outside)) {
            ADD_FAILURE() << "cannot make the " << kind.name << " (error " << GetLastError() << ")";
            continue;
        }
        std::string errors;
        ExpectSame(Load(&errors), ProxySettings());
        EXPECT_NE(errors.find("I/O error while reading file: " + Path()), std::string::npos) << errors;

        const ProxySettings saved = Settings(true, "192.0.2.30", "8080", "u", "p");
        Save(saved);
        EXPECT_EQ(ReadFileText(outside), outsideText);
        ExpectSame(Load(&errors), saved);
        EXPECT_EQ(errors, "");
    }
}

TEST_F(ConfigStoreTest, LinkToAFileThatIsNotThereMakesNoFileWhereItLeads)
{
    const std::wstring nowhere = testsupport::FreshTempFolder(L"nowhere") + L"\\planted.dll";
    if (!testsupport::MakeFileLink(WidePath(), nowhere))
        GTEST_SKIP() << "this platform cannot make a file link here (error " << GetLastError() << ")";
    testing::internal::CaptureStdout();
    {
        ConfigStore store(Path());
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "open file failed\n");
    EXPECT_FALSE(testsupport::Exists(nowhere));
    testsupport::RemoveLink(WidePath());
}

TEST_F(ConfigStoreTest, InstanceIsOneStoreOverTheIniFileOfThePerUserFolder)
{
    ConfigStore& store = ConfigStore::Instance();
    EXPECT_EQ(&store, &ConfigStore::Instance());
    const std::string suffix = "\\Mevra Cloud Meetings\\installer.ini";
    ASSERT_GT(store.Path().size(), suffix.size());
    EXPECT_EQ(store.Path().substr(store.Path().size() - suffix.size()), suffix);
    EXPECT_TRUE(testsupport::Exists(ToWide(store.Path())));
}

} // namespace
