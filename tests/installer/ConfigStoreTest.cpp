#include "ConfigStore.h"
#include "TextConvert.h"

#include "../support/Links.h"
#include "../support/TestFiles.h"
#include "../support/CapturedOutput.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using testsupport::ReadFileText;
using testsupport::WriteFileText;

void ExpectSame(const ProxySettings& actual, const ProxySettings& expected);

// A settings file in a fresh folder, and what the store writes to the two streams.
class ConfigStoreTest : public testing::Test
{
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
        testsupport::StartCapturingStderr();
        const ProxySettings settings = ReadProxySettingsFile(WidePath());
        const std::string written = testsupport::CapturedStderr();
        if (errors != nullptr)
            *errors = written;
        return settings;
    }

    std::string Save(const ProxySettings& settings) const
    {
        testsupport::StartCapturingStderr();
        WriteProxySettingsFile(WidePath(), settings);
        return testsupport::CapturedStderr();
    }

    // A save, and a load that gives the saved values back without a line on standard error.
    void ExpectSavedAndReadBackCleanly(const ProxySettings& saved) const
    {
        Save(saved);
        std::string errors;
        ExpectSame(Load(&errors), saved);
        EXPECT_EQ(errors, "");
    }

    std::wstring folder_;
};

ProxySettings Settings(bool useProxy, std::wstring ip, std::wstring port, std::wstring account, std::wstring password)
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
// A save reads the file once and writes it once.
TEST_F(ConfigStoreTest, SaveWritesTheExactFormOneLinePerSettingAndReportsTheWriteOnce)
{
    const std::string errors = Save(Settings(true, L"192.0.2.10", L"3128", L"", L""));
    EXPECT_EQ(FileText(), "usingProxy = 1\r\n"
                          "ip = \"192.0.2.10\"\r\n"
                          "port = \"3128\"\r\n"
                          "account = \"\"\r\n"
                          "password = \"\"\r\n");
    EXPECT_EQ(errors, "New configuration successfully written to: " + Path() + "\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::wstring>{L"installer.ini"});
}

TEST_F(ConfigStoreTest, QuotesBackslashesAndControlCharactersRoundTrip)
{
    const ProxySettings saved = Settings(true, L"proxy \"one\"", L"80a", L"DOMAIN\\user\\",
                                         std::wstring(L"p\x1F"
                                                      L"w\n\r\f\t\x01 end"));
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
    ExpectSame(Load(), Settings(true, L"10.0.0.1", L"8080", L"me", L"pw"));

    Save(Settings(false, L"10.0.0.1", L"8080", L"me", L"pw"));
    EXPECT_EQ(FileText(), "usingProxy = 0\r\n"
                          "ip = \"10.0.0.1\"\r\n"
                          "port = \"8080\"\r\n"
                          "account = \"me\"\r\n"
                          "password = \"pw\"\r\n");
}

TEST_F(ConfigStoreTest, OtherSettingsAreKeptAndTheProxySettingsMoveToTheEnd)
{
    SetFileText("ip = \"old\";\nlanguage = \"en\";\nwindow : { width = 680; };\nretries = 3;\n");
    Save(Settings(true, L"192.0.2.10", L"3128", L"a", L"b"));

    const std::string text = FileText();
    ConfigStore store(WidePath());
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.GetString("language"), L"en");
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
    ConfigStore store(WidePath());
    ASSERT_TRUE(store.Load());
    EXPECT_TRUE(store.Exists("usingProxy"));
    EXPECT_EQ(store.GetInt("usingProxy"), 0);
    EXPECT_FALSE(ReadProxySettings(store).useProxy);
    EXPECT_EQ(store.GetString("ip"), L"h");
    EXPECT_EQ(store.GetString("missing"), L"");
}

TEST_F(ConfigStoreTest, CorruptFileLoadsAsDefaultsWithAMessageAndIsReplacedOnlyBySaving)
{
    const std::string corrupt = "usingProxy = 1\nip = \"192.0.2.10\nport = {{{\n";
    SetFileText(corrupt);
    std::string errors;
    ExpectSame(Load(&errors), ProxySettings());
    EXPECT_EQ(errors.rfind("Parse error at " + Path() + ":", 0), 0u) << errors;
    EXPECT_EQ(FileText(), corrupt);

    ExpectSavedAndReadBackCleanly(Settings(true, L"192.0.2.20", L"8080", L"u", L"p"));
}

