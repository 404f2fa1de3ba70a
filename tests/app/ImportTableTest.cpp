// The libraries MevraUpdater.exe names in its import table, read from the file
// itself. Windows loads those before the updater's first line runs, and looks
// for each that is not a known DLL in the updater's own folder first; so the
// table may name known DLLs only, and every other library is a delay-load
// import (which the updater loads from the system folder).
#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

// The known DLLs of every Windows the updater supports (7 to 11): the entries
// of HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs that all of
// them share. ntdll.dll is mapped into every process before anything else.
const std::set<std::string> kKnownDlls = {
    "advapi32.dll", "clbcatq.dll",  "comdlg32.dll", "gdi32.dll",    "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll",    "msvcrt.dll",   "normaliz.dll", "nsi.dll",      "ntdll.dll",
    "ole32.dll",    "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",   "sechost.dll",  "setupapi.dll",
    "shell32.dll",  "shlwapi.dll",  "user32.dll",   "wldap32.dll",  "ws2_32.dll",
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The updater's file, read as bytes, with readers of its headers.
class Image
{
public:
    Image() : m_bytes(testsupport::ReadFileText(testsupport::ProgramFolder() + L"\\MevraUpdater.exe")) {}

    bool IsPe64() const
    {
        if (m_bytes.size() < sizeof(IMAGE_DOS_HEADER))
            return false;
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        return dos->e_magic == IMAGE_DOS_SIGNATURE && Headers() != nullptr &&
               Headers()->Signature == IMAGE_NT_SIGNATURE &&
               Headers()->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    }

    // The library names of a directory of import descriptors: the import table
    // (IMAGE_DIRECTORY_ENTRY_IMPORT) or the delay-load table.
    std::set<std::string> Libraries(int directory) const
    {
        std::set<std::string> names;
        const IMAGE_DATA_DIRECTORY& entry = Headers()->OptionalHeader.DataDirectory[directory];
        if (entry.VirtualAddress == 0)
            return names;
        const size_t size = directory == IMAGE_DIRECTORY_ENTRY_IMPORT ? sizeof(IMAGE_IMPORT_DESCRIPTOR) : 32;
        for (size_t offset = FileOffset(entry.VirtualAddress); offset != 0 && offset + size <= m_bytes.size();
             offset += size) {
            // The name's address is the descriptor's fourth field in the import
            // table and its second in the delay-load table.
            DWORD nameAddress = 0;
            std::memcpy(&nameAddress, m_bytes.data() + offset + (directory == IMAGE_DIRECTORY_ENTRY_IMPORT ? 12 : 4),
                        sizeof(DWORD));
            if (nameAddress == 0)
                break;
            const size_t name = FileOffset(nameAddress);
            if (name == 0)
                break;
            names.insert(Lower(std::string(m_bytes.c_str() + name)));
        }
        return names;
    }

    // Each section's name and its bytes in the file. A name longer than eight
    // characters stands in the COFF string table ("/offset").
    std::map<std::string, std::string> Sections() const
    {
        std::map<std::string, std::string> sections;
        const IMAGE_NT_HEADERS64* headers = Headers();
        const size_t strings = headers->FileHeader.PointerToSymbolTable +
                               headers->FileHeader.NumberOfSymbols * size_t(18);
        for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i) {
            const auto* section = At<IMAGE_SECTION_HEADER>(FirstSection() + i * sizeof(IMAGE_SECTION_HEADER));
            if (section == nullptr)
                break;
            std::string name(reinterpret_cast<const char*>(section->Name),
                             strnlen(reinterpret_cast<const char*>(section->Name), 8));
            if (name.size() > 1 && name[0] == '/' && headers->FileHeader.PointerToSymbolTable != 0) {
                const size_t at = strings + std::strtoul(name.c_str() + 1, nullptr, 10);
                if (at < m_bytes.size())
                    name = std::string(m_bytes.c_str() + at);
            }
            std::string bytes;
            if (size_t(section->PointerToRawData) + section->SizeOfRawData <= m_bytes.size())
                bytes = m_bytes.substr(section->PointerToRawData, section->SizeOfRawData);
            sections[name] = bytes;
        }
        return sections;
    }

private:
    template <typename T>
    const T* At(size_t offset) const
    {
        return offset + sizeof(T) <= m_bytes.size() ? reinterpret_cast<const T*>(m_bytes.data() + offset) : nullptr;
    }

    const IMAGE_NT_HEADERS64* Headers() const { return At<IMAGE_NT_HEADERS64>(At<IMAGE_DOS_HEADER>(0)->e_lfanew); }

    size_t FirstSection() const
    {
        return At<IMAGE_DOS_HEADER>(0)->e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
               Headers()->FileHeader.SizeOfOptionalHeader;
    }

    // Where the byte at a relative virtual address lies in the file; 0 when in no section.
    size_t FileOffset(DWORD address) const
    {
        const IMAGE_NT_HEADERS64* headers = Headers();
        const size_t first = FirstSection();
        for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i) {
            const auto* section = At<IMAGE_SECTION_HEADER>(first + i * sizeof(IMAGE_SECTION_HEADER));
            if (section != nullptr && address >= section->VirtualAddress &&
                address < section->VirtualAddress + section->SizeOfRawData)
                return section->PointerToRawData + (address - section->VirtualAddress);
        }
        return 0;
    }

    std::string m_bytes;
};

TEST(ImportTable, NamesKnownDllsOnly)
{
    const Image image;
    ASSERT_TRUE(image.IsPe64()) << "MevraUpdater.exe is missing beside the tests or is no 64-bit program";
    const std::set<std::string> imported = image.Libraries(IMAGE_DIRECTORY_ENTRY_IMPORT);
    ASSERT_TRUE(imported.count("kernel32.dll")) << "the import table was not read";
    for (const std::string& library : imported)
        EXPECT_TRUE(kKnownDlls.count(library)) << library << " is imported directly but is not a known DLL";
}

// A release build ships the program without its debug information (it would
// be mapped with the program): that goes to MevraUpdater.exe.debug, which the
// program names in its debug link.
TEST(ImportTable, ReleaseProgramCarriesADebugLinkInsteadOfDebugInformation)
{
#ifdef NDEBUG
    const Image image;
    ASSERT_TRUE(image.IsPe64());
    const std::map<std::string, std::string> sections = image.Sections();
    ASSERT_TRUE(sections.count(".text"));
    for (const auto& section : sections)
        EXPECT_NE(section.first.compare(0, 6, ".debug"), 0) << section.first << " is debug information";
    const auto link = sections.find(".gnu_debuglink");
    ASSERT_NE(link, sections.end()) << "no debug link";
    EXPECT_STREQ(link->second.c_str(), "MevraUpdater.exe.debug");
#else
    GTEST_SKIP() << "debug builds keep their debug information";
#endif
}

} // namespace
