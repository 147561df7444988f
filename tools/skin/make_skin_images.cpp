// Paints the demo skin's pictures: the background, a translucent panel for
// nine-part stretching, and the install button in its five states.
//   make-skin-images OUTDIR
// Everything is drawn by code (no bitmaps in the repository) and is the same on every run.

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

struct Rgba
{
    float r, g, b, a;  // straight alpha, 0..1
};

Rgba Hex(std::uint32_t argb)
{
    return {((argb >> 16) & 255) / 255.f, ((argb >> 8) & 255) / 255.f, (argb & 255) / 255.f,
            ((argb >> 24) & 255) / 255.f};
}

Rgba Mix(Rgba a, Rgba b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

class Canvas
{
public:
    Canvas(int width, int height) : width_(width), height_(height), pixels_(width * height, Rgba{0, 0, 0, 0})
    {
    }

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Source-over in straight alpha, with an extra coverage factor.
    void Blend(int x, int y, Rgba src, float coverage = 1.f)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        Rgba& dst = pixels_[y * width_ + x];
        const float sa = std::clamp(src.a * coverage, 0.f, 1.f);
        const float outA = sa + dst.a * (1 - sa);
        if (outA <= 0)
        {
            dst = {0, 0, 0, 0};
            return;
        }
        auto channel = [&](float s, float d) { return (s * sa + d * dst.a * (1 - sa)) / outA; };
        dst = {channel(src.r, dst.r), channel(src.g, dst.g), channel(src.b, dst.b), outA};
    }

    bool SavePng(const std::string& path) const
    {
        std::vector<unsigned char> bytes(pixels_.size() * 4);
        for (std::size_t i = 0; i < pixels_.size(); ++i)
        {
            const Rgba& p = pixels_[i];
            bytes[i * 4 + 0] = static_cast<unsigned char>(std::lround(std::clamp(p.r, 0.f, 1.f) * 255));
            bytes[i * 4 + 1] = static_cast<unsigned char>(std::lround(std::clamp(p.g, 0.f, 1.f) * 255));
            bytes[i * 4 + 2] = static_cast<unsigned char>(std::lround(std::clamp(p.b, 0.f, 1.f) * 255));
            bytes[i * 4 + 3] = static_cast<unsigned char>(std::lround(std::clamp(p.a, 0.f, 1.f) * 255));
        }
        return stbi_write_png(path.c_str(), width_, height_, 4, bytes.data(), width_ * 4) != 0;
    }

private:
    int width_, height_;
    std::vector<Rgba> pixels_;
};

// Signed distance from a point to a rounded rectangle's edge (negative inside).
float RoundRectDistance(float x, float y, float left, float top, float right, float bottom, float radius)
{
    const float cx = (left + right) / 2, cy = (top + bottom) / 2;
    const float hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.f), std::max(qy, 0.f));
    return outside + std::min(std::max(qx, qy), 0.f) - radius;
}

// Anti-aliased coverage of a pixel by a shape given as a distance function: one pixel of ramp.
float Coverage(float distance)
{
    return std::clamp(0.5f - distance, 0.f, 1.f);
}

struct RoundRect
{
    float left, top, right, bottom, radius;
};

void FillRoundRect(Canvas& c, RoundRect r, Rgba topColour, Rgba bottomColour)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
        {
            const float d = RoundRectDistance(x + .5f, y + .5f, r.left, r.top, r.right, r.bottom, r.radius);
            const float cover = Coverage(d);
            if (cover <= 0)
                continue;
            const float t = std::clamp((y + .5f - r.top) / (r.bottom - r.top), 0.f, 1.f);
            c.Blend(x, y, Mix(topColour, bottomColour, t), cover);
        }
}

void StrokeRoundRect(Canvas& c, RoundRect r, Rgba colour, float width)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
        {
            const float d = RoundRectDistance(x + .5f, y + .5f, r.left, r.top, r.right, r.bottom, r.radius);
            const float cover = Coverage(d) - Coverage(d + width);
            if (cover > 0)
                c.Blend(x, y, colour, cover);
        }
}

void Glow(Canvas& c, float cx, float cy, float radius, Rgba colour)
{
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
        {
            const float d = std::hypot(x + .5f - cx, y + .5f - cy) / radius;
            if (d < 1)
            {
                const float falloff = (1 - d) * (1 - d);
                c.Blend(x, y, colour, falloff);
            }
        }
}

