#include "ProgramImage.h"

#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Whether `bytes`, written to a file of their own, read as a whole program.
bool IsWholeProgram(const std::string& bytes)
{
    const std::wstring path = testsupport::FreshTempFolder(L"image") + L"\\program.exe";
    testsupport::WriteFileText(path, bytes);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    const bool whole = IsWholeProgramImage(file, bytes.size());
    CloseHandle(file);
    DeleteFileW(path.c_str());
    return whole;
}

TEST(ProgramImage, AWholeProgramIsWholeAndACutOneIsNot)
{
    const std::string program = testsupport::ReadFileText(testsupport::ProgramFolder() + L"\\fake_installer.exe");
    ASSERT_GT(program.size(), 4096u);
    EXPECT_TRUE(IsWholeProgram(program));
    // Cut after the headers, or inside the sections.
    EXPECT_FALSE(IsWholeProgram(program.substr(0, 1024)));
    EXPECT_FALSE(IsWholeProgram(program.substr(0, 4096)));
}

TEST(ProgramImage, WhatIsNoProgramIsNotWhole)
{
    EXPECT_FALSE(IsWholeProgram(""));
    EXPECT_FALSE(IsWholeProgram("<!DOCTYPE html><html><body>Sign in to continue</body></html>\n"));
    EXPECT_FALSE(IsWholeProgram(std::string("MZ") + std::string(200, '\0')));
}

// A signed program ends with its signature's table: a file whose table is
// said to reach beyond the end was cut in the signature.
TEST(ProgramImage, ASignatureThatDoesNotEndTheFileIsNotWhole)
{
    std::string program = testsupport::ReadFileText(testsupport::ProgramFolder() + L"\\fake_installer.exe");
    ASSERT_GT(program.size(), 4096u);
    const unsigned peAt = *reinterpret_cast<const unsigned*>(program.data() + 0x3C);
    const unsigned short magic = *reinterpret_cast<const unsigned short*>(program.data() + peAt + 24);
    ASSERT_EQ(magic, 0x20B) << "a PE32+ program";
    const size_t security = peAt + 24 + 112 + 8 * 4;
    const unsigned tableAt = static_cast<unsigned>(program.size());
    const unsigned tableSize = 1024;
    std::memcpy(&program[security], &tableAt, 4);
    std::memcpy(&program[security + 4], &tableSize, 4);
    EXPECT_FALSE(IsWholeProgram(program)) << "the table is missing";
    EXPECT_TRUE(IsWholeProgram(program + std::string(tableSize, '\0'))) << "the table is there";
    EXPECT_FALSE(IsWholeProgram(program + std::string(tableSize - 8, '\0'))) << "the table is cut";
}

} // namespace
