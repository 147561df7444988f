#include "installer/Sha256.h"

#include <bcrypt.h>

#include <memory>

namespace installer
{

namespace
{

constexpr std::size_t kDigestBytes = 32;
constexpr DWORD kReadChunk = 1 << 20;

std::string ToHex(const unsigned char* bytes, std::size_t count)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i)
    {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 15]);
    }
    return text;
}

// Closes a file handle at the end of a scope.
class FileHandle
{
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

Sha256::Sha256()
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return;
    algorithm_ = algorithm;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)))
        hash_ = hash;
}

Sha256::~Sha256()
{
    if (hash_ != nullptr)
        BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(hash_));
    if (algorithm_ != nullptr)
        BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(algorithm_), 0);
}

void Sha256::Add(const void* data, std::size_t size)
{
    size_ += size;
    auto* bytes = static_cast<const unsigned char*>(data);
    while (hash_ != nullptr && size > 0)
    {
        const ULONG part = size > kReadChunk ? kReadChunk : static_cast<ULONG>(size);
        BCryptHashData(static_cast<BCRYPT_HASH_HANDLE>(hash_), const_cast<PUCHAR>(bytes), part, 0);
        bytes += part;
        size -= part;
    }
}

FileDigest Sha256::Finish()
{
    FileDigest digest;
    digest.size = size_;
    if (hash_ == nullptr)
        return digest;
    unsigned char value[kDigestBytes];
    if (BCRYPT_SUCCESS(BCryptFinishHash(static_cast<BCRYPT_HASH_HANDLE>(hash_), value, kDigestBytes, 0)))
        digest.sha256 = ToHex(value, kDigestBytes);
    BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(hash_));
    hash_ = nullptr;
    return digest;
}

bool DigestFile(const std::wstring& path, FileDigest& digest)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE)
        return false;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadChunk]);
    Sha256 hash;
    if (!hash.IsReady())
        return false;
    for (;;)
    {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.get(), kReadChunk, &got, nullptr))
            return false;
        if (got == 0)
            break;
        hash.Add(buffer.get(), got);
    }
    digest = hash.Finish();
    return !digest.sha256.empty();
}

}  // namespace installer
