// Builds small zip archives in memory for tests (stored or deflated entries, CRC-32,
// central directory), so that no external zip tool is needed. Link zlib.
#pragma once

#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class ZipWriter
{
public:
    enum class Method { Stored, Deflated };

    // Ways to spoil an entry, for tests of the reader's error paths.
    enum class Damage {
        None,
        WrongCrc,     // the recorded CRC-32 does not match the data
        CorruptData,  // the compressed bytes are overwritten in the middle
        SizeTooLarge, // the recorded uncompressed size is larger than the data
        SizeTooSmall, // the recorded uncompressed size is smaller than the data
    };

    // Adds an entry. `utf8Name` marks the name as UTF-8 (general purpose flag bit 11).
    void Add(const std::string& name, const std::string& data, Method method = Method::Deflated,
             Damage damage = Damage::None, bool utf8Name = false)
    {
        Entry entry;
        entry.name = name;
        entry.method = method;
        entry.flags = utf8Name ? 0x0800 : 0;
        entry.crc = crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
        entry.uncompressedSize = static_cast<uint32_t>(data.size());
        entry.payload = method == Method::Stored ? data : Deflate(data);

        switch (damage) {
        case Damage::None:
            break;
        case Damage::WrongCrc:
            entry.crc ^= 0x5A5A5A5Au;
            break;
        case Damage::CorruptData:
            for (size_t i = entry.payload.size() / 3; i < entry.payload.size() * 2 / 3 + 1 && i < entry.payload.size();
                 ++i)
                entry.payload[i] = static_cast<char>(0xFF);
            break;
        case Damage::SizeTooLarge:
            entry.uncompressedSize += 10;
            break;
        case Damage::SizeTooSmall:
            entry.uncompressedSize = entry.uncompressedSize > 0 ? entry.uncompressedSize - 1 : 0;
            break;
        }
        m_entries.push_back(entry);
    }

    // The whole archive.
    std::string Bytes() const
    {
        std::string out;
        std::vector<uint32_t> offsets;
        for (const Entry& e : m_entries) {
            offsets.push_back(static_cast<uint32_t>(out.size()));
            Put32(out, 0x04034b50);
            Put16(out, 20);
            Put16(out, e.flags);
            Put16(out, e.method == Method::Stored ? 0 : 8);
            Put16(out, 0);    // time
            Put16(out, 0x21); // date: 1980-01-01
            Put32(out, e.crc);
            Put32(out, static_cast<uint32_t>(e.payload.size()));
            Put32(out, e.uncompressedSize);
            Put16(out, static_cast<uint16_t>(e.name.size()));
            Put16(out, 0);
            out += e.name;
            out += e.payload;
        }
        const uint32_t directoryOffset = static_cast<uint32_t>(out.size());
        for (size_t i = 0; i < m_entries.size(); ++i) {
            const Entry& e = m_entries[i];
            Put32(out, 0x02014b50);
            Put16(out, 20);
            Put16(out, 20);
            Put16(out, e.flags);
            Put16(out, e.method == Method::Stored ? 0 : 8);
            Put16(out, 0);
            Put16(out, 0x21);
            Put32(out, e.crc);
            Put32(out, static_cast<uint32_t>(e.payload.size()));
            Put32(out, e.uncompressedSize);
            Put16(out, static_cast<uint16_t>(e.name.size()));
            Put16(out, 0); // extra
            Put16(out, 0); // comment
            Put16(out, 0); // disk
            Put16(out, 0); // internal attributes
            Put32(out, 0); // external attributes
            Put32(out, offsets[i]);
            out += e.name;
        }
        const uint32_t directorySize = static_cast<uint32_t>(out.size()) - directoryOffset;
        Put32(out, 0x06054b50);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, static_cast<uint16_t>(m_entries.size()));
        Put16(out, static_cast<uint16_t>(m_entries.size()));
        Put32(out, directorySize);
        Put32(out, directoryOffset);
        Put16(out, 0);
        return out;
    }

    bool WriteTo(const std::wstring& path) const
    {
        const std::string bytes = Bytes();
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == bytes.size();
    }

private:
    struct Entry
    {
        std::string name;
        std::string payload;
        Method method = Method::Stored;
        uint16_t flags = 0;
        uint32_t crc = 0;
        uint32_t uncompressedSize = 0;
    };

    static std::string Deflate(const std::string& data)
    {
        z_stream stream = {};
        deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        stream.avail_in = static_cast<uInt>(data.size());
        stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, Z_FINISH);
        out.resize(stream.total_out);
        deflateEnd(&stream);
        return out;
    }

    static void Put16(std::string& out, uint32_t value)
    {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>((value >> 8) & 0xFF);
    }

    static void Put32(std::string& out, uint32_t value)
    {
        Put16(out, value & 0xFFFF);
        Put16(out, value >> 16);
    }

    std::vector<Entry> m_entries;
};

} // namespace testsupport
