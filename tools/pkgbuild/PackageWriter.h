#pragma once
// Builds the installation package from named files. Shared by the host-side
// pkgbuild tool and by the cross-compiled tests and benchmarks, so it uses
// nothing but the C++ standard library and zlib.

#include <string>
#include <vector>

namespace package
{

struct SourceEntry
{
    std::u16string name;               // relative Windows path, backslash-separated
    std::vector<unsigned char> bytes;  // file content
};

// Accepts only plain relative Windows paths that the installer can create
// without surprises. On refusal, error names the entry and says why.
bool ValidateEntryName(const std::u16string& name, std::string& error);

// Lays out header, table and one zlib stream per entry (default level) in
// table order without gaps. Every stream is inflated again and compared with
// its source before the package is accepted. The same entries always give the
// same bytes. On failure, package is left empty and error names the entry.
bool BuildPackage(const std::vector<SourceEntry>& entries, std::vector<unsigned char>& package,
                  std::string& error);

// UTF-16 to UTF-8 for messages and lists; unpaired surrogates become U+FFFD.
std::string ToUtf8(const std::u16string& text);

// UTF-8 to UTF-16; false on malformed input (overlong forms, surrogates, truncation).
bool FromUtf8(const std::string& text, std::u16string& result);

}  // namespace package
