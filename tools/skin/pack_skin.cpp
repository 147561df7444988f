// Packs skin files into the zip archive the installer reads beside itself.
//   pack-skin OUT.dat FILE...
// Each file is stored under its base name, deflated, with a fixed time stamp so
// that the same files always give the same archive.

#include "tools/common/Files.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

constexpr std::uint16_t kDosTime = 0;                                    // 00:00:00
constexpr std::uint16_t kDosDate = ((2026 - 1980) << 9) | (1 << 5) | 1;  // 2026-01-01

void Put16(std::vector<unsigned char>& out, std::uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool RawDeflate(const std::vector<unsigned char>& in, std::vector<unsigned char>& out)
{
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&zs, in.size()));
    zs.next_in = const_cast<Bytef*>(in.data());
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return status == Z_STREAM_END;
}

struct Member
{
    std::string name;
    std::uint32_t crc = 0, compressed = 0, size = 0, offset = 0;
};

void PutHeaderFields(std::vector<unsigned char>& out, const Member& m)
{
    Put16(out, 20);      // version needed
    Put16(out, 0x0800);  // names are UTF-8
    Put16(out, 8);       // deflate
    Put16(out, kDosTime);
    Put16(out, kDosDate);
    Put32(out, m.crc);
    Put32(out, m.compressed);
    Put32(out, m.size);
    Put16(out, static_cast<std::uint32_t>(m.name.size()));
    Put16(out, 0);  // extra length
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: pack-skin OUT.dat FILE...\n");
        return 2;
    }
    std::vector<unsigned char> archive;
    std::vector<Member> members;
    for (int i = 2; i < argc; ++i)
    {
        std::vector<unsigned char> content, packed;
        std::string error;
        if (!tools::ReadWholeFile(argv[i], content, error))
        {
            std::fprintf(stderr, "pack-skin: %s\n", error.c_str());
            return 1;
        }
        if (!RawDeflate(content, packed))
        {
            std::fprintf(stderr, "pack-skin: cannot compress \"%s\"\n", argv[i]);
            return 1;
        }
        Member m;
        m.name = BaseName(argv[i]);
        m.crc = crc32(0, content.data(), static_cast<uInt>(content.size()));
        m.compressed = static_cast<std::uint32_t>(packed.size());
        m.size = static_cast<std::uint32_t>(content.size());
        m.offset = static_cast<std::uint32_t>(archive.size());
        Put32(archive, 0x04034b50);
        PutHeaderFields(archive, m);
        archive.insert(archive.end(), m.name.begin(), m.name.end());
        archive.insert(archive.end(), packed.begin(), packed.end());
        members.push_back(m);
    }
    const std::uint32_t directoryStart = static_cast<std::uint32_t>(archive.size());
    for (const Member& m : members)
    {
        Put32(archive, 0x02014b50);
        Put16(archive, 20);  // made by
        PutHeaderFields(archive, m);
        Put16(archive, 0);  // comment length
        Put16(archive, 0);  // disk
        Put16(archive, 0);  // internal attributes
        Put32(archive, 0);  // external attributes
        Put32(archive, m.offset);
        archive.insert(archive.end(), m.name.begin(), m.name.end());
    }
    const std::uint32_t directorySize = static_cast<std::uint32_t>(archive.size()) - directoryStart;
    Put32(archive, 0x06054b50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<std::uint32_t>(members.size()));
    Put16(archive, static_cast<std::uint32_t>(members.size()));
    Put32(archive, directorySize);
    Put32(archive, directoryStart);
    Put16(archive, 0);

    std::string error;
    if (!tools::WriteFileAtomically(argv[1], archive, error))
    {
        std::fprintf(stderr, "pack-skin: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
