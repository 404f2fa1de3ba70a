#include "ZipArchive.h"

#include <windows.h>

#include <unzip.h>
#include <ioapi.h>
#include <iowin32.h>

#include <climits>
#include <new>
#include <string>
#include <vector>

namespace Facet {

namespace {

// ---- an archive held in memory, read through the unzip reader's I/O hooks ----

struct MemoryBlock
{
    const unsigned char* data;
    ZPOS64_T length;
};

// One open "file" on a memory block: the block, a read position and whether a read
// ran past the block's end. The reader takes a short read without an error for zero
// bytes, so a cut-off archive would look valid: such reads are reported as errors.
struct MemoryStream
{
    MemoryBlock block;
    ZPOS64_T position;
    bool shortRead;
};

voidpf ZCALLBACK MemoryOpen(voidpf, const void* source, int mode)
{
    if (source == nullptr || (mode & ZLIB_FILEFUNC_MODE_WRITE) != 0)
        return nullptr;
    MemoryStream* stream = new (std::nothrow) MemoryStream;
    if (stream == nullptr)
        return nullptr;
    stream->block = *static_cast<const MemoryBlock*>(source);
    stream->position = 0;
    stream->shortRead = false;
    return stream;
}

uLong ZCALLBACK MemoryRead(voidpf, voidpf opened, void* buffer, uLong size)
{
    MemoryStream* stream = static_cast<MemoryStream*>(opened);
    const ZPOS64_T left = stream->block.length - stream->position;
    const uLong count = static_cast<uLong>(left < size ? left : size);
    if (count > 0)
        memcpy(buffer, stream->block.data + stream->position, count);
    stream->position += count;
    if (count < size)
        stream->shortRead = true;
    return count;
}

uLong ZCALLBACK MemoryWrite(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK MemoryTell(voidpf, voidpf opened)
{
    return static_cast<MemoryStream*>(opened)->position;
}

long ZCALLBACK MemorySeek(voidpf, voidpf opened, ZPOS64_T offset, int origin)
{
    MemoryStream* stream = static_cast<MemoryStream*>(opened);
    ZPOS64_T base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        base = 0;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        base = stream->position;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        base = stream->block.length;
        break;
    default:
        return -1;
    }
    // The reader passes "backwards" offsets as large unsigned numbers; unsigned
    // wrap-around then lands on the intended position, which must lie inside the block.
    const ZPOS64_T target = base + offset;
    if (target > stream->block.length)
        return -1;
    stream->position = target;
    return 0;
}

int ZCALLBACK MemoryClose(voidpf, voidpf opened)
{
    delete static_cast<MemoryStream*>(opened);
    return 0;
}

int ZCALLBACK MemoryError(voidpf, voidpf opened)
{
    return static_cast<MemoryStream*>(opened)->shortRead ? 1 : 0;
}

// ---- entry names ----

// The wide form of an entry name as stored: UTF-8 when the entry says so, else the
// system's narrow code page.
std::wstring DecodeEntryName(const std::vector<char>& name, size_t length, bool utf8)
{
    if (length == 0)
        return std::wstring();
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    const int count = MultiByteToWideChar(codePage, 0, name.data(), static_cast<int>(length), nullptr, 0);
    if (count <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(codePage, 0, name.data(), static_cast<int>(length), &wide[0], count);
    return wide;
}

// Names compare without regard to case, and either slash separates folders.
std::wstring ComparableName(const wchar_t* name, size_t length)
{
    std::wstring result(name, length);
    for (wchar_t& c : result) {
        if (c == L'\\')
            c = L'/';
    }
    return result;
}

bool SameEntryName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    if (a.empty())
        return true;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// Closes an unzip handle unless it was handed on.
class ScopedUnzip
{
public:
    explicit ScopedUnzip(unzFile handle) : m_handle(handle) {}
    ~ScopedUnzip()
    {
        if (m_handle != nullptr)
            unzClose(m_handle);
    }
    unzFile Get() const { return m_handle; }
    unzFile Release()
    {
        unzFile handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

private:
    ScopedUnzip(const ScopedUnzip&) = delete;
    ScopedUnzip& operator=(const ScopedUnzip&) = delete;
    unzFile m_handle;
};

} // namespace

CZipArchive* CZipArchive::Adopt(void* opened)
{
    ScopedUnzip handle(static_cast<unzFile>(opened));
    if (handle.Get() == nullptr)
        return nullptr;
    CZipArchive* archive = new (std::nothrow) CZipArchive(handle.Get());
    if (archive != nullptr)
        handle.Release();
    return archive;
}

CZipArchive::CZipArchive(void* handle) : m_handle(handle), m_hasCurrent(false)
{
}

CZipArchive::~CZipArchive()
{
    if (m_handle != nullptr)
        unzClose(static_cast<unzFile>(m_handle));
}

CZipArchive* CZipArchive::OpenFile(const wchar_t* path)
{
    if (path == nullptr || path[0] == L'\0')
        return nullptr;
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    return Adopt(unzOpen2_64(path, &functions));
}

CZipArchive* CZipArchive::OpenMemory(const void* data, unsigned int length)
{
    if (data == nullptr || length == 0)
        return nullptr;
    zlib_filefunc64_def functions;
    functions.zopen64_file = MemoryOpen;
    functions.zread_file = MemoryRead;
    functions.zwrite_file = MemoryWrite;
    functions.ztell64_file = MemoryTell;
    functions.zseek64_file = MemorySeek;
    functions.zclose_file = MemoryClose;
    functions.zerror_file = MemoryError;
    functions.opaque = nullptr;
    // The reader hands the "file name" to MemoryOpen, which copies the block's description.
    MemoryBlock block = {static_cast<const unsigned char*>(data), length};
    return Adopt(unzOpen2_64(&block, &functions));
}

bool CZipArchive::FindEntry(const wchar_t* name, unsigned long* uncompressedSize)
{
    m_hasCurrent = false;
    if (name == nullptr)
        return false;
    unzFile handle = static_cast<unzFile>(m_handle);
    const std::wstring wanted = ComparableName(name, wcslen(name));
    std::vector<char> stored(256);
    for (int result = unzGoToFirstFile(handle); result == UNZ_OK; result = unzGoToNextFile(handle)) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(handle, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return false;
        if (stored.size() < info.size_filename + 1)
            stored.resize(info.size_filename + 1);
        if (unzGetCurrentFileInfo64(handle, &info, stored.data(), static_cast<uLong>(stored.size()), nullptr, 0,
                                    nullptr, 0) != UNZ_OK)
            return false;
        const bool utf8 = (info.flag & 0x800) != 0;
        const std::wstring entry = DecodeEntryName(stored, info.size_filename, utf8);
        if (!SameEntryName(ComparableName(entry.c_str(), entry.size()), wanted))
            continue;
        if (uncompressedSize != nullptr) {
            *uncompressedSize = info.uncompressed_size > ULONG_MAX ? ULONG_MAX
                                                                   : static_cast<unsigned long>(info.uncompressed_size);
        }
        m_hasCurrent = true;
        return true;
    }
    return false;
}

bool CZipArchive::ReadEntry(unsigned char* buffer, unsigned long size)
{
    if (!m_hasCurrent || (buffer == nullptr && size != 0))
        return false;
    unzFile handle = static_cast<unzFile>(m_handle);
    if (unzOpenCurrentFile(handle) != UNZ_OK)
        return false;

    bool complete = true;
    unsigned long done = 0;
    while (done < size) {
        const unsigned long left = size - done;
        const unsigned chunk = static_cast<unsigned>(left < 0x40000000UL ? left : 0x40000000UL);
        const int count = unzReadCurrentFile(handle, buffer + done, chunk);
        if (count <= 0) {
            complete = false;
            break;
        }
        done += static_cast<unsigned long>(count);
    }
    if (complete) {
        // The entry must end here: anything further means it is larger than `size`.
        unsigned char extra = 0;
        if (unzReadCurrentFile(handle, &extra, 1) != 0)
            complete = false;
    }
    // Closing after the last byte checks the entry's CRC-32.
    const int closed = unzCloseCurrentFile(handle);
    return complete && closed == UNZ_OK;
}

} // namespace Facet
