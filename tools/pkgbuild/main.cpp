// pkgbuild: builds the installation package from a list file or a folder.
//   pkgbuild -o OUT (--dir DIR | --list LISTFILE) [--emit-list LISTFILE]
// A list file holds one "entry name<TAB>source path" per line in UTF-8; source
// paths are relative to the list file's folder. --emit-list writes the entries
// actually packed, in order, with absolute source paths, so that tests can
// compare an installation with its sources whatever way the package was made.

#include "tools/common/Files.h"
#include "tools/pkgbuild/PackageWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct Input
{
    std::string name;  // UTF-8
    fs::path source;
    std::string origin;  // where the entry was named, for messages
};

int Fail(const std::string& message)
{
    std::fprintf(stderr, "pkgbuild: %s\n", message.c_str());
    return 1;
}

bool ReadList(const std::string& listPath, std::vector<Input>& inputs, std::string& error)
{
    std::vector<unsigned char> bytes;
    if (!tools::ReadWholeFile(listPath, bytes, error))
        return false;
    std::string text(bytes.begin(), bytes.end());
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const fs::path base = fs::absolute(fs::path(listPath)).parent_path();
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size())
    {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const std::string where = listPath + ":" + std::to_string(lineNumber) + ": ";
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab + 1 == line.size())
        {
            error = where + "expected \"entry name<TAB>source path\"";
            return false;
        }
        fs::path source = fs::u8path(line.substr(tab + 1));
        inputs.push_back({line.substr(0, tab), source.is_absolute() ? source : base / source, where});
    }
    return true;
}

bool ScanFolder(const std::string& dir, std::vector<Input>& inputs, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
    {
        error = "\"" + dir + "\" is not a folder";
        return false;
    }
    const fs::path root = fs::absolute(fs::path(dir));
    fs::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec))
    {
        if (it->is_directory(ec))
            continue;
        const fs::path relative = it->path().lexically_relative(root);
        if (!it->is_regular_file(ec))
        {
            error = "\"" + it->path().string() + "\" is not a regular file";
            return false;
        }
        std::string name = relative.generic_u8string();
        std::replace(name.begin(), name.end(), '/', '\\');
        inputs.push_back({name, it->path(), ""});
    }
    if (ec)
    {
        error = "cannot list \"" + dir + "\": " + ec.message();
        return false;
    }
    // Directory listing order depends on the file system; code point order does not.
    std::sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) { return a.name < b.name; });
    return true;
}

bool WriteList(const std::string& path, const std::vector<Input>& inputs, std::string& error)
{
    std::string text;
    for (const Input& input : inputs)
        text += input.name + "\t" + fs::absolute(input.source).u8string() + "\n";
    return tools::WriteFileAtomically(path, text.data(), text.size(), error);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out, dir, list, emitList;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        std::string* target = arg == "-o"            ? &out
                              : arg == "--dir"       ? &dir
                              : arg == "--list"      ? &list
                              : arg == "--emit-list" ? &emitList
                                                     : nullptr;
        if (!target || i + 1 >= argc)
        {
            return Fail("usage: pkgbuild -o OUT (--dir DIR | --list LISTFILE) [--emit-list LISTFILE]");
        }
        *target = argv[++i];
    }
    if (out.empty() || dir.empty() == list.empty())
    {
        return Fail("usage: pkgbuild -o OUT (--dir DIR | --list LISTFILE) [--emit-list LISTFILE]");
    }

    std::string error;
    std::vector<Input> inputs;
    if (!(list.empty() ? ScanFolder(dir, inputs, error) : ReadList(list, inputs, error)))
        return Fail(error);

    std::vector<package::SourceEntry> entries;
    entries.reserve(inputs.size());
    for (const Input& input : inputs)
    {
        package::SourceEntry entry;
        if (!package::FromUtf8(input.name, entry.name))
        {
            return Fail(input.origin + "entry name \"" + input.name + "\" is not valid UTF-8");
        }
        // Names are checked before any source is read, so a bad list fails at once.
        if (!package::ValidateEntryName(entry.name, error))
            return Fail(input.origin + error);
        entries.push_back(std::move(entry));
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
    {
        if (!tools::ReadWholeFile(inputs[i].source.string(), entries[i].bytes, error))
        {
            return Fail("entry \"" + inputs[i].name + "\": " + error);
        }
    }

    std::vector<unsigned char> package;
    if (!package::BuildPackage(entries, package, error))
        return Fail(error);
    if (!tools::WriteFileAtomically(out, package, error))
        return Fail(error);
    if (!emitList.empty() && !WriteList(emitList, inputs, error))
        return Fail(error);
    return 0;
}