// A small deterministic generator, so the star field is the same on every build.
std::uint32_t Next(std::uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

Canvas Background()
{
    Canvas c(600, 400);
    for (int y = 0; y < c.Height(); ++y)
    {
        const Rgba row = Mix(Hex(0xFF141B33), Hex(0xFF2B1A40), y / float(c.Height() - 1));
        for (int x = 0; x < c.Width(); ++x)
            c.Blend(x, y, row);
    }
    Glow(c, 520, 40, 300, Hex(0x66E0588A));
    Glow(c, 60, 380, 280, Hex(0x5530A0C8));
    Glow(c, 300, 120, 220, Hex(0x22FFFFFF));
    std::uint32_t seed = 20261210;
    for (int i = 0; i < 140; ++i)
    {
        const float x = Next(seed) % 600, y = Next(seed) % 230;
        const float size = 0.6f + (Next(seed) % 100) / 60.f;
        const float brightness = 0.25f + (Next(seed) % 100) / 140.f;
        Glow(c, x, y, size * 2.2f, Rgba{1, 1, 1, brightness});
    }
    // A thin rule under the title area, fading out to both sides.
    for (int x = 40; x < 560; ++x)
    {
        const float t = 1 - std::fabs((x - 300) / 260.f);
        c.Blend(x, 132, Hex(0xFFFFC48A), 0.55f * t);
    }
    return c;
}

Canvas Panel()
{
    Canvas c(48, 48);
    const RoundRect shape{0.5f, 0.5f, 47.5f, 47.5f, 12};
    FillRoundRect(c, shape, Hex(0x30FFFFFF), Hex(0x18FFFFFF));
    StrokeRoundRect(c, shape, Hex(0x50FFFFFF), 1);
    return c;
}

Canvas Button(Rgba top, Rgba bottom, Rgba border, float shift, float highlight)
{
    Canvas c(200, 52);
    // A soft shadow under the button gives it some lift on the dark background.
    FillRoundRect(c, {3, 6 + shift, 197, 51, 14}, Hex(0x40000000), Hex(0x10000000));
    const RoundRect face{2, 1 + shift, 198, 47 + shift, 13};
    FillRoundRect(c, face, top, bottom);
    FillRoundRect(c, {5, 3 + shift, 195, 22 + shift, 10}, Rgba{1, 1, 1, highlight}, Rgba{1, 1, 1, 0});
    StrokeRoundRect(c, face, border, 1.2f);
    return c;
}

// The normal face with a bright inner ring: what Return or Space would press.
Canvas FocusedButton(Rgba top, Rgba bottom, Rgba border)
{
    Canvas c = Button(top, bottom, border, 0, 0.30f);
    StrokeRoundRect(c, {5, 4, 195, 44, 10}, Hex(0xF0FFF4E0), 2);
    return c;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make-skin-images OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    struct Output
    {
        const char* name;
        Canvas canvas;
    } outputs[] = {
        {"bg.png", Background()},
        {"panel.png", Panel()},
        {"btn_normal.png", Button(Hex(0xFFFF9A4D), Hex(0xFFE8505B), Hex(0xFFFFC79A), 0, 0.30f)},
        {"btn_hot.png", Button(Hex(0xFFFFB067), Hex(0xFFF5636B), Hex(0xFFFFE0C0), 0, 0.40f)},
        {"btn_pushed.png", Button(Hex(0xFFE0783A), Hex(0xFFC8404C), Hex(0xFFFFB080), 2, 0.12f)},
        {"btn_disabled.png", Button(Hex(0xFF8A8A96), Hex(0xFF6A6A78), Hex(0xFFA8A8B4), 0, 0.15f)},
        {"btn_focused.png", FocusedButton(Hex(0xFFFF9A4D), Hex(0xFFE8505B), Hex(0xFFFFC79A))},
    };
    for (const Output& o : outputs)
    {
        if (!o.canvas.SavePng(dir + "/" + o.name))
        {
            std::fprintf(stderr, "make-skin-images: cannot write %s/%s\n", dir.c_str(), o.name);
            return 1;
        }
    }
    return 0;
}
