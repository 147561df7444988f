#include "ui/render/ImageLoader.h"

#include "ui/render/Dib.h"

#include <limits.h>
#include <stdint.h>
#include <wchar.h>

#include <stb_image.h>

#include "ui/render/Color.h"

const WCHAR kColorImageType[] = L"*COLOR*";

namespace
{

void SetError(CUIString* error, LPCWSTR text)
{
    if (error != NULL)
        *error = text;
}

void SetErrorA(CUIString* error, LPCWSTR prefix, const char* reason)
{
    if (error == NULL)
        return;
    *error = prefix;
    if (reason == NULL)
        return;
    error->Append(L": ");
    for (; *reason != '\0'; ++reason)
        error->Append(static_cast<WCHAR>(static_cast<unsigned char>(*reason)));
}

// One pass over the pixels: premultiply, apply the mask, note any transparency.
bool ConvertPixels(const BYTE* rgba, size_t count, DWORD mask, DWORD* out)
{
    bool hasAlpha = false;
    for (size_t i = 0; i < count; ++i, rgba += 4)
    {
        if (rgba[3] != 255)
            hasAlpha = true;
        DWORD pixel = CImageLoader::PremultiplyPixel(rgba[0], rgba[1], rgba[2], rgba[3]);
        if (pixel == mask)
        {
            pixel = 0;
            hasAlpha = true;
        }
        out[i] = pixel;
    }
    return hasAlpha;
}

}  // namespace

DWORD CImageLoader::PremultiplyPixel(BYTE red, BYTE green, BYTE blue, BYTE alpha)
{
    if (alpha != 255)
    {
        red = static_cast<BYTE>(alpha * red / 255);
        green = static_cast<BYTE>(alpha * green / 255);
        blue = static_cast<BYTE>(alpha * blue / 255);
    }
    return (static_cast<DWORD>(alpha) << 24) | (static_cast<DWORD>(red) << 16) |
           (static_cast<DWORD>(green) << 8) | blue;
}

TImageEntry* CImageLoader::FromRgba(const BYTE* rgba, int width, int height, DWORD mask, CUIString* error)
{
    if (rgba == NULL)
    {
        SetError(error, L"No pixels to convert");
        return NULL;
    }
    LPBYTE bits = NULL;
    HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    if (bitmap == NULL)
    {
        SetError(error, L"Could not create a 32-bit bitmap of that size");
        return NULL;
    }
    TImageEntry* entry = new TImageEntry();
    entry->bitmap = bitmap;
    entry->bits = bits;
    entry->width = width;
    entry->height = height;
    entry->hasAlpha =
        ConvertPixels(rgba, static_cast<size_t>(width) * height, mask, reinterpret_cast<DWORD*>(bits));
    entry->mask = 0;
    return entry;
}

TImageEntry* CImageLoader::Decode(const void* data, size_t size, DWORD mask, CUIString* error)
{
    if (data == NULL || size == 0)
    {
        SetError(error, L"No image data");
        return NULL;
    }
    if (size > static_cast<size_t>(INT_MAX))
    {
        SetError(error, L"Image data too large");
        return NULL;
    }
    int width = 0;
    int height = 0;
    int components = 0;
    stbi_uc* rgba = stbi_load_from_memory(static_cast<const stbi_uc*>(data), static_cast<int>(size), &width,
                                          &height, &components, 4);
    if (rgba == NULL)
    {
        SetErrorA(error, L"Could not decode image", stbi_failure_reason());
        return NULL;
    }
    TImageEntry* entry = FromRgba(rgba, width, height, mask, error);
    stbi_image_free(rgba);
    return entry;
}

TImageEntry* CImageLoader::FromColorText(LPCWSTR text, DWORD mask)
{
    DWORD value = ParseColorValue(text);
    BYTE pixel[4] = {ColorRed(value), ColorGreen(value), ColorBlue(value), ColorAlpha(value)};
    return FromRgba(pixel, 1, 1, mask);
}

bool CImageLoader::IsColorType(LPCWSTR type)
{
    return !IS_INTRESOURCE(type) && wcscmp(type, kColorImageType) == 0;
}

void CImageLoader::Free(TImageEntry* entry, bool deleteEntry)
{
    if (entry == NULL)
        return;
    if (entry->bitmap != NULL)
        DeleteObject(entry->bitmap);
    entry->bitmap = NULL;
    entry->bits = NULL;
    if (deleteEntry)
        delete entry;
}
