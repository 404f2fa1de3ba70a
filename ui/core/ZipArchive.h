// A read-only zip archive (a file on disk or a block in memory) from which skin
// documents and images are inflated.
#pragma once

namespace Facet {

class CZipArchive
{
public:
    // Opens the archive file `path`. Null when the file cannot be opened or is no zip archive.
    static CZipArchive* OpenFile(const wchar_t* path);
    // Opens an archive held in memory. The block is not copied: it must stay valid and
    // unchanged while the archive is open. Null when the block is no zip archive.
    static CZipArchive* OpenMemory(const void* data, unsigned int length);

    ~CZipArchive();

    // Looks up the entry `name` without regard to case ("\" and "/" separate folders alike)
    // and makes it the current entry. Its uncompressed size goes to `uncompressedSize`
    // (when not null; sizes beyond the range of unsigned long read as its maximum).
    bool FindEntry(const wchar_t* name, unsigned long* uncompressedSize);

    // Inflates the current entry into `buffer`. True only when the entry inflates without
    // error (checksum included) to exactly `size` bytes.
    bool ReadEntry(unsigned char* buffer, unsigned long size);

private:
    explicit CZipArchive(void* handle);
    // Wraps an opened reader handle; closes it when no wrapper can be made.
    static CZipArchive* Adopt(void* opened);
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    void* m_handle;    // the unzip reader's archive handle
    bool m_hasCurrent; // FindEntry selected an entry
};

} // namespace Facet