TEST_F(ConfigStoreTest, FileThatCannotBeReadOrWrittenReadsAsDefaultsAndReportsBoth)
{
    // A folder where the file should be: it can be neither opened nor replaced.
    ASSERT_TRUE(CreateDirectoryW(WidePath().c_str(), nullptr));
    testsupport::StartCapturingStdout();
    std::string errors;
    ExpectSame(Load(&errors), ProxySettings());
    EXPECT_EQ(testsupport::CapturedStdout(), "open file failed\n");
    EXPECT_NE(errors.find("I/O error while reading file: " + Path() + "\n"), std::string::npos) << errors;

    testsupport::StartCapturingStdout();
    errors = Save(Settings(true, L"h", L"1", L"", L""));
    testsupport::CapturedStdout();
    EXPECT_NE(errors.find("I/O error while writing file: " + Path() + " (the file cannot be replaced, error "),
              std::string::npos)
        << errors;
    EXPECT_EQ(errors.find("New configuration"), std::string::npos) << errors;
    EXPECT_EQ(FolderEntries(), std::vector<std::wstring>{L"installer.ini"});
}

TEST_F(ConfigStoreTest, FailedWriteLeavesTheOldFileWhole)
{
    const ProxySettings saved = Settings(true, L"192.0.2.10", L"3128", L"user", L"secret");
    Save(saved);
    const std::string before = FileText();
    // Held open by somebody who does not let it be replaced: the new file cannot
    // take its name, so nothing may touch the old one, and the new one goes.
    HANDLE holder = CreateFileW(WidePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::string errors = Save(Settings(false, L"other", L"1", L"", L""));
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
    const ProxySettings saved = Settings(true, L"192.0.2.10", L"3128", L"user", L"secret");
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

        const ProxySettings saved = Settings(true, L"192.0.2.30", L"8080", L"u", L"p");
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
    testsupport::StartCapturingStdout();
    {
        ConfigStore store(WidePath());
    }
    EXPECT_EQ(testsupport::CapturedStdout(), "open file failed\n");
    EXPECT_FALSE(testsupport::Exists(nowhere));
    testsupport::RemoveLink(WidePath());
}

// Chinese, a letter outside most ANSI code pages and a character beyond the
// basic plane: every one is kept, in UTF-8 in the file, and read back exactly.
TEST_F(ConfigStoreTest, TextOutsideTheAnsiCodePageIsWrittenInUtf8AndReadBackExactly)
{
    const ProxySettings saved = Settings(true, L"\u4EE3\u7406.example", L"3128", L"\u5F20\u4F1F\u0100\u0141",
                                         L"\u5BC6\u7801 \U0001F511 caf\u00E9");
    Save(saved);
    EXPECT_EQ(FileText(), "usingProxy = 1\r\n"
                          "ip = \"\xE4\xBB\xA3\xE7\x90\x86.example\"\r\n"
                          "port = \"3128\"\r\n"
                          "account = \"\xE5\xBC\xA0\xE4\xBC\x9F\xC4\x80\xC5\x81\"\r\n"
                          "password = \"\xE5\xAF\x86\xE7\xA0\x81 \xF0\x9F\x94\x91 caf\xC3\xA9\"\r\n");
    ExpectSame(Load(), saved);
}

// A text the ANSI code page can hold whose ANSI form is not valid UTF-8, as an
// earlier updater wrote it; empty when this code page has none of the candidates.
std::wstring AnsiOnlyText()
{
    for (const wchar_t* candidate :
         {L"Jos\u00E9 M\u00FCller", L"\u4E2D\u6587\u7528\u6237", L"\u0416\u0435\u043D\u044F"}) {
        const std::string ansi = ToNarrow(candidate);
        if (ToWide(ansi) == candidate && FromUtf8OrAnsi(ansi) == candidate && ansi != ToUtf8(candidate))
            return candidate;
    }
    return std::wstring();
}

// A file in the ANSI code page still loads, each string by its own form (a
// file edited by hand may mix them), and the next save writes it in UTF-8.
TEST_F(ConfigStoreTest, AFileWrittenInTheAnsiCodePageStillLoadsAndIsSavedInUtf8)
{
    const std::wstring text = AnsiOnlyText();
    if (text.empty())
        GTEST_SKIP() << "no candidate text for code page " << GetACP();
    SetFileText("usingProxy = 1\r\nip = \"\xE4\xBB\xA3\xE7\x90\x86\"\r\nport = \"8080\"\r\naccount = \"" +
                ToNarrow(text) + "\"\r\npassword = \"" + ToNarrow(text) + "!\"\r\n");
    ProxySettings loaded = Load();
    ExpectSame(loaded, Settings(true, L"\u4EE3\u7406", L"8080", text, text + L"!"));

    Save(loaded);
    EXPECT_NE(FileText().find("account = \"" + ToUtf8(text) + "\""), std::string::npos) << FileText();
    ExpectSame(Load(), loaded);
}

// Editors may put a byte order mark in front of a UTF-8 file.
TEST_F(ConfigStoreTest, AUtf8ByteOrderMarkIsSkipped)
{
    SetFileText("\xEF\xBB\xBFip = \"\xE4\xB8\xAD\"\r\nport = \"1\"\r\n");
    std::string errors;
    EXPECT_EQ(Load(&errors).ip, L"\u4E2D");
    EXPECT_EQ(errors, "");
}

// The parser would stop at a zero byte and read the file in part.
TEST_F(ConfigStoreTest, AZeroByteMakesTheFileUnreadable)
{
    const char text[] = "ip = \"a\"\r\n\0port = \"1\"\r\n";
    SetFileText(std::string(text, sizeof text - 1));
    std::string errors;
    ExpectSame(Load(&errors), ProxySettings());
    EXPECT_EQ(errors.rfind("Parse error at " + Path() + ":", 0), 0u) << errors;
}

// The store reads no other file than its own, whatever its text asks.
TEST_F(ConfigStoreTest, AnIncludedFileIsNeverRead)
{
    const std::wstring outside = OutsideFile("ip = \"outside\"\nport = \"1\"\n");
    std::string slashed = ToUtf8(outside);
    for (char& c : slashed) {
        if (c == '\\')
            c = '/';
    }
    SetFileText("@include \"" + slashed + "\"\nusingProxy = 1\n");
    std::string errors;
    ExpectSame(Load(&errors), ProxySettings());
    EXPECT_NE(errors.find("includes no other file"), std::string::npos) << errors;
}

// A file far larger than any settings file is not read (it would take the
// window long to parse): defaults, a line, and the file kept as it is until a
// save replaces it. A file of the largest size is read.
TEST_F(ConfigStoreTest, AFileLargerThanTheBoundReadsAsDefaultsAndIsKeptUntilSaved)
{
    const std::string head = "usingProxy = 1\r\nport = \"3128\"\r\nip = \"";
    const std::string tail = "\"\r\n";
    std::string largest = head + std::string(kLargestSettingsFile - head.size() - tail.size(), 'a') + tail;
    ASSERT_EQ(largest.size(), kLargestSettingsFile);
    SetFileText(largest);
    std::string errors;
    ProxySettings loaded = Load(&errors);
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(loaded.useProxy);
    EXPECT_EQ(loaded.ip.size(), kLargestSettingsFile - head.size() - tail.size());

    const std::string larger = head + std::string(kLargestSettingsFile - head.size() - tail.size() + 1, 'a') + tail;
    SetFileText(larger);
    ExpectSame(Load(&errors), ProxySettings());
    EXPECT_EQ(errors, "Settings file too large (" + std::to_string(larger.size()) +
                          " bytes), not read; it is replaced only by saving: " + Path() + "\n");
    EXPECT_EQ(FileText(), larger);

    ExpectSavedAndReadBackCleanly(Settings(true, L"192.0.2.10", L"3128", L"", L""));
}

// The store reaches its file by the wide path alone: a folder whose name no
// ANSI code page holds, with or without a short name, works as any other.
TEST_F(ConfigStoreTest, AFileUnderAFolderNameOutsideTheAnsiCodePageIsReadAndWritten)
{
    const std::wstring folder = folder_ + L"\\\u7528\u6237 \u0100\u0141\u00DF \u0416";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = folder + L"\\installer.ini";
    const ProxySettings saved = Settings(true, L"\u4EE3\u7406", L"8080", L"\u0141ukasz", L"p");
    testsupport::StartCapturingStderr();
    testsupport::StartCapturingStdout();
    const bool written = WriteProxySettingsFile(path, saved);
    const ProxySettings loaded = ReadProxySettingsFile(path);
    EXPECT_EQ(testsupport::CapturedStdout(), "");
    testsupport::CapturedStderr();
    EXPECT_TRUE(written);
    ExpectSame(loaded, saved);
    EXPECT_TRUE(testsupport::Exists(path));
}

TEST_F(ConfigStoreTest, ASaveReportsWhetherTheFileWasWritten)
{
    EXPECT_NE(Save(Settings(true, L"h", L"1", L"", L"")).find("New configuration"), std::string::npos);
    testsupport::StartCapturingStderr();
    EXPECT_TRUE(WriteProxySettingsFile(WidePath(), Settings(true, L"h", L"2", L"", L"")));
    ASSERT_TRUE(DeleteFileW(WidePath().c_str()));
    ASSERT_TRUE(CreateDirectoryW(WidePath().c_str(), nullptr));
    testsupport::StartCapturingStdout();
    EXPECT_FALSE(WriteProxySettingsFile(WidePath(), Settings(true, L"h", L"3", L"", L"")));
    testsupport::CapturedStdout();
    testsupport::CapturedStderr();
}

TEST_F(ConfigStoreTest, InstanceIsOneStoreOverTheIniFileOfThePerUserFolder)
{
    ConfigStore& store = ConfigStore::Instance();
    EXPECT_EQ(&store, &ConfigStore::Instance());
    const std::wstring suffix = L"\\Mevra Cloud Meetings\\installer.ini";
    ASSERT_GT(store.Path().size(), suffix.size());
    EXPECT_EQ(store.Path().substr(store.Path().size() - suffix.size()), suffix);
    EXPECT_TRUE(testsupport::Exists(store.Path()));
}

} // namespace
