// The installer's own SHA-256 against published digests and against the system's
// provider, for both the SHA-instruction rounds and the plain ones, fed whole and
// in pieces that straddle the 64-byte blocks.
#include "installer/Sha256.h"

#include <bcrypt.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{

using installer::FileDigest;
using installer::Sha256;

std::string ProviderDigest(const std::vector<unsigned char>& bytes)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    EXPECT_TRUE(BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)));
    BCRYPT_HASH_HANDLE hash = nullptr;
    EXPECT_TRUE(BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)));
    EXPECT_TRUE(BCRYPT_SUCCESS(
        BCryptHashData(hash, const_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(bytes.size()), 0)));
    unsigned char value[32] = {};
    EXPECT_TRUE(BCRYPT_SUCCESS(BCryptFinishHash(hash, value, sizeof value, 0)));
    BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    std::string hex;
    for (unsigned char byte : value)
    {
        static const char kDigits[] = "0123456789abcdef";
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

// Feeds bytes in pieces of the given size (0: all at once).
FileDigest Digest(const std::vector<unsigned char>& bytes, Sha256::Engine engine, std::size_t piece)
{
    Sha256 hash(engine);
    if (piece == 0)
        piece = bytes.size() + 1;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        hash.Add(bytes.data() + at, std::min(piece, bytes.size() - at));
    return hash.Finish();
}

std::vector<Sha256::Engine> EnginesHere()
{
    std::vector<Sha256::Engine> engines{Sha256::Engine::Portable};
    if (Sha256::HasShaInstructions())
        engines.push_back(Sha256::Engine::Fastest);
    return engines;
}

std::vector<unsigned char> Bytes(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

TEST(Sha256Test, PublishedDigests)
{
    const struct
    {
        std::vector<unsigned char> message;
        const char* digest;
    } rows[] = {
        {Bytes(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {Bytes("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {Bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::vector<unsigned char>(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (Sha256::Engine engine : EnginesHere())
    {
        for (const auto& row : rows)
        {
            const FileDigest digest = Digest(row.message, engine, 0);
            EXPECT_EQ(digest.sha256, row.digest) << "engine " << static_cast<int>(engine);
            EXPECT_EQ(digest.size, row.message.size());
        }
    }
}

TEST(Sha256Test, MatchesTheSystemProviderAtEveryLengthAroundTheBlocksAndInAnyPieces)
{
    std::uint32_t seed = 12345;
    std::vector<unsigned char> bytes;
    for (std::size_t length : {1u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u, 4097u, 70001u})
    {
        bytes.resize(length);
        for (unsigned char& byte : bytes)
        {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<unsigned char>(seed >> 16);
        }
        const std::string expected = ProviderDigest(bytes);
        for (Sha256::Engine engine : EnginesHere())
        {
            for (std::size_t piece : {0u, 1u, 7u, 64u, 100u})
                EXPECT_EQ(Digest(bytes, engine, piece).sha256, expected)
                    << "length " << length << ", pieces of " << piece << ", engine " << static_cast<int>(engine);
        }
    }
}

}  // namespace
