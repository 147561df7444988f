// Extraction of a skin archive with many images, against raw inflate of the
// same compressed bytes in the same run:
//   raw       inflateInit2/inflate/inflateEnd of every entry into a full-size buffer
//   raw+crc   the same plus crc32 of the output (the reader checks every entry)
//   memory    CZipArchive on the archive in memory: FindEntry + Extract per image
//   kept      FetchSkinData per image, the archive file kept open
//   per-item  FetchSkinData per image, the archive file opened for every item
//             (how the installer reads its skin)
// Each figure is the best of several rounds; ratios are against raw.
//
// Run by hand: $BUILD_DIR/wine-run bench/zip_bench.exe

#include "tests/support/SkinFolder.h"
#include "tests/support/zip_writer.h"
#include "ui/markup/ResourceLocations.h"
#include "ui/markup/ZipArchive.h"

#include <windows.h>
#include "bench/BenchClock.h"
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

constexpr int kImages = 400;
constexpr int kRounds = 7;

class Random
{
public:
    explicit Random(uint32_t seed) : m_state(seed | 1) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }

private:
    uint32_t m_state;
};

// Pixels that deflate about as well as skin artwork: smooth gradients with
// noise in the low bits and some flat areas.
std::string ImageBytes(int index)
{
    Random random(uint32_t(index) * 2654435761u + 7);
    const int width = 32 + (index * 37) % 160;
    const int height = 24 + (index * 53) % 96;
    std::string out;
    out.reserve(size_t(width) * height * 4 + 64);
    out += "\x89PNG-like header ";
    for (int y = 0; y < height; ++y)
    {
        const bool flat = (y / 8) % 3 == 0;
        for (int x = 0; x < width; ++x)
        {
            const uint32_t noise = flat ? 0 : random.Next() & 0x0F;
            out.push_back(char((x * 255 / width) ^ noise));
            out.push_back(char((y * 255 / height) ^ (noise >> 1)));
            out.push_back(char((x + y + index) & 0xFF));
            out.push_back(char(flat ? 0xFF : 0xC0 | noise));
        }
    }
    return out;
}

template <typename Work> double Best(Work work)
{
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round)
    {
        const double start = NowSeconds();
        if (!work())
            return -1;
        const double elapsed = NowSeconds() - start;
        if (elapsed < best)
            best = elapsed;
    }
    return best;
}

}  // namespace

int wmain()
{
    std::vector<ziptest::TMember> members;
    std::vector<std::wstring> names;
    std::vector<std::string> compressed;
    uint64_t totalBytes = 0;
    uint64_t totalCompressed = 0;
    ziptest::TMember xml;
    xml.name = "Setup.xml";
    xml.data = "<Window/>";
    members.push_back(xml);
    for (int i = 0; i < kImages; ++i)
    {
        ziptest::TMember e;
        e.name = "images/item" + std::to_string(i) + ".png";
        e.data = ImageBytes(i);
        compressed.push_back(ziptest::RawDeflate(e.data));
        names.push_back(std::wstring(e.name.begin(), e.name.end()));
        totalBytes += e.data.size();
        totalCompressed += compressed.back().size();
        members.push_back(e);
    }
    const ziptest::TArchive zip = ziptest::BuildZip(members);

    // The skin locations point at a folder of the benchmark's own while it runs.
    const CSkinFolder skin(L"zipbench");
    skin.Write(L"Setup.dat", zip.bytes);

    std::vector<BYTE> output;
    auto raw = [&](bool withCrc) {
        for (int i = 0; i < kImages; ++i)
        {
            const std::string& in = compressed[size_t(i)];
            output.resize(members[size_t(i) + 1].data.size());
            z_stream stream = {};
            inflateInit2(&stream, -MAX_WBITS);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
            stream.avail_in = uInt(in.size());
            stream.next_out = output.data();
            stream.avail_out = uInt(output.size());
            const int status = inflate(&stream, Z_SYNC_FLUSH);
            inflateEnd(&stream);
            if (status != Z_STREAM_END)
                return false;
            if (withCrc &&
                crc32(0, output.data(), uInt(output.size())) != ziptest::Crc(members[size_t(i) + 1].data))
                return false;
        }
        return true;
    };
    auto memory = [&] {
        CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
        if (!archive)
            return false;
        bool ok = true;
        for (int i = 0; i < kImages && ok; ++i)
        {
            int index = -1;
            TZipEntry entry;
            ok = CZipArchive::FindEntry(archive, names[size_t(i)].c_str(), true, &index, &entry) == ZipOk;
            output.resize(entry.uncompressedSize);
            ok = ok && CZipArchive::Extract(archive, index, output.data(), entry.uncompressedSize,
                                            ZipSourceMemory) == ZipMore;
        }
        CZipArchive::Close(archive);
        return ok;
    };
    auto fetch = [&] {
        for (int i = 0; i < kImages; ++i)
        {
            CSkinData data;
            if (!FetchSkinData(names[size_t(i)].c_str(), SkinDataImage, data))
                return false;
        }
        return true;
    };

    const double rawTime = Best([&] { return raw(false); });
    const double rawCrcTime = Best([&] { return raw(true); });
    const double memoryTime = Best(memory);
    CResourceLocations::SetResourceZip(L"Setup.dat", true);
    const double keptTime = Best(fetch);
    CResourceLocations::SetResourceZip(L"Setup.dat", false);
    const double perItemTime = Best(fetch);
    CResourceLocations::SetResourceZip(L"", false);

    if (rawTime <= 0 || rawCrcTime <= 0 || memoryTime <= 0 || keptTime <= 0 || perItemTime <= 0)
    {
        printf("zip_bench: a run failed\n");
        return 1;
    }
    const double megabytes = double(totalBytes) / (1024.0 * 1024.0);
    printf("skin archive: %d images, %.1f MiB unpacked, %.1f MiB packed (%.0f%%), archive %.1f MiB\n",
           kImages, megabytes, double(totalCompressed) / (1024.0 * 1024.0),
           100.0 * double(totalCompressed) / double(totalBytes),
           double(zip.bytes.size()) / (1024.0 * 1024.0));
    auto line = [&](const char* what, double seconds) {
        printf("%-9s %8.2f ms  %7.1f MiB/s  ratio %.2f\n", what, seconds * 1000.0, megabytes / seconds,
               seconds / rawTime);
    };
    line("raw", rawTime);
    line("raw+crc", rawCrcTime);
    line("memory", memoryTime);
    line("kept", keptTime);
    line("per-item", perItemTime);
    return 0;
}
