#include "tests/support/Images.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

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

namespace
{

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
