#pragma once

// A small zip writer for tests and benchmarks. It writes ordinary archives and,
// through the recorded offsets, lets a test damage any header field afterwards;
// most of the malformed archives the reader must survive cannot be made with
// ordinary tools.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ziptest
{

struct TMember
{
    std::string name;
    std::string data;  // uncompressed content
    uint16_t method = 8;
    bool dataDescriptor = false;  // sizes and CRC only after the data and in the central header
    uint32_t externalAttributes = 0x20;
    std::string localExtra;
    uint32_t dosTime = 0x5A8C6000;  // 2025-04-12 12:00:00
};

struct TArchive
{
    std::string bytes;
    std::vector<size_t> localHeaders;    // offset of each local header
    std::vector<size_t> centralHeaders;  // offset of each central header
    size_t endRecord = 0;
};

inline void Put16(std::string& s, size_t at, uint32_t v)
{
    s[at] = char(v & 0xFF);
    s[at + 1] = char((v >> 8) & 0xFF);
}

inline void Put32(std::string& s, size_t at, uint32_t v)
{
    Put16(s, at, v & 0xFFFF);
    Put16(s, at + 2, v >> 16);
}

inline void Append16(std::string& s, uint32_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}

inline void Append32(std::string& s, uint32_t v)
{
    Append16(s, v & 0xFFFF);
    Append16(s, v >> 16);
}

inline uint32_t Get32(const std::string& s, size_t at)
{
    auto b = [&](size_t i) { return uint32_t(static_cast<unsigned char>(s[at + i])); };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

inline std::string RawDeflate(const std::string& data, int level = Z_DEFAULT_COMPRESSION)
{
    z_stream stream = {};
    deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, uLong(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

inline uint32_t Crc(const std::string& data)
{
    return uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
}

// Offsets of fields inside the headers, for tests that damage them.
enum : size_t
{
    LocalBitFlags = 6,
    LocalMethod = 8,
    LocalCrc = 14,
    LocalCompressed = 18,
    LocalUncompressed = 22,
    LocalNameLength = 26,
    LocalExtraLength = 28,
    LocalHeaderSize = 30,
    CentralMethod = 10,
    CentralCrc = 16,
    CentralCompressed = 20,
    CentralUncompressed = 24,
    CentralNameLength = 28,
    CentralExternal = 38,
    CentralLocalOffset = 42,
    EndDisk = 4,
    EndDirectoryDisk = 6,
    EndEntriesOnDisk = 8,
    EndEntries = 10,
    EndDirectorySize = 12,
    EndDirectoryOffset = 16,
};

inline TArchive BuildZip(const std::vector<TMember>& entries, const std::string& prefix = "",
                         const std::string& comment = "")
{
    TArchive archive;
    std::string& out = archive.bytes;
    out = prefix;
    std::string central;
    for (const TMember& e : entries)
    {
        const std::string payload = e.method == 8 ? RawDeflate(e.data) : e.data;
        const uint32_t crc = Crc(e.data);
        const size_t local = out.size();
        archive.localHeaders.push_back(local);
        const uint16_t flags = e.dataDescriptor ? 0x08 : 0;
        Append32(out, 0x04034B50);
        Append16(out, 20);
        Append16(out, flags);
        Append16(out, e.method);
        Append32(out, e.dosTime);
        Append32(out, e.dataDescriptor ? 0 : crc);
        Append32(out, e.dataDescriptor ? 0 : uint32_t(payload.size()));
        Append32(out, e.dataDescriptor ? 0 : uint32_t(e.data.size()));
        Append16(out, uint32_t(e.name.size()));
        Append16(out, uint32_t(e.localExtra.size()));
        out += e.name;
        out += e.localExtra;
        out += payload;
        if (e.dataDescriptor)
        {
            Append32(out, 0x08074B50);
            Append32(out, crc);
            Append32(out, uint32_t(payload.size()));
            Append32(out, uint32_t(e.data.size()));
        }
        archive.centralHeaders.push_back(central.size());
        Append32(central, 0x02014B50);
        Append16(central, 20);
        Append16(central, 20);
        Append16(central, flags);
        Append16(central, e.method);
        Append32(central, e.dosTime);
        Append32(central, crc);
        Append32(central, uint32_t(payload.size()));
        Append32(central, uint32_t(e.data.size()));
        Append16(central, uint32_t(e.name.size()));
        Append16(central, 0);
        Append16(central, 0);
        Append16(central, 0);
        Append16(central, 0);
        Append32(central, e.externalAttributes);
        Append32(central, uint32_t(local - prefix.size()));
        central += e.name;
    }
    const size_t directoryOffset = out.size();
    for (size_t& offset : archive.centralHeaders)
        offset += directoryOffset;
    out += central;
    archive.endRecord = out.size();
    Append32(out, 0x06054B50);
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, uint32_t(entries.size()));
    Append16(out, uint32_t(entries.size()));
    Append32(out, uint32_t(central.size()));
    Append32(out, uint32_t(directoryOffset - prefix.size()));
    Append16(out, uint32_t(comment.size() & 0xFFFF));
    out += comment;
    return archive;
}

}  // namespace ziptest
