#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/render/ImageLoader.h"

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
