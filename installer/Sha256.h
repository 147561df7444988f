#pragma once
// SHA-256 through the system's cryptography provider, for telling the files we
// installed from the originals and from files changed since.

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
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False when the provider is not available; Add and Finish then give an empty digest.
    bool IsReady() const { return hash_ != nullptr; }
    void Add(const void* data, std::size_t size);
    // The digest of everything added; the object is spent afterwards.
    FileDigest Finish();

private:
    void* algorithm_ = nullptr;
    void* hash_ = nullptr;
    std::uint64_t size_ = 0;
};

// Digest of the file at path; false when it cannot be read whole.
bool DigestFile(const std::wstring& path, FileDigest& digest);

}  // namespace installer
