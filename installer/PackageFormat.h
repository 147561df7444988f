#pragma once
// Byte layout of the installation package carried as resource "INSTALL"/130.
// Shared by the reader in the installer and the host-side package builder, so
// this header depends on nothing but the C++ standard library.
//
//   header  (20 bytes)   signature[16], entryCount
//   table   (N x 92)     name[80] (UTF-16LE, NUL-terminated), dataOffset,
//                        uncompressedSize, compressedSize
//   data                 one zlib stream per entry, at 20 + N*92 + dataOffset
//
// All integers are unsigned 32-bit little-endian.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace package
{

constexpr std::size_t kSignatureSize = 16;
constexpr unsigned char kSignature[kSignatureSize] = {'S', 'e', 't', 'u', 'p',  'P',  'a',  'c',
                                                      'k', 'a', 'g', 'e', 0x00, 0x00, 0x01, 0x00};

constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kEntryCountOffset = 16;
constexpr std::size_t kEntrySize = 92;
constexpr std::size_t kNameBytes = 80;
constexpr std::size_t kNameUnits = kNameBytes / 2;     // including the terminating NUL
constexpr std::size_t kMaxNameUnits = kNameUnits - 1;  // 39 code units of text
constexpr std::size_t kDataOffsetField = 80;
constexpr std::size_t kUncompressedSizeField = 84;
constexpr std::size_t kCompressedSizeField = 88;

inline std::uint32_t ReadU32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline void WriteU32(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline bool HasSignature(const unsigned char* bytes)
{
    return std::memcmp(bytes, kSignature, kSignatureSize) == 0;
}

// Offset of the data area, computed in 64 bits so that a hostile count cannot wrap.
inline std::uint64_t DataAreaOffset(std::uint32_t entryCount)
{
    return kHeaderSize + std::uint64_t(entryCount) * kEntrySize;
}

inline std::uint64_t EntryOffset(std::uint32_t index)
{
    return kHeaderSize + std::uint64_t(index) * kEntrySize;
}

}  // namespace package
