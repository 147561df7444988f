#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/render/ImageLoader.h"

// A 32-bit top-down DIB section selected into a memory DC: draw into Dc(),
// then read pixels back as 0xAARRGGBB.
class CCanvas
{
public:
    CCanvas(int width, int height, DWORD fill = 0xFFFFFFFF);
    ~CCanvas();
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    HDC Dc() const { return m_hDC; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    DWORD At(int x, int y) const;
    DWORD Rgb(int x, int y) const { return At(x, y) & 0xFFFFFF; }
    void Fill(DWORD argb);
    void Set(int x, int y, DWORD argb);

private:
    int m_width;
    int m_height;
    HDC m_hDC;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_pixels;
};

// True when every channel of two 0xAARRGGBB values (alpha ignored unless
// withAlpha) differs by at most tolerance.
bool NearColor(DWORD actual, DWORD expected, int tolerance, bool withAlpha = false);

// Straight RGBA bytes of a picture whose pixel (x, y) is pixel(x, y) as 0xAARRGGBB.
std::vector<BYTE> MakeRgba(int width, int height, const std::function<DWORD(int, int)>& pixel);

struct TEntryDeleter
{
    void operator()(TImageEntry* entry) const { CImageLoader::Free(entry, true); }
};
typedef std::unique_ptr<TImageEntry, TEntryDeleter> TEntryPtr;

// An image entry of our own making, as the decoder would have made it.
TEntryPtr MakeImage(int width, int height, const std::function<DWORD(int, int)>& pixel, DWORD mask = 0);

// Encoded files written by the tests themselves.
std::vector<BYTE> EncodePng(int width, int height, const std::vector<BYTE>& rgba);
std::vector<BYTE> EncodeBmp(int width, int height, const std::vector<BYTE>& rgba);
std::vector<BYTE> EncodeTga(int width, int height, const std::vector<BYTE>& rgba);
std::vector<BYTE> EncodeJpeg(int width, int height, const std::vector<BYTE>& rgba);

// A fresh folder under the temporary directory, removed with its files at the end.
class CTempFolder
{
public:
    CTempFolder();
    ~CTempFolder();
    const std::wstring& Path() const { return m_path; }  // with a trailing backslash
    std::wstring Write(const wchar_t* name, const std::vector<BYTE>& bytes);

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};
