#include "tests/render/RenderTestSupport.h"

#include <stdlib.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include "ui/render/Dib.h"

CCanvas::CCanvas(int width, int height, DWORD fill)
    : m_width(width), m_height(height), m_hDC(CreateCompatibleDC(NULL)), m_bitmap(NULL), m_old(NULL),
      m_pixels(NULL)
{
    LPBYTE bits = NULL;
    m_bitmap = CreateTopDownDib(width, height, &bits);
    m_pixels = reinterpret_cast<DWORD*>(bits);
    m_old = SelectObject(m_hDC, m_bitmap);
    Fill(fill);
}

CCanvas::~CCanvas()
{
    SelectObject(m_hDC, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_hDC);
}

DWORD CCanvas::At(int x, int y) const
{
    GdiFlush();
    return m_pixels[y * m_width + x];
}

void CCanvas::Fill(DWORD argb)
{
    GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i)
        m_pixels[i] = argb;
}

void CCanvas::Set(int x, int y, DWORD argb)
{
    GdiFlush();
    m_pixels[y * m_width + x] = argb;
}

bool NearColor(DWORD actual, DWORD expected, int tolerance, bool withAlpha)
{
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8)
    {
        int a = static_cast<int>((actual >> shift) & 0xFF);
        int e = static_cast<int>((expected >> shift) & 0xFF);
        if (abs(a - e) > tolerance)
            return false;
    }
    return true;
}

std::vector<BYTE> MakeRgba(int width, int height, const std::function<DWORD(int, int)>& pixel)
{
    std::vector<BYTE> rgba;
    rgba.reserve(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            DWORD argb = pixel(x, y);
            rgba.push_back(static_cast<BYTE>(argb >> 16));
            rgba.push_back(static_cast<BYTE>(argb >> 8));
            rgba.push_back(static_cast<BYTE>(argb));
            rgba.push_back(static_cast<BYTE>(argb >> 24));
        }
    return rgba;
}

TEntryPtr MakeImage(int width, int height, const std::function<DWORD(int, int)>& pixel, DWORD mask)
{
    std::vector<BYTE> rgba = MakeRgba(width, height, pixel);
    return TEntryPtr(CImageLoader::FromRgba(rgba.data(), width, height, mask));
}

namespace {

void AppendBytes(void* context, void* data, int size)
{
    std::vector<BYTE>* out = static_cast<std::vector<BYTE>*>(context);
    const BYTE* bytes = static_cast<const BYTE*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<BYTE> EncodePng(int width, int height, const std::vector<BYTE>& rgba)
{
    std::vector<BYTE> out;
    stbi_write_png_to_func(AppendBytes, &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

std::vector<BYTE> EncodeBmp(int width, int height, const std::vector<BYTE>& rgba)
{
    std::vector<BYTE> out;
    stbi_write_bmp_to_func(AppendBytes, &out, width, height, 4, rgba.data());
    return out;
}

std::vector<BYTE> EncodeTga(int width, int height, const std::vector<BYTE>& rgba)
{
    std::vector<BYTE> out;
    stbi_write_tga_to_func(AppendBytes, &out, width, height, 4, rgba.data());
    return out;
}

std::vector<BYTE> EncodeJpeg(int width, int height, const std::vector<BYTE>& rgba)
{
    std::vector<BYTE> out;
    stbi_write_jpg_to_func(AppendBytes, &out, width, height, 4, rgba.data(), 95);
    return out;
}

CTempFolder::CTempFolder()
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    wchar_t name[MAX_PATH] = {};
    const unsigned first = GetTickCount();
    for (unsigned attempt = first; attempt < first + 100; ++attempt)
    {
        wsprintfW(name, L"%srender-test-%u\\", base, attempt);
        if (CreateDirectoryW(name, NULL))
        {
            m_path = name;
            return;
        }
    }
}

CTempFolder::~CTempFolder()
{
    for (const std::wstring& file : m_files)
        DeleteFileW(file.c_str());
    RemoveDirectoryW(m_path.c_str());
}

std::wstring CTempFolder::Write(const wchar_t* name, const std::vector<BYTE>& bytes)
{
    std::wstring path = m_path + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE)
    {
        if (!bytes.empty())
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
        CloseHandle(file);
    }
    m_files.push_back(path);
    return path;
}
