#include "ConsoleRunner.h"

#include "../support/TestFiles.h"
#include "../support/CapturedOutput.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace {

std::wstring Writer(const std::wstring& arguments)
{
    return L"\"" + testsupport::ProgramFolder() + L"\\console_writer.exe\" " + arguments;
}

// The writer run through the system's cmd.exe, as the removal runs net and sc.
std::wstring WriterThroughCmd(const std::wstring& arguments)
{
    return L"\"" + SystemProgramPath(L"cmd.exe") + L"\" /c \"" + Writer(arguments) + L"\"";
}

std::wstring Pattern(size_t count)
{
    static const wchar_t kPattern[] = L"0123456789abcdef";
    std::wstring text;
    for (size_t i = 0; i < count; ++i)
        text.push_back(kPattern[i % 16]);
    return text;
}

// Runs the command with the test's standard output captured.
struct CapturedRun
{
    std::wstring result;
    std::string diagnostics;
};

CapturedRun RunCaptured(const std::wstring& command)
{
    testsupport::StartCapturingStdout();
    CapturedRun run;
    run.result = RunConsoleCommand(command);
    run.diagnostics = testsupport::CapturedStdout();
    return run;
}

TEST(RunConsoleCommand, CommandWithoutOutputGivesEmptyTextAndStillReports)
{
    const CapturedRun run = RunCaptured(WriterThroughCmd(L"silent"));
    EXPECT_EQ(run.result, L"");
    EXPECT_EQ(run.diagnostics, "strReturn is :\n");
}

TEST(RunConsoleCommand, LongAndUnevenOutputArrivesCompleteAndUnchanged)
{
    const CapturedRun longRun = RunCaptured(WriterThroughCmd(L"repeat 5000"));
    const std::wstring expected = Pattern(5000);
    EXPECT_EQ(longRun.result, expected);
    EXPECT_EQ(longRun.diagnostics, "strReturn is :" + std::string(expected.begin(), expected.end()) + "\n");

    // 1 + 1023 + 1024 + 1025 + 7 + 3000 + 2 + 511 bytes, written with pauses between:
    // no byte of an earlier read may be repeated or lost.
    const CapturedRun pieces = RunCaptured(WriterThroughCmd(L"pieces"));
    EXPECT_EQ(pieces.result, Pattern(6593));
}

TEST(RunConsoleCommand, StandardErrorAndOutputInterleaveAsWritten)
{
    const CapturedRun run = RunCaptured(WriterThroughCmd(L"interleave 40"));
    std::wstring expected;
    for (int i = 0; i < 40; ++i)
        expected += L"out" + std::to_wstring(i) + L"\nerr" + std::to_wstring(i) + L"\n";
    EXPECT_EQ(run.result, expected);

    // cmd.exe's own error text (a command that does not exist) is output like any other.
    const CapturedRun missing = RunCaptured(L"\"" + SystemProgramPath(L"cmd.exe") + L"\" /c no-such-command-here");
    EXPECT_FALSE(missing.result.empty());
}

TEST(RunConsoleCommand, OutputStopsAtTheFirstZeroByte)
{
    const CapturedRun run = RunCaptured(Writer(L"zero"));
    EXPECT_EQ(run.result, L"before");
    EXPECT_EQ(run.diagnostics, "strReturn is :before\n");
}

TEST(RunConsoleCommand, ProgramThatCannotStartIsReported)
{
    const CapturedRun run = RunCaptured(L"Z:\\no\\such\\folder\\program.exe");
    EXPECT_EQ(run.result, L"Cannot create process");
    EXPECT_EQ(run.diagnostics, "error 2: CreateProcess failed!\n");
}

TEST(RunConsoleCommand, ChildInheritsNoOtherHandleOfThisProcess)
{
    // An inheritable handle of this process, such as another thread's pipe end,
    // must not reach the child: that thread's read would then wait for our child.
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE marker = CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    ASSERT_NE(marker, nullptr);
    std::wstringstream value;
    value << std::hex << reinterpret_cast<uintptr_t>(marker);

    const CapturedRun run = RunCaptured(Writer(L"handle " + value.str()));
    CloseHandle(marker);
    EXPECT_EQ(run.result, L"closed");
}

TEST(RunConsoleCommand, EveryPathReleasesItsHandles)
{
    // Warm up whatever the runtime keeps open after a first child.
    RunCaptured(Writer(L"silent"));
    DWORD before = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 20; ++i) {
        RunCaptured(Writer(L"repeat 100"));
        RunCaptured(L"Z:\\no\\such\\folder\\program.exe");
    }
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_LE(after, before + 2) << "handles leak per run";
}

TEST(SystemConsoleCommand, NamesEveryProgramByItsFullPath)
{
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring folder = system;
    EXPECT_EQ(SystemConsoleCommand(L"sc.exe", L"delete TarnCptService"),
              L"\"" + folder + L"\\cmd.exe\" /c \"\"" + folder + L"\\sc.exe\" delete TarnCptService\"");

    // The quoting survives cmd.exe: the inner program runs with its arguments.
    const CapturedRun run = RunCaptured(SystemConsoleCommand(L"cmd.exe", L"/c echo reached"));
    EXPECT_EQ(run.result, L"reached\r\n");
}

} // namespace
