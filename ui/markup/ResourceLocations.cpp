#include "ui/markup/ResourceLocations.h"

#include "ui/markup/XmlMarkup.h"
#include "ui/markup/ZipArchive.h"

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace
{

struct TSkinSettings
{
    HINSTANCE instance = nullptr;
    CUIString resourcePath;
    CUIString resourceZip;
    bool keepZipOpen = true;
    CZipArchive* openZip = nullptr;
};

TSkinSettings& Settings()
{
    static TSkinSettings settings;
    return settings;
}

// Why a fetch found nothing; the XML client turns it into its message.
enum class TFetchFailure
{
    None,
    OpenFile,
    Empty,
    TooLarge,
    ReadFile,
    OpenZip,
    NotInZip,
    Unzip,
};

LPCWSTR MessageOf(TFetchFailure failure)
{
    switch (failure)
    {
    case TFetchFailure::None:
        return L"";
    case TFetchFailure::OpenFile:
        return L"Error opening file";
    case TFetchFailure::Empty:
        return L"File is empty";
    case TFetchFailure::TooLarge:
        return L"File too large";
    case TFetchFailure::ReadFile:
        return L"Could not read file";
    case TFetchFailure::OpenZip:
        return L"Error opening zip file";
    case TFetchFailure::NotInZip:
        return L"Could not find ziped file";
    case TFetchFailure::Unzip:
        return L"Could not unzip file";
    }
    return L"";
}

class CFileHandle
{
public:
    explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
    ~CFileHandle()
    {
        if (IsOpen())
            CloseHandle(m_handle);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// The whole file in one read into a buffer of exactly its size.
TFetchFailure ReadWholeFile(LPCWSTR path, DWORD limit, CSkinData& data)
{
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return TFetchFailure::OpenFile;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size))
        return TFetchFailure::ReadFile;
    if (size.QuadPart == 0)
        return TFetchFailure::Empty;
    if (uint64_t(size.QuadPart) > limit)
        return TFetchFailure::TooLarge;
    const DWORD count = DWORD(size.QuadPart);
    BYTE* buffer = static_cast<BYTE*>(malloc(count));
    if (!buffer)
        return TFetchFailure::ReadFile;
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, count, &got, nullptr) || got != count)
    {
        free(buffer);
        return TFetchFailure::ReadFile;
    }
    data.Adopt(buffer, count);
    return TFetchFailure::None;
}

TFetchFailure ReadZipEntry(CZipArchive* archive, LPCWSTR name, DWORD limit, CSkinData& data)
{
    int index = -1;
    TZipEntry entry = {};
    if (CZipArchive::FindEntry(archive, name, true, &index, &entry) != ZipOk)
        return TFetchFailure::NotInZip;
    if (entry.uncompressedSize == 0)
        return TFetchFailure::Empty;
    if (entry.uncompressedSize > limit)
        return TFetchFailure::TooLarge;
    // The size comes from the archive: one its compressed bytes cannot reach
    // is damage, not a reason to allocate gigabytes.
    if (!CZipArchive::IsPlausibleSize(entry))
        return TFetchFailure::Unzip;
    BYTE* buffer = static_cast<BYTE*>(malloc(entry.uncompressedSize));
    if (!buffer)
        return TFetchFailure::Unzip;
    const TZipResult result =
        CZipArchive::Extract(archive, index, buffer, entry.uncompressedSize, ZipSourceMemory);
    if (result != ZipOk && result != ZipMore)
    {
        free(buffer);
        return TFetchFailure::Unzip;
    }
    data.Adopt(buffer, entry.uncompressedSize);
    return TFetchFailure::None;
}

// The skin directory, or the skin archive when one is named; never both.
TFetchFailure ReadFromSkinLocation(LPCWSTR name, DWORD limit, CSkinData& data)
{
    if (IS_INTRESOURCE(name))
        return TFetchFailure::OpenFile;
    TSkinSettings& s = Settings();
    if (s.resourceZip.IsEmpty())
    {
        const CUIString path = s.resourcePath + name;
        return ReadWholeFile(path, limit, data);
    }
    CZipArchive* archive = s.openZip;
    const bool openedHere = !s.keepZipOpen;
    if (openedHere)
    {
        const CUIString path = s.resourcePath + s.resourceZip;
        archive = CZipArchive::Open(path.GetData(), 0, ZipSourceFileName);
    }
    if (!archive)
        return TFetchFailure::OpenZip;
    const TFetchFailure failure = ReadZipEntry(archive, name, limit, data);
    if (openedHere)
        CZipArchive::Close(archive);
    return failure;
}

bool ReadResource(LPCWSTR name, LPCWSTR type, CSkinData& data)
{
    HINSTANCE module = CResourceLocations::GetResourceModule();
    HRSRC resource = FindResourceW(module, name, type);
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return false;
    BYTE* buffer = static_cast<BYTE*>(malloc(size));
    if (!buffer)
        return false;
    memcpy(buffer, bytes, size);
    data.Adopt(buffer, size);
    return true;
}

bool ReadPlainPath(LPCWSTR name, CSkinData& data)
{
    if (IS_INTRESOURCE(name))
        return false;
    return ReadWholeFile(name, MAXDWORD, data) == TFetchFailure::None;
}

