// Paints the gallery skin's own pictures: the bands a slider's track and fill
// are drawn with, and a small animated GIF. A band is a colour across the
// middle of a picture that is otherwise transparent, so that the slider can
// stretch it over its whole rectangle and still show a thin track.
//   make-gallery-images OUTDIR
// The same bytes on every run.

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{

// A picture thickness pixels across the band's direction and 8 along it,
// opaque only in the rows (or columns) from bandStart to bandEnd.
bool WriteBand(const std::string& path, bool horizontal, int thickness, int bandStart, int bandEnd,
               std::uint32_t rgb)
{
    const int width = horizontal ? 8 : thickness;
    const int height = horizontal ? thickness : 8;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const int across = horizontal ? y : x;
            if (across < bandStart || across >= bandEnd)
                continue;
            unsigned char* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            p[0] = static_cast<unsigned char>(rgb >> 16);
            p[1] = static_cast<unsigned char>(rgb >> 8);
            p[2] = static_cast<unsigned char>(rgb);
            p[3] = 255;
        }
    return stbi_write_png(path.c_str(), width, height, 4, pixels.data(), width * 4) != 0;
}

void Put16(std::string& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// GIF image data for pixels of a four-colour palette. Every pixel is sent as
// a clear code followed by its literal, so the code table never grows and
// every code stays 3 bits wide: larger than real compression, but a few
// lines instead of an LZW encoder.
std::string EncodeFourColourPixels(const std::vector<unsigned char>& pixels)
{
    const int kClear = 4;
    const int kEnd = 5;
    std::string bytes;
    unsigned bits = 0;
    int bitCount = 0;
    auto emit = [&](int code) {
        bits |= static_cast<unsigned>(code) << bitCount;
        bitCount += 3;
        while (bitCount >= 8)
        {
            bytes += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            bitCount -= 8;
        }
    };
    for (unsigned char pixel : pixels)
    {
        emit(kClear);
        emit(pixel & 3);
    }
    emit(kEnd);
    if (bitCount > 0)
        bytes += static_cast<char>(bits & 0xFF);

    std::string out(1, '\x02');  // minimum code size: 2-bit pixels
    for (std::size_t at = 0; at < bytes.size(); at += 255)
    {
        const std::string block = bytes.substr(at, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += '\0';
    return out;
}

// A busy indicator as a looping GIF89a: three dots in a framed strip, the
// lit dot moving from left to right. Each frame is shown for its own time
// (hundredths of a second), so a player that ignores the delays shows it.
bool WriteBusyGif(const std::string& path)
{
    const int width = 120;
    const int height = 40;
    const std::uint32_t palette[4] = {0xFFFFFF, 0xD5D9E4, 0x2F6FD0, 0x2A2D3A};
    enum
    {
        Background,
        Unlit,
        Lit,
        Frame
    };
    const int delays[3] = {60, 20, 40};

    std::string gif = "GIF89a";
    Put16(gif, width);
    Put16(gif, height);
    gif += '\xF1';  // a global table of 4 entries
    gif += '\0';
    gif += '\0';
    for (std::uint32_t rgb : palette)
    {
        gif += static_cast<char>((rgb >> 16) & 0xFF);
        gif += static_cast<char>((rgb >> 8) & 0xFF);
        gif += static_cast<char>(rgb & 0xFF);
    }
    // Loop for ever.
    gif += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0", 19);
    for (int frame = 0; frame < 3; ++frame)
    {
        gif += "\x21\xF9\x04";
        gif += '\x04';  // left in place: the next frame covers it whole
        Put16(gif, delays[frame]);
        gif += '\0';
        gif += '\0';
        gif += ',';
        Put16(gif, 0);
        Put16(gif, 0);
        Put16(gif, width);
        Put16(gif, height);
        gif += '\0';
        std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height, Background);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
            {
                unsigned char& p = pixels[static_cast<std::size_t>(y) * width + x];
                if (x == 0 || y == 0 || x == width - 1 || y == height - 1)
                {
                    p = Frame;
                    continue;
                }
                for (int dot = 0; dot < 3; ++dot)
                {
                    const int dx = x - (20 + 40 * dot);
                    const int dy = y - height / 2;
                    if (dx * dx + dy * dy <= 12 * 12)
                        p = dot == frame ? Lit : Unlit;
                }
            }
        gif += EncodeFourColourPixels(pixels);
    }
    gif += ';';

    std::ofstream out(path, std::ios::binary);
    out.write(gif.data(), static_cast<std::streamsize>(gif.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make-gallery-images OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    struct Band
    {
        const char* name;
        bool horizontal;
        std::uint32_t rgb;
    } const bands[] = {
        {"track_h.png", true, 0xD5D9E4}, {"fill_h.png", true, 0x7FA8E8},     {"track_v.png", false, 0xD5D9E4},
        {"fill_v.png", false, 0x7FA8E8}, {"fill_off_h.png", true, 0xB8BDCC},
    };
    // Sliders are 22 pixels thick; the band is the middle 4.
    for (const Band& b : bands)
    {
        if (!WriteBand(dir + "/" + b.name, b.horizontal, 22, 9, 13, b.rgb))
        {
            std::fprintf(stderr, "make-gallery-images: cannot write %s/%s\n", dir.c_str(), b.name);
            return 1;
        }
    }
    if (!WriteBusyGif(dir + "/busy.gif"))
    {
        std::fprintf(stderr, "make-gallery-images: cannot write %s/busy.gif\n", dir.c_str());
        return 1;
    }
    return 0;
}
