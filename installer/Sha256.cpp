#include "installer/Sha256.h"

#include <cpuid.h>
#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace installer
{

namespace
{

constexpr std::size_t kDigestBytes = 32;
constexpr std::size_t kBlockBytes = 64;
constexpr DWORD kReadChunk = 1 << 20;

// The round constants: the first 32 bits of the fractional parts of the cube roots of the first 64 primes.
alignas(16) constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

std::uint32_t LoadBigEndian(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void StoreBigEndian(unsigned char* p, std::uint32_t value)
{
    p[0] = static_cast<unsigned char>(value >> 24);
    p[1] = static_cast<unsigned char>(value >> 16);
    p[2] = static_cast<unsigned char>(value >> 8);
    p[3] = static_cast<unsigned char>(value);
}

std::uint32_t RotateRight(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

void CompressPortable(std::uint32_t* state, const unsigned char* blocks, std::size_t count)
{
    for (; count > 0; --count, blocks += kBlockBytes)
    {
        std::uint32_t w[64];
        for (int t = 0; t < 16; ++t)
            w[t] = LoadBigEndian(blocks + 4 * t);
        for (int t = 16; t < 64; ++t)
        {
            const std::uint32_t s0 = RotateRight(w[t - 15], 7) ^ RotateRight(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const std::uint32_t s1 = RotateRight(w[t - 2], 17) ^ RotateRight(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; ++t)
        {
            const std::uint32_t s1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
            const std::uint32_t choose = (e & f) ^ (~e & g);
            const std::uint32_t t1 = h + s1 + choose + kRound[t] + w[t];
            const std::uint32_t s0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
            const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + s0 + majority;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

// The instructions keep the state as two halves, A B E F and C D G H, and do two rounds per
// call; the message schedule comes four words at a time from the two message instructions.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithShaInstructions(std::uint32_t* state,
                                                                              const unsigned char* blocks,
                                                                              std::size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += kBlockBytes)
    {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i w[4];  // the last sixteen schedule words, four to a register, oldest first
        for (int group = 0; group < 16; ++group)
        {
            __m128i words;
            if (group < 4)
            {
                words = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * group)), byteSwap);
            }
            else
            {
                const __m128i& w16 = w[group % 4];        // words t-16 .. t-13
                const __m128i& w12 = w[(group + 1) % 4];  // t-12 .. t-9
                const __m128i& w8 = w[(group + 2) % 4];   // t-8 .. t-5
                const __m128i& w4 = w[(group + 3) % 4];   // t-4 .. t-1
                words = _mm_add_epi32(_mm_sha256msg1_epu32(w16, w12), _mm_alignr_epi8(w4, w8, 4));
                words = _mm_sha256msg2_epu32(words, w4);
            }
            w[group % 4] = words;
            __m128i message =
                _mm_add_epi32(words, _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            message = _mm_shuffle_epi32(message, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), hgfe);
}

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

Sha256::Sha256(Engine engine)
    : compress_(engine == Engine::Fastest && HasShaInstructions() ? CompressWithShaInstructions : CompressPortable),
      state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19}
{
}

bool Sha256::HasShaInstructions()
{
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d))
            return false;
        const bool ssse3 = (c & bit_SSSE3) != 0, sse41 = (c & bit_SSE4_1) != 0;
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
            return false;
        return ssse3 && sse41 && (b & bit_SHA) != 0;
    }();
    return has;
}

void Sha256::Add(const void* data, std::size_t size)
{
    size_ += size;
    auto* bytes = static_cast<const unsigned char*>(data);
    if (pendingBytes_ > 0)
    {
        const std::size_t take = std::min(size, kBlockBytes - pendingBytes_);
        std::memcpy(pending_ + pendingBytes_, bytes, take);
        pendingBytes_ += take;
        bytes += take;
        size -= take;
        if (pendingBytes_ < kBlockBytes)
            return;
        compress_(state_, pending_, 1);
        pendingBytes_ = 0;
    }
    const std::size_t whole = size / kBlockBytes;
    if (whole > 0)
        compress_(state_, bytes, whole);
    bytes += whole * kBlockBytes;
    size -= whole * kBlockBytes;
    std::memcpy(pending_, bytes, size);
    pendingBytes_ = size;
}

FileDigest Sha256::Finish()
{
    // The message ends with a one bit, zeros up to 8 bytes short of a block, and its length in bits.
    const std::uint64_t bits = size_ * 8;
    unsigned char tail[2 * kBlockBytes] = {};
    std::memcpy(tail, pending_, pendingBytes_);
    tail[pendingBytes_] = 0x80;
    const std::size_t tailBytes = pendingBytes_ + 1 + 8 <= kBlockBytes ? kBlockBytes : 2 * kBlockBytes;
    for (int i = 0; i < 8; ++i)
        tail[tailBytes - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    compress_(state_, tail, tailBytes / kBlockBytes);

    unsigned char value[kDigestBytes];
    for (int i = 0; i < 8; ++i)
        StoreBigEndian(value + 4 * i, state_[i]);
    FileDigest digest;
    digest.size = size_;
    digest.sha256 = ToHex(value, kDigestBytes);
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