bool IsColorType(LPCWSTR type)
{
    return !IS_INTRESOURCE(type) && wcscmp(type, L"*COLOR*") == 0;
}

}  // namespace

// --- settings ------------------------------------------------------------------

void CResourceLocations::SetInstance(HINSTANCE instance)
{
    Settings().instance = instance;
}

HINSTANCE CResourceLocations::GetInstance()
{
    return Settings().instance;
}

CUIString CResourceLocations::GetInstancePath()
{
    if (!Settings().instance)
        return CUIString();
    // A program may lie deeper than MAX_PATH: the buffer grows until the name fits (up to the
    // longest path there is), rather than cutting the folder short.
    constexpr DWORD kLongestPath = 32768;
    std::vector<WCHAR> path(MAX_PATH + 1);
    for (;;)
    {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(Settings().instance, path.data(), size);
        if (length == 0)
            return CUIString();
        if (length < size)
            break;
        if (size >= kLongestPath)
            return CUIString();
        path.resize(size * 2);
    }
    WCHAR* lastSlash = wcsrchr(path.data(), L'\\');
    if (lastSlash)
        lastSlash[1] = 0;
    return CUIString(path.data());
}

void CResourceLocations::SetResourcePath(LPCWSTR path)
{
    CUIString& stored = Settings().resourcePath;
    stored = path;
    const int length = stored.GetLength();
    if (length > 0 && stored.GetAt(length - 1) != L'\\' && stored.GetAt(length - 1) != L'/')
        stored += L'\\';
}

const CUIString& CResourceLocations::GetResourcePath()
{
    return Settings().resourcePath;
}

void CResourceLocations::SetResourceZip(LPCWSTR name, bool keepOpen)
{
    TSkinSettings& s = Settings();
    const CUIString wanted(name ? name : L"");
    if (s.resourceZip == wanted.GetData() && s.keepZipOpen == keepOpen)
        return;
    if (s.openZip)
    {
        CZipArchive::Close(s.openZip);
        s.openZip = nullptr;
    }
    s.resourceZip = wanted;
    s.keepZipOpen = keepOpen;
    if (keepOpen && !wanted.IsEmpty())
    {
        const CUIString path = s.resourcePath + wanted;
        s.openZip = CZipArchive::Open(path.GetData(), 0, ZipSourceFileName);
    }
}

const CUIString& CResourceLocations::GetResourceZip()
{
    return Settings().resourceZip;
}

bool CResourceLocations::IsResourceZipCached()
{
    return Settings().keepZipOpen;
}

HINSTANCE CResourceLocations::GetResourceModule()
{
    return Settings().instance;
}

// --- fetched bytes --------------------------------------------------------------

CSkinData::~CSkinData()
{
    Reset();
}

CSkinData::CSkinData(CSkinData&& other) noexcept
    : m_pData(std::exchange(other.m_pData, nullptr)),
      m_dwSize(std::exchange(other.m_dwSize, 0)),
      m_pstrError(std::exchange(other.m_pstrError, L""))
{
}

CSkinData& CSkinData::operator=(CSkinData&& other) noexcept
{
    if (this != &other)
    {
        Reset();
        m_pData = std::exchange(other.m_pData, nullptr);
        m_dwSize = std::exchange(other.m_dwSize, 0);
        m_pstrError = std::exchange(other.m_pstrError, L"");
    }
    return *this;
}

void CSkinData::Reset()
{
    free(m_pData);
    m_pData = nullptr;
    m_dwSize = 0;
    m_pstrError = L"";
}

void CSkinData::Adopt(BYTE* data, DWORD size)
{
    free(m_pData);
    m_pData = data;
    m_dwSize = size;
    m_pstrError = L"";
}

// --- the three clients ---------------------------------------------------------------

bool FetchSkinData(LPCWSTR name, TSkinDataClient client, CSkinData& data, LPCWSTR resourceType)
{
    data.Reset();
    if (!name)
    {
        if (client == SkinDataXml)
            data.SetError(MessageOf(TFetchFailure::OpenFile));
        return false;
    }
    switch (client)
    {
    case SkinDataXml:
    {
        const TFetchFailure failure = ReadFromSkinLocation(name, kMaxSkinXmlSize, data);
        data.SetError(MessageOf(failure));
        return failure == TFetchFailure::None;
    }
    case SkinDataImage:
        if (resourceType)
        {
            if (IsColorType(resourceType))
                return false;
            if (ReadResource(name, resourceType, data))
                return true;
        }
        else if (ReadFromSkinLocation(name, MAXDWORD, data) == TFetchFailure::None)
        {
            return true;
        }
        return ReadPlainPath(name, data);
    case SkinDataAnimation:
        if (ReadFromSkinLocation(name, MAXDWORD, data) == TFetchFailure::None)
            return true;
        return ReadPlainPath(name, data);
    }
    return false;
}

bool LoadSkinMarkup(CXmlMarkup& markup, LPCWSTR name, int encoding)
{
    markup.Release();
    CSkinData data;
    if (!FetchSkinData(name, SkinDataXml, data))
        return markup.Fail(data.GetError());
    return markup.LoadFromMemory(data.GetData(), data.GetSize(), encoding);
}
