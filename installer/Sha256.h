#pragma once
// SHA-256 of our own, for telling the files we installed from the originals and
// from files changed since. Every byte the installer writes is hashed, so the
// hash must keep up with inflating: where the processor has the SHA instructions
// they do the rounds, otherwise plain code does.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace installer
{

// What a file held: its length and the lower-case hex SHA-256 of its bytes.
struct FileDigest
{
    std::uint64_t size = 0;
    std::string sha256;

    bool operator==(const FileDigest& other) const { return size == other.size && sha256 == other.sha256; }
    bool operator!=(const FileDigest& other) const { return !(*this == other); }
};

class Sha256
{
public:
    // Which code does the rounds; tests pin each one against the system's provider.
    enum class Engine
    {
        Fastest,   // the SHA instructions where the processor has them, plain code otherwise
        Portable,  // plain code on any processor
    };

    explicit Sha256(Engine engine = Engine::Fastest);
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // Whether this processor has the SHA instructions (and the SSE levels they come with).
    static bool HasShaInstructions();

    // Always true: kept for callers written when the hash came from a provider that could be missing.
    bool IsReady() const { return true; }
    void Add(const void* data, std::size_t size);
    // The digest of everything added; the object is spent afterwards.
    FileDigest Finish();

private:
    using BlockFunction = void (*)(std::uint32_t* state, const unsigned char* blocks, std::size_t count);

    BlockFunction compress_;
    std::uint32_t state_[8];
    unsigned char pending_[64];
    std::size_t pendingBytes_ = 0;
    std::uint64_t size_ = 0;
};

// Digest of the file at path; false when it cannot be read whole.
bool DigestFile(const std::wstring& path, FileDigest& digest);

}  // namespace installer
