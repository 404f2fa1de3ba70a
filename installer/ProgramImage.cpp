#include "ProgramImage.h"

#include <algorithm>
#include <cstring>

namespace {

const WORD kDosMagic = 0x5A4D;         // "MZ"
const DWORD kPeSignature = 0x00004550; // "PE\0\0"
const WORD kPe32Magic = 0x10B;
const WORD kPe32PlusMagic = 0x20B;
const DWORD kSecurityDirectory = 4; // IMAGE_DIRECTORY_ENTRY_SECURITY
const DWORD kSectionHeaderSize = 40;

bool ReadAt(HANDLE file, std::uint64_t offset, void* buffer, DWORD size)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ReadFile(file, buffer, size, &read, &at) && read == size;
}

template <typename T>
T Field(const unsigned char* bytes, size_t offset)
{
    T value;
    std::memcpy(&value, bytes + offset, sizeof(value));
    return value;
}

// The end of the last section's raw data, or 0 when a header does not fit.
std::uint64_t EndOfSections(HANDLE file, std::uint64_t sectionsAt, WORD count, std::uint64_t size)
{
    std::uint64_t end = sectionsAt + static_cast<std::uint64_t>(count) * kSectionHeaderSize;
    for (WORD i = 0; i < count; ++i) {
        unsigned char section[kSectionHeaderSize];
        if (!ReadAt(file, sectionsAt + static_cast<std::uint64_t>(i) * kSectionHeaderSize, section, sizeof(section)))
            return 0;
        const DWORD rawSize = Field<DWORD>(section, 16);
        const DWORD rawAt = Field<DWORD>(section, 20);
        if (rawSize != 0 && static_cast<std::uint64_t>(rawAt) + rawSize > end)
            end = static_cast<std::uint64_t>(rawAt) + rawSize;
    }
    return end <= size ? end : 0;
}

} // namespace

bool IsWholeProgramImage(HANDLE file, std::uint64_t size)
{
    unsigned char dos[64];
    if (size < sizeof(dos) || !ReadAt(file, 0, dos, sizeof(dos)) || Field<WORD>(dos, 0) != kDosMagic)
        return false;
    const std::uint64_t peAt = Field<DWORD>(dos, 0x3C);
    // The signature, the file header (20 bytes) and the optional header's
    // fields up to the end of the data directories of a PE32+ image.
    unsigned char pe[4 + 20 + 240] = {};
    if (peAt + 24 > size ||
        !ReadAt(file, peAt, pe, static_cast<DWORD>(std::min<std::uint64_t>(sizeof(pe), size - peAt))))
        return false;
    if (Field<DWORD>(pe, 0) != kPeSignature)
        return false;
    const WORD sections = Field<WORD>(pe, 4 + 2);
    const WORD optionalSize = Field<WORD>(pe, 4 + 16);
    const size_t optionalAt = 4 + 20;
    const WORD magic = Field<WORD>(pe, optionalAt);
    const size_t directoriesAt = optionalAt + (magic == kPe32PlusMagic ? 112 : magic == kPe32Magic ? 96 : 0);
    if (directoriesAt == optionalAt || directoriesAt + 8 * (kSecurityDirectory + 1) > optionalAt + optionalSize ||
        directoriesAt + 8 * (kSecurityDirectory + 1) > sizeof(pe))
        return false;
    const std::uint64_t sectionsAt = peAt + optionalAt + optionalSize;
    if (EndOfSections(file, sectionsAt, sections, size) == 0)
        return false;
    // The signature's table is a file offset, and a signed file ends with it.
    const DWORD signatureAt = Field<DWORD>(pe, directoriesAt + 8 * kSecurityDirectory);
    const DWORD signatureSize = Field<DWORD>(pe, directoriesAt + 8 * kSecurityDirectory + 4);
    return signatureSize == 0 || static_cast<std::uint64_t>(signatureAt) + signatureSize == size;
}
