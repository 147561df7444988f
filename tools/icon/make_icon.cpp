// make-icon OUT.ico: draws the installer's icon, a rounded tile with a
// downward arrow into a tray, at 32x32 and 16x16 in 32-bit colour with alpha.
// Shapes are sampled 8x8 times per pixel so that edges are smooth at both sizes.

#include "tools/common/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

struct Colour
{
    double r, g, b, a;
};

// Paints src over dst with straight alpha.
Colour Over(Colour dst, Colour src)
{
    const double a = src.a + dst.a * (1 - src.a);
    if (a <= 0)
        return {0, 0, 0, 0};
    auto mix = [&](double s, double d) { return (s * src.a + d * dst.a * (1 - src.a)) / a; };
    return {mix(src.r, dst.r), mix(src.g, dst.g), mix(src.b, dst.b), a};
}

bool InRoundedSquare(double x, double y, double inset, double radius)
{
    const double lo = inset + radius, hi = 1 - inset - radius;
    const double dx = std::max({lo - x, 0.0, x - hi});
    const double dy = std::max({lo - y, 0.0, y - hi});
    return x >= inset && x <= 1 - inset && y >= inset && y <= 1 - inset &&
           dx * dx + dy * dy <= radius * radius;
}

// The glyph: an arrow pointing down into an open tray. Unit coordinates, y down.
bool InGlyph(double x, double y)
{
    const bool shaft = std::fabs(x - 0.5) <= 0.08 && y >= 0.18 && y <= 0.50;
    const bool head = y >= 0.42 && y <= 0.66 && std::fabs(x - 0.5) <= (0.66 - y) * 0.95;
    const bool trayBottom = y >= 0.74 && y <= 0.82 && x >= 0.22 && x <= 0.78;
    const bool traySides = y >= 0.60 && y <= 0.82 && ((x >= 0.22 && x <= 0.30) || (x >= 0.70 && x <= 0.78));
    return shaft || head || trayBottom || traySides;
}

Colour Sample(double x, double y)
{
    Colour pixel{0, 0, 0, 0};
    if (InRoundedSquare(x, y, 0.03, 0.18))
    {
        // Deep blue at the top to teal at the bottom.
        pixel = Over(pixel, {0.10 + 0.05 * y, 0.30 + 0.35 * y, 0.75 - 0.15 * y, 1});
        if (!InRoundedSquare(x, y, 0.09, 0.13))
            pixel = Over(pixel, {1, 1, 1, 0.18});  // bevel
    }
    if (InGlyph(x, y))
        pixel = Over(pixel, {1, 1, 1, 1});
    return pixel;
}

void PutU16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void PutU32(std::vector<unsigned char>& out, std::uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), bottom-up
// BGRA pixels, then the 1-bit AND mask that old renderers use for transparency.
std::vector<unsigned char> Image(int size)
{
    constexpr int kSub = 8;
    std::vector<unsigned char> out;
    PutU32(out, 40);
    PutU32(out, size);
    PutU32(out, size * 2);
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0);
    const int maskStride = ((size + 31) / 32) * 4;
    PutU32(out, size * size * 4 + maskStride * size);
    for (int i = 0; i < 4; ++i)
        PutU32(out, 0);

    std::vector<unsigned char> mask(maskStride * size, 0);
    for (int row = size - 1; row >= 0; --row)
    {
        for (int col = 0; col < size; ++col)
        {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSub; ++sy)
            {
                for (int sx = 0; sx < kSub; ++sx)
                {
                    const Colour c =
                        Sample((col + (sx + 0.5) / kSub) / size, (row + (sy + 0.5) / kSub) / size);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            const auto channel = [&](double premultiplied) {
                return static_cast<unsigned char>(a > 0 ? std::lround(255 * premultiplied / a) : 0);
            };
            const unsigned char alpha = static_cast<unsigned char>(std::lround(255 * a / (kSub * kSub)));
            out.push_back(channel(b));
            out.push_back(channel(g));
            out.push_back(channel(r));
            out.push_back(alpha);
            const int maskRow = size - 1 - row;
            if (alpha == 0)
                mask[maskRow * maskStride + col / 8] |= static_cast<unsigned char>(0x80 >> (col % 8));
        }
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make-icon OUT.ico\n");
        return 1;
    }
    const int sizes[] = {32, 16};
    std::vector<std::vector<unsigned char>> images;
    for (int size : sizes)
        images.push_back(Image(size));

    std::vector<unsigned char> ico;
    PutU16(ico, 0);
    PutU16(ico, 1);  // icon
    PutU16(ico, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i)
    {
        ico.push_back(static_cast<unsigned char>(sizes[i]));
        ico.push_back(static_cast<unsigned char>(sizes[i]));
        ico.push_back(0);  // no palette
        ico.push_back(0);
        PutU16(ico, 1);   // planes
        PutU16(ico, 32);  // bits per pixel
        PutU32(ico, static_cast<std::uint32_t>(images[i].size()));
        PutU32(ico, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        ico.insert(ico.end(), image.begin(), image.end());

    std::string error;
    if (!tools::WriteFileAtomically(argv[1], ico, error))
    {
        std::fprintf(stderr, "make-icon: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
