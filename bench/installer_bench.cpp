// Unpacks a realistic package four ways and compares their speed:
//   limit    inflate of every stream in 1 MB chunks into one reused buffer, output
//            discarded: the speed of a single stream, with no allocation and no page faults
//   fwrite   the same, plus an fwrite of each chunk into a file in a scratch folder
//   routine  InstallPackage itself, through a shell that hands it the package: once with
//            one thread inflating the entries in turn (a single-core host), once with a
//            worker per core inflating entries ahead
// and reports the routine's peak private memory beyond the package, measured in
// a child process so that building the package does not mask it.
//
// Run by hand: $BUILD_DIR/wine-run bench/installer_bench.exe

#include "installer/Backup.h"
#include "installer/Install.h"
#include "installer/PackageFormat.h"
#include "installer/ParallelUnpacker.h"
#include "tools/pkgbuild/PackageWriter.h"

#include <windows.h>
#include "bench/BenchClock.h"
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<unsigned char>;

// ---- The package -----------------------------------------------------------

class Random
{
public:
    explicit Random(std::uint32_t seed) : state_(seed | 1) {}
    std::uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

private:
    std::uint32_t state_;
};

Bytes Text(std::size_t size, std::uint32_t seed)
{
    static const char* const kLines[] = {"【艾琳】今天的风有点冷，我们必须在天黑之前赶到村子。\r\n",
                                         "@bg name=forest_0012 fade=300\r\n",
                                         "【凯尔】你听见那个声音了吗？\r\n",
                                         "【旁白】钟声响了三次，远方的森林里亮起了灯火。\r\n",
                                         "@se file=step03\r\n",
                                         "【莉莎】……原来如此，那本书上写着古老的文字。\r\n",
                                         "@wait time=120\r\n"};
    Random random(seed);
    Bytes out;
    out.reserve(size + 128);
    while (out.size() < size)
    {
        const std::string line = kLines[random.Next() % 7];
        out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(size);
    return out;
}

Bytes Records(std::size_t size, std::uint32_t seed)
{
    Random random(seed);
    Bytes out(size, 0);
    for (std::size_t i = 0; i + 32 <= size; i += 32)
    {
        package::WriteU32(&out[i], static_cast<std::uint32_t>(i / 32));
        package::WriteU32(&out[i + 4], 1000 + random.Next() % 64 * 10);
        if (random.Next() % 8 == 0)
            package::WriteU32(&out[i + 8], random.Next() & 0xFFFF);
        out[i + 12 + random.Next() % 20] = static_cast<unsigned char>(random.Next() % 3);
    }
    return out;
}

Bytes Compressed(std::size_t size, std::uint32_t seed)
{
    Random random(seed);
    Bytes out(size);
    for (std::size_t i = 0; i + 4 <= size; i += 4)
        package::WriteU32(&out[i], random.Next());
    return out;
}

// The largest file mixes all three kinds in 1 MB blocks, like a game archive.
Bytes Archive(std::size_t size, std::uint32_t seed)
{
    Bytes out;
    out.reserve(size);
    for (std::uint32_t block = 0; out.size() < size; ++block)
    {
        const std::size_t n = std::min<std::size_t>(1 << 20, size - out.size());
        const Bytes part = block % 3 == 0   ? Text(n, seed + block)
                           : block % 3 == 1 ? Records(n, seed + block)
                                            : Compressed(n, seed + block);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

bool MakePackage(Bytes& package, std::uint64_t& outputBytes)
{
    std::vector<package::SourceEntry> entries;
    entries.push_back({u"汉化说明.txt", Text(6 * 1024, 1)});
    entries.push_back({u"script.dat", Text(22 << 20, 2)});
    entries.push_back({u"system.dat", Records(9 << 20, 3)});
    entries.push_back({u"voice.pak", Compressed(20 << 20, 4)});
    entries.push_back({u"data.pak", Archive(99 << 20, 5)});
    outputBytes = 0;
    for (const auto& entry : entries)
        outputBytes += entry.bytes.size();
    std::string error;
    if (!package::BuildPackage(entries, package, error))
    {
        std::fprintf(stderr, "building the package failed: %s\n", error.c_str());
        return false;
    }
    return true;
}

// ---- The three ways ------------------------------------------------------

struct Entry
{
    std::wstring name;
    const unsigned char* stream;
    std::uint32_t compressedSize, uncompressedSize;
};

std::vector<Entry> Entries(const Bytes& package)
{
    std::vector<Entry> entries;
    const std::uint32_t count = package::ReadU32(&package[package::kEntryCountOffset]);
    const std::size_t dataStart = static_cast<std::size_t>(package::DataAreaOffset(count));
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const unsigned char* record = &package[static_cast<std::size_t>(package::EntryOffset(i))];
        Entry entry;
        for (std::size_t k = 0; k < package::kNameUnits && (record[2 * k] || record[2 * k + 1]); ++k)
            entry.name += static_cast<wchar_t>(record[2 * k] | (record[2 * k + 1] << 8));
        entry.stream = &package[dataStart + package::ReadU32(record + package::kDataOffsetField)];
        entry.compressedSize = package::ReadU32(record + package::kCompressedSizeField);
        entry.uncompressedSize = package::ReadU32(record + package::kUncompressedSizeField);
        entries.push_back(entry);
    }
    return entries;
}

// The chunk the limit inflates into, as large as the routine's.
constexpr std::size_t kChunk = 1 << 20;

// Inflates one stream into chunk, again and again, handing each filled part to
// sink; false when the stream is damaged, ends early or sink refuses.
template <class TSink> bool InflateChunked(const Entry& entry, unsigned char* chunk, TSink sink)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<unsigned char*>(entry.stream);
    stream.avail_in = entry.compressedSize;
    int status = Z_OK;
    bool ok = true;
    while (ok && status != Z_STREAM_END)
    {
        stream.next_out = chunk;
        stream.avail_out = static_cast<uInt>(kChunk);
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            ok = false;
        else if (kChunk - stream.avail_out > 0)
            ok = sink(chunk, kChunk - stream.avail_out);
        else if (status != Z_STREAM_END)
            ok = false;  // no progress: the stream is cut short
    }
    inflateEnd(&stream);
    return ok && stream.total_out == entry.uncompressedSize;
}

// The limit (write false) or the limit plus writing every file (write true).
bool Inflate(const std::vector<Entry>& entries, bool write)
{
    static unsigned char* const chunk = new unsigned char[kChunk];
    for (const Entry& entry : entries)
    {
        if (!write)
        {
            if (!InflateChunked(entry, chunk, [](const unsigned char*, std::size_t) { return true; }))
                return false;
            continue;
        }
        FILE* f = _wfopen(entry.name.c_str(), L"wb");
        if (!f)
            return false;
        const bool inflated = InflateChunked(entry, chunk, [f](const unsigned char* bytes, std::size_t size) {
            return std::fwrite(bytes, size, 1, f) == 1;
        });
        if (std::fclose(f) != 0 || !inflated)
            return false;
    }
    return true;
}

// What the memory sampler catches: one full-size buffer per entry, as an
// unpacker that holds each file whole would need.
bool UncompressWhole(const std::vector<Entry>& entries)
{
    for (const Entry& entry : entries)
    {
        std::unique_ptr<unsigned char[]> buffer(new unsigned char[entry.uncompressedSize + 1]);
        uLongf produced = entry.uncompressedSize;
        if (uncompress(buffer.get(), &produced, entry.stream, entry.compressedSize) != Z_OK)
            return false;
    }
    return true;
}

class BenchShell : public installer::IInstallShell
{
public:
    explicit BenchShell(const Bytes& package) : package_(package) {}
    bool completed = false;

    installer::PackageLookup LoadPackage(const unsigned char*& bytes, std::size_t& length) override
    {
        bytes = package_.data();
        length = package_.size();
        return installer::PackageLookup::Loaded;
    }
    void ReleasePackage() override {}
    void SetTitle(const wchar_t*) override {}
    void ShowMessage(const wchar_t* text, const wchar_t*, unsigned) override
    {
        completed = std::wstring(text) == L"安装完成";
    }
    bool StartProcess(wchar_t*) override { return false; }  // never open the notes
    bool AskYesNo(const wchar_t*, const wchar_t*, unsigned) override { return false; }
    bool RestartElevated() override { return false; }

private:
    const Bytes& package_;
};

// workers: 1 for one thread inflating in turn, 0 for one worker per core.
bool Install(const Bytes& package, unsigned workers)
{
    installer::ConfigureUnpacking({workers, 0});
    BenchShell shell(package);
    installer::InstallPackage(shell);
    return shell.completed;
}

void RemoveOutputs(const std::vector<Entry>& entries)
{
    for (const Entry& entry : entries)
        DeleteFileW(entry.name.c_str());
    // Each run starts from a game without a backup, as a first installation does.
    installer::BackupManifest none;
    DWORD error = ERROR_SUCCESS;
    none.Save({}, error);
}

// ---- Memory --------------------------------------------------------------

// Committed private memory, the figure Windows reports as private usage. Wine
// leaves PrivateUsage at zero and does not track large allocations in its
// counters, so the address space is walked instead.
std::uint64_t CommittedPrivateBytes()
{
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (const char* address = nullptr; VirtualQuery(address, &info, sizeof info) == sizeof info;)
    {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

// Samples committed private memory every millisecond while the routine runs.
class PeakSampler
{
public:
    PeakSampler() : peak_(CommittedPrivateBytes())
    {
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &PeakSampler::Run, this, 0, nullptr);
    }
    ~PeakSampler() { Stop(); }
    std::uint64_t Stop()
    {
        if (thread_)
        {
            SetEvent(stop_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            CloseHandle(stop_);
            thread_ = nullptr;
        }
        return peak_;
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* sampler = static_cast<PeakSampler*>(self);
        do
        {
            sampler->peak_ = std::max(sampler->peak_, CommittedPrivateBytes());
        } while (WaitForSingleObject(sampler->stop_, 1) == WAIT_TIMEOUT);
        return 0;
    }

    std::uint64_t peak_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
};

// Child side: loads the package from a file, installs once, and writes how far
// private memory rose above what it was with the package loaded (in bytes).
int MeasureRoutine(const wchar_t* packagePath, const wchar_t* resultPath)
{
    Bytes package;
    if (FILE* f = _wfopen(packagePath, L"rb"))
    {
        std::fseek(f, 0, SEEK_END);
        package.resize(static_cast<std::size_t>(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        const bool read = std::fread(package.data(), 1, package.size(), f) == package.size();
        std::fclose(f);
        if (!read)
            return 2;
    }
    else
    {
        return 2;
    }
    const auto rise = [](auto&& way, std::uint64_t& bytes) {
        const std::uint64_t before = CommittedPrivateBytes();
        PeakSampler sampler;
        const bool ok = way();
        const std::uint64_t peak = sampler.Stop();
        bytes = peak - std::min(peak, before);
        return ok;
    };
    std::uint64_t inTurn = 0, routine = 0, fullBuffers = 0;
    if (!rise([&] { return Install(package, 1); }, inTurn))
        return 3;
    RemoveOutputs(Entries(package));
    if (!rise([&] { return Install(package, 0); }, routine))
        return 3;
    // The same measurement of one full-size buffer per entry shows what it catches.
    if (!rise([&] { return UncompressWhole(Entries(package)); }, fullBuffers))
        return 3;
    FILE* out = _wfopen(resultPath, L"w");
    if (!out)
        return 4;
    std::fprintf(out, "%llu %llu %llu\n", static_cast<unsigned long long>(inTurn), static_cast<unsigned long long>(routine),
                 static_cast<unsigned long long>(fullBuffers));
    std::fclose(out);
    return 0;
}

bool RunChild(const std::wstring& arguments, DWORD& exitCode)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

double MiB(double bytes)
{
    return bytes / (1024.0 * 1024.0);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wstring(argv[1]) == L"--measure-routine")
        return MeasureRoutine(argv[2], argv[3]);

    // A scratch game folder: the routine insists on the game's executable.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"installer_bench." + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    SetCurrentDirectoryW(folder.c_str());
    if (FILE* probe = _wfopen(installer::kProbeFile, L"wb"))
        std::fclose(probe);

    std::printf("building the package...\n");
    std::fflush(stdout);
    const double buildStart = NowSeconds();
    Bytes package;
    std::uint64_t outputBytes = 0;
    if (!MakePackage(package, outputBytes))
        return 1;
    const std::vector<Entry> entries = Entries(package);
    std::printf("package: %.1f MB holding %zu files, %.1f MB of output (largest %.1f MB), built in %.1f s\n",
                MiB(package.size()), entries.size(), MiB(double(outputBytes)),
                MiB(std::max_element(entries.begin(), entries.end(),
                                     [](const Entry& a, const Entry& b) {
                                         return a.uncompressedSize < b.uncompressedSize;
                                     })
                        ->uncompressedSize),
                NowSeconds() - buildStart);

    // Each way runs several times, interleaved so that no way profits from a
    // warmer cache; the median and the best run are shown, and the ratio to
    // the limit is taken from the medians.
    constexpr int kRuns = 5;
    constexpr int kWays = 4;
    const char* const kNames[kWays] = {"limit (inflate 1 MB chunks)", "inflate + fwrite", "InstallPackage, in turn",
                                       "InstallPackage, every core"};
    std::vector<double> times[kWays];
    for (int run = 0; run < kRuns; ++run)
    {
        for (int way = 0; way < kWays; ++way)
        {
            RemoveOutputs(entries);
            const double start = NowSeconds();
            const bool ok = way >= 2 ? Install(package, way == 2 ? 1 : 0) : Inflate(entries, way == 1);
            const double elapsed = NowSeconds() - start;
            if (!ok)
            {
                std::fprintf(stderr, "%s failed\n", kNames[way]);
                return 1;
            }
            times[way].push_back(elapsed);
        }
    }
    double median[kWays], best[kWays];
    for (int way = 0; way < kWays; ++way)
    {
        std::sort(times[way].begin(), times[way].end());
        median[way] = times[way][times[way].size() / 2];
        best[way] = times[way].front();
    }
    std::printf("\n%-30s %10s %10s %10s %8s\n", "way (medians, best)", "seconds", "MB/s", "best MB/s", "ratio");
    for (int way = 0; way < kWays; ++way)
    {
        std::printf("%-30s %10.3f %10.1f %10.1f %8.2f\n", kNames[way], median[way],
                    MiB(double(outputBytes)) / median[way], MiB(double(outputBytes)) / best[way],
                    median[0] / median[way]);
    }
    const double ratio = median[0] / median[3];
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    std::printf("InstallPackage (every core: %u workers of %lu cores) against the limit: %.2f (goal >= 1.00: %s)\n",
                installer::UnpackWorkerCount(), static_cast<unsigned long>(system.dwNumberOfProcessors), ratio,
                ratio >= 1.0 ? "met" : "not met");
    std::printf("every core against in turn: %.2fx\n", median[2] / median[3]);

    // Peak memory in a fresh process that holds only the package.
    RemoveOutputs(entries);
    const std::wstring packagePath = folder + L"\\bench.package", resultPath = folder + L"\\memory.txt";
    if (FILE* f = _wfopen(packagePath.c_str(), L"wb"))
    {
        std::fwrite(package.data(), 1, package.size(), f);
        std::fclose(f);
    }
    package.clear();
    package.shrink_to_fit();
    DWORD exitCode = 1;
    unsigned long long inTurn = 0, routine = 0, fullBuffers = 0;
    FILE* result = nullptr;
    if (RunChild(L"--measure-routine \"" + packagePath + L"\" \"" + resultPath + L"\"", exitCode) &&
        exitCode == 0 && (result = _wfopen(resultPath.c_str(), L"r")) != nullptr &&
        std::fscanf(result, "%llu %llu %llu", &inTurn, &routine, &fullBuffers) == 3)
    {
        std::printf("\npeak private memory beyond the package:\n"
                    "  InstallPackage, in turn        %6.1f MB\n"
                    "  InstallPackage, every core     %6.1f MB\n"
                    "  limit (full-size buffers)      %6.1f MB\n",
                    MiB(double(inTurn)), MiB(double(routine)), MiB(double(fullBuffers)));
    }
    else
    {
        std::printf("\nmeasuring the routine's memory failed (child exit code %lu)\n",
                    static_cast<unsigned long>(exitCode));
    }
    if (result)
        std::fclose(result);

    RemoveOutputs(entries);
    DeleteFileW(packagePath.c_str());
    DeleteFileW(resultPath.c_str());
    DeleteFileW(installer::kProbeFile);
    SetCurrentDirectoryW(temp);
    RemoveDirectoryW(folder.c_str());
    return 0;
}
