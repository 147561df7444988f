#pragma once
// File helpers shared by the host-side build tools.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace tools
{

inline bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error)
{
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
    {
        error = "cannot open \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    unsigned char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
    {
        error = "cannot read \"" + path + "\"";
        return false;
    }
    return true;
}

// Writes to a temporary file beside the target and renames it into place, so
// that an interrupted build never leaves a half-written output that a later
// build would take as up to date.
inline bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                                std::string& error)
{
    const std::string temp = path + ".tmp" + std::to_string(static_cast<long>(getpid()));
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
    {
        error = "cannot create \"" + temp + "\": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
    {
        error = "cannot write \"" + temp + "\": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0)
    {
        error = "cannot rename \"" + temp + "\" to \"" + path + "\": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

inline bool WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                                std::string& error)
{
    return WriteFileAtomically(path, bytes.data(), bytes.size(), error);
}

}  // namespace tools
