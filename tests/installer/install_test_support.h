#pragma once
// Shared by the installation and backup tests: a shell that records what the
// user is told, packages built to order (broken ones too), and a temporary
// folder that is the current directory for one case.

#include "installer/Install.h"
#include "installer/PackageFormat.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace installtest
{

using installer::PackageLookup;

inline std::string Narrow(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

// Records every call in order as one readable line.
class RecordingShell : public installer::IInstallShell
{
public:
    std::vector<unsigned char> package;
    PackageLookup lookup = PackageLookup::Loaded;
    bool processStarts = true;
    std::vector<std::string> log;

    PackageLookup LoadPackage(const unsigned char*& bytes, std::size_t& length) override
    {
        log.push_back("load");
        bytes = package.data();
        length = package.size();
        return lookup;
    }
    void ReleasePackage() override { log.push_back("release"); }
    void SetTitle(const wchar_t* title) override { log.push_back("title " + Narrow(title)); }
    void ShowMessage(const wchar_t* text, const wchar_t* caption, unsigned icon) override
    {
        std::ostringstream line;
        line << "box " << Narrow(caption) << " | " << Narrow(text) << " | " << icon;
        log.push_back(line.str());
    }
    bool StartProcess(wchar_t* commandLine) override
    {
        log.push_back("start " + Narrow(commandLine));
        return processStarts;
    }
    bool AskYesNo(const wchar_t* text, const wchar_t* caption, unsigned icon) override
    {
        std::ostringstream line;
        line << "ask " << Narrow(caption) << " | " << Narrow(text) << " | " << icon;
        log.push_back(line.str());
        return answerYes;
    }
    bool RestartElevated() override
    {
        log.push_back("elevate");
        return true;
    }
    void SetProgress(std::uint32_t done, std::uint32_t count) override
    {
        progress.push_back(std::to_string(done) + "/" + std::to_string(count));
    }
    bool answerYes = false;
    std::vector<std::string> progress;  // kept apart from the log: not something the user is told
};

inline const std::string kFixedTitle = "title 【Lumora】Tessaly 简体中文化补丁v1.0 安装程序";
inline const std::string kDone = "box 安装程序 | 安装完成 | 64";
inline const std::string kNotes = "start notepad.exe 汉化说明.txt";
inline std::string Error(int code)
{
    return "box 安装程序 | 内部错误\n错误代码: [0x0000000" + std::to_string(code) + "] | 16";
}
// The box of an entry that failed once the files already replaced were put back; why: the line
// that names the folder or file that could not be written and the reason (errors 5 and 6).
inline std::string ErrorUndone(int code, const std::string& why = "")
{
    return "box 安装程序 | 内部错误\n错误代码: [0x0000000" + std::to_string(code) + "]" +
           (why.empty() ? "" : "\n" + why) + "\n\n游戏文件未被改动：已替换的文件均已恢复原状。 | 16";
}

// A package entry as the test wants it laid out, including deliberately broken ones.
struct TestEntry
{
    std::wstring name;
    std::string content;
    long storedSizeDelta = 0;          // added to the real uncompressed size
    bool garbageStream = false;        // bytes that are not a zlib stream
    bool unterminatedName = false;     // 40 units of name, no NUL
    std::uint32_t offsetOverride = 0;  // non-zero: dataOffset to store instead
};

inline std::vector<unsigned char> Compress(const std::string& content)
{
    uLongf size = compressBound(content.size());
    std::vector<unsigned char> out(size);
    compress(out.data(), &size, reinterpret_cast<const Bytef*>(content.data()), content.size());
    out.resize(size);
    return out;
}

inline std::vector<unsigned char> MakePackage(const std::vector<TestEntry>& entries)
{
    std::vector<unsigned char> table(package::kHeaderSize + entries.size() * package::kEntrySize);
    std::vector<unsigned char> data;
    std::copy(package::kSignature, package::kSignature + package::kSignatureSize, table.begin());
    package::WriteU32(&table[package::kEntryCountOffset], static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i)
    {
        const TestEntry& e = entries[i];
        unsigned char* record = &table[package::EntryOffset(static_cast<std::uint32_t>(i))];
        for (std::size_t u = 0; u < e.name.size() && u < package::kNameUnits; ++u)
        {
            record[2 * u] = static_cast<unsigned char>(e.name[u]);
            record[2 * u + 1] = static_cast<unsigned char>(e.name[u] >> 8);
        }
        if (e.unterminatedName)
            for (std::size_t u = 0; u < package::kNameBytes; u += 2)
                record[u] = record[u] ? record[u] : 'x';
        std::vector<unsigned char> stream =
            e.garbageStream ? std::vector<unsigned char>(e.content.begin(), e.content.end())
                            : Compress(e.content);
        package::WriteU32(record + package::kDataOffsetField,
                          e.offsetOverride ? e.offsetOverride : static_cast<std::uint32_t>(data.size()));
        package::WriteU32(record + package::kUncompressedSizeField,
                          static_cast<std::uint32_t>(long(e.content.size()) + e.storedSizeDelta));
        package::WriteU32(record + package::kCompressedSizeField, static_cast<std::uint32_t>(stream.size()));
        data.insert(data.end(), stream.begin(), stream.end());
    }
    table.insert(table.end(), data.begin(), data.end());
    return table;
}

// A fresh folder that is the current directory for one case and is removed with what was written into it.
class TempFolder
{
public:
    TempFolder() : folder_(L"install_test_")
    {
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(folder_.Path().c_str());
    }
    ~TempFolder() { SetCurrentDirectoryW(previous_); }

private:
    CTempFolder folder_;
    wchar_t previous_[MAX_PATH];
};

inline bool ReadFile(const std::wstring& name, std::string& content)
{
    std::ifstream in(name.c_str(), std::ios::binary);
    if (!in)
        return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

inline void WriteFile(const std::wstring& name, const std::string& content)
{
    std::ofstream(name.c_str(), std::ios::binary) << content;
}

inline bool IsDirectory(const std::wstring& name)
{
    DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Every file in the folder but the probe, so that stray temporary files show up too.
inline std::vector<std::wstring> ListFiles()
{
    std::vector<std::wstring> names = ListFolder(L".", true);
    names.erase(std::remove(names.begin(), names.end(), L"tessaly.exe"), names.end());
    return names;
}

inline std::string Repeat(const std::string& unit, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += unit;
    return out;
}

}  // namespace installtest
