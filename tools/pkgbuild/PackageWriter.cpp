#include "tools/pkgbuild/PackageWriter.h"

#include "installer/PackageFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace package
{
namespace
{

constexpr std::size_t kChunk = 256 * 1024;

std::string Quoted(const std::u16string& name)
{
    return "entry \"" + ToUtf8(name) + "\"";
}

bool Refuse(const std::u16string& name, const char* reason, std::string& error)
{
    error = Quoted(name) + ": " + reason;
    return false;
}

// Characters Windows never allows in a file name. The backslash is the
// separator and is handled apart; a slash would be a second separator that the
// installer does not create directories for.
bool IsReservedUnit(char16_t c)
{
    return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'/' || c == u'|' ||
           c == u'?' || c == u'*';
}

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Simple case folding for the ranges where the file system's case-insensitive
// comparison matters for names a patch could carry: ASCII, Latin-1, Greek,
// Cyrillic and the full-width Latin letters.
char16_t FoldCase(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return c - 0x20;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if (c >= 0xFF41 && c <= 0xFF5A)
        return c - 0x20;
    return c;
}

std::u16string Folded(const std::u16string& s)
{
    std::u16string out(s);
    for (char16_t& c : out)
        c = FoldCase(c);
    return out;
}

// Device names are reserved in every directory and with any extension
// ("nul.txt" still names the device).
bool IsDeviceName(const std::u16string& component)
{
    std::u16string base = component.substr(0, component.find(u'.'));
    while (!base.empty() && base.back() == u' ')
        base.pop_back();
    base = Folded(base);
    static const char16_t* const kPlain[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    for (const char16_t* device : kPlain)
    {
        if (base == device)
            return true;
    }
    if (base.size() == 4 && (base.compare(0, 3, u"COM") == 0 || base.compare(0, 3, u"LPT") == 0))
    {
        char16_t d = base[3];
        return (d >= u'0' && d <= u'9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
    }
    return false;
}

bool ValidateComponent(const std::u16string& name, const std::u16string& component, std::string& error)
{
    if (component.empty())
        return Refuse(name, "has an empty path part (leading, trailing or doubled backslash)", error);
    if (component == u"." || component == u"..")
        return Refuse(name, "has a \".\" or \"..\" path part", error);
    if (component.back() == u'.' || component.back() == u' ')
        return Refuse(name, "has a path part ending in a dot or blank, which Windows drops", error);
    if (IsDeviceName(component))
        return Refuse(name, "uses a reserved device name", error);
    return true;
}

// Appends one zlib stream of the default level, exactly what compress() makes.
bool Deflate(const std::vector<unsigned char>& source, std::vector<unsigned char>& out)
{
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        return false;
    std::vector<unsigned char> buffer(kChunk);
    std::size_t remaining = source.size();
    z.next_in = const_cast<Bytef*>(source.data());
    int status = Z_OK;
    while (status == Z_OK)
    {
        if (z.avail_in == 0 && remaining > 0)
        {
            uInt step = static_cast<uInt>(std::min<std::size_t>(remaining, std::numeric_limits<uInt>::max()));
            z.avail_in = step;
            remaining -= step;
        }
        z.next_out = buffer.data();
        z.avail_out = kChunk;
        status = deflate(&z, remaining == 0 ? Z_FINISH : Z_NO_FLUSH);
        out.insert(out.end(), buffer.begin(), buffer.begin() + (kChunk - z.avail_out));
    }
    deflateEnd(&z);
    return status == Z_STREAM_END;
}

// Inflates the stream again and compares it piecewise with the source, so a
// fault in compression can never reach a user's game folder.
bool Verify(const unsigned char* stream, std::size_t length, const std::vector<unsigned char>& source)
{
    if (length < 2 || stream[0] != 0x78 || stream[1] != 0x9C)
        return false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    std::vector<unsigned char> buffer(kChunk);
    z.next_in = const_cast<Bytef*>(stream);
    z.avail_in = static_cast<uInt>(length);
    std::size_t produced = 0;
    int status = Z_OK;
    bool same = true;
    while (status == Z_OK && same)
    {
        z.next_out = buffer.data();
        z.avail_out = kChunk;
        status = inflate(&z, Z_NO_FLUSH);
        std::size_t n = kChunk - z.avail_out;
        same = produced + n <= source.size() &&
               std::equal(buffer.begin(), buffer.begin() + n, source.begin() + produced);
        produced += n;
    }
    bool whole = status == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return same && whole && produced == source.size();
}

void WriteName(unsigned char* field, const std::u16string& name)
{
    std::fill(field, field + kNameBytes, 0);
    for (std::size_t i = 0; i < name.size(); ++i)
    {
        field[2 * i] = static_cast<unsigned char>(name[i]);
        field[2 * i + 1] = static_cast<unsigned char>(name[i] >> 8);
    }
}

}  // namespace

bool ValidateEntryName(const std::u16string& name, std::string& error)
{
    if (name.empty())
        return Refuse(name, "is empty", error);
    if (name.size() > kMaxNameUnits)
        return Refuse(name, "is longer than 39 UTF-16 code units", error);
    for (std::size_t i = 0; i < name.size(); ++i)
    {
        char16_t c = name[i];
        if (IsReservedUnit(c))
        {
            if (c == u':')
                return Refuse(name, "has a drive or a colon; names are relative paths", error);
            return Refuse(name, "has a character Windows does not allow in file names", error);
        }
        if (IsHighSurrogate(c) && i + 1 < name.size() && IsLowSurrogate(name[i + 1]))
        {
            ++i;
        }
        else if (IsHighSurrogate(c) || IsLowSurrogate(c))
        {
            return Refuse(name, "has an unpaired UTF-16 surrogate", error);
        }
    }
    if (name[0] == u'\\')
        return Refuse(name, "is absolute; names are relative paths", error);
    std::size_t start = 0;
    for (;;)
    {
        std::size_t end = name.find(u'\\', start);
        if (!ValidateComponent(name, name.substr(start, end - start), error))
            return false;
        if (end == std::u16string::npos)
            break;
        start = end + 1;
    }
    return true;
}

bool BuildPackage(const std::vector<SourceEntry>& entries, std::vector<unsigned char>& package,
                  std::string& error)
{
    package.clear();
    error.clear();
    if (entries.size() > std::numeric_limits<std::uint32_t>::max() / kEntrySize)
    {
        error = "too many entries";
        return false;
    }

    // 1. Names: each must be plain, and no two may meet on disk: not equal
    //    ignoring case, and no file where another entry needs a directory.
    std::vector<std::u16string> folded;
    folded.reserve(entries.size());
    for (const SourceEntry& entry : entries)
    {
        if (!ValidateEntryName(entry.name, error))
            return false;
        if (entry.bytes.size() > std::numeric_limits<std::uint32_t>::max())
            return Refuse(entry.name, "is larger than 4 GB", error);
        std::u16string key = Folded(entry.name);
        for (std::size_t j = 0; j < folded.size(); ++j)
        {
            const std::u16string& other = folded[j];
            if (key == other)
            {
                return Refuse(entry.name, ("equals " + Quoted(entries[j].name) + " ignoring case").c_str(),
                              error);
            }
            const std::u16string& shorter = key.size() < other.size() ? key : other;
            const std::u16string& longer = key.size() < other.size() ? other : key;
            if (longer.compare(0, shorter.size(), shorter) == 0 && longer[shorter.size()] == u'\\')
            {
                return Refuse(
                    entry.name,
                    ("and " + Quoted(entries[j].name) + " need the same path as a file and a directory")
                        .c_str(),
                    error);
            }
        }
        folded.push_back(std::move(key));
    }

    // 2. Header and a zeroed table; the table is filled as the streams land.
    const std::uint32_t count = static_cast<std::uint32_t>(entries.size());
    const std::size_t dataStart = static_cast<std::size_t>(DataAreaOffset(count));
    package.assign(dataStart, 0);
    std::copy(kSignature, kSignature + kSignatureSize, package.begin());
    WriteU32(&package[kEntryCountOffset], count);

    // 3. Streams in table order, each directly after the previous one.
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const SourceEntry& entry = entries[i];
        const std::size_t streamStart = package.size();
        if (!Deflate(entry.bytes, package))
        {
            package.clear();
            return Refuse(entry.name, "could not be compressed", error);
        }
        const std::uint64_t dataOffset = streamStart - dataStart;
        const std::uint64_t streamSize = package.size() - streamStart;
        if (dataOffset + streamSize > std::numeric_limits<std::uint32_t>::max())
        {
            package.clear();
            return Refuse(entry.name, "ends beyond 4 GB of compressed data", error);
        }
        if (!Verify(&package[streamStart], streamSize, entry.bytes))
        {
            package.clear();
            return Refuse(entry.name, "did not inflate back to its content", error);
        }
        unsigned char* record = &package[static_cast<std::size_t>(EntryOffset(i))];
        WriteName(record, entry.name);
        WriteU32(record + kDataOffsetField, static_cast<std::uint32_t>(dataOffset));
        WriteU32(record + kUncompressedSizeField, static_cast<std::uint32_t>(entry.bytes.size()));
        WriteU32(record + kCompressedSizeField, static_cast<std::uint32_t>(streamSize));
    }
    return true;
}

std::string ToUtf8(const std::u16string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        std::uint32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]))
        {
            c = 0xFFFD;
        }
        if (c < 0x80)
        {
            out += static_cast<char>(c);
        }
        else if (c < 0x800)
        {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        else if (c < 0x10000)
        {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        else
        {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool FromUtf8(const std::string& text, std::u16string& result)
{
    result.clear();
    std::size_t i = 0;
    while (i < text.size())
    {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length;
        std::uint32_t c;
        if (lead < 0x80)
        {
            length = 1;
            c = lead;
        }
        else if (lead >= 0xC2 && lead <= 0xDF)
        {
            length = 2;
            c = lead & 0x1F;
        }
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            length = 3;
            c = lead & 0x0F;
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            length = 4;
            c = lead & 0x07;
        }
        else
            return false;
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
        {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
        if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c >= 0x10000)
        {
            c -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (c >> 10));
            result += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
        else
        {
            result += static_cast<char16_t>(c);
        }
        i += length;
    }
    return true;
}

}  // namespace package
