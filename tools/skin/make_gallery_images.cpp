// Paints the gallery skin's own pictures: the bands a slider's track and fill
// are drawn with. A band is a colour across the middle of a picture that is
// otherwise transparent, so that the slider can stretch it over its whole
// rectangle and still show a thin track.
//   make-gallery-images OUTDIR
// The same bytes on every run.

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A picture thickness pixels across the band's direction and 8 along it,
// opaque only in the rows (or columns) from bandStart to bandEnd.
bool WriteBand(const std::string& path, bool horizontal, int thickness, int bandStart, int bandEnd,
               std::uint32_t rgb)
{
    const int width = horizontal ? 8 : thickness;
    const int height = horizontal ? thickness : 8;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-gallery-images OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    struct Band {
        const char* name;
        bool horizontal;
        std::uint32_t rgb;
    } const bands[] = {
        {"track_h.png", true, 0xD5D9E4},  {"fill_h.png", true, 0x7FA8E8},
        {"track_v.png", false, 0xD5D9E4}, {"fill_v.png", false, 0x7FA8E8},
        {"fill_off_h.png", true, 0xB8BDCC},
    };
    // Sliders are 22 pixels thick; the band is the middle 4.
    for (const Band& b : bands) {
        if (!WriteBand(dir + "/" + b.name, b.horizontal, 22, 9, 13, b.rgb)) {
            std::fprintf(stderr, "make-gallery-images: cannot write %s/%s\n", dir.c_str(), b.name);
            return 1;
        }
    }
    return 0;
}
