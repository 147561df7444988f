// Render engine costs that paint speed depends on:
//   decode       a 512x512 PNG through the image loader against the bare
//                decoder, so the premultiplying pass shows on its own
//   nine-part    a 30x30 button image with 10-pixel insets into 200x60,
//                opaque and with per-pixel alpha (AlphaBlend and fallback)
//   fill         a translucent colour over 800x600 (one stretched pixel)
//   tiles        an 8x8 centre tiled both ways over 800x600, opaque and blended
// Figures are milliseconds per operation; best and median of runs.
//
// Run by hand: $BUILD_DIR/wine-run bench/render_bench.exe

#include <windows.h>
#include "bench/BenchClock.h"
#include "ui/render/Dib.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <stb_image.h>

#include "tests/support/Canvas.h"
#include "tests/support/Images.h"
#include "ui/render/MsImg32.h"
#include "ui/render/Renderer.h"

namespace
{

const int kRuns = 9;

std::vector<BYTE> Picture(int width, int height, bool translucent)
{
    std::vector<BYTE> rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            rgba.push_back(static_cast<BYTE>(x * 7));
            rgba.push_back(static_cast<BYTE>(y * 5));
            rgba.push_back(static_cast<BYTE>(x ^ y));
            rgba.push_back(translucent ? static_cast<BYTE>(128 + (x + y) % 128) : 255);
        }
    return rgba;
}

void BenchDecode()
{
    std::vector<BYTE> rgba = Picture(512, 512, true);
    const std::vector<BYTE> png = EncodePng(512, 512, rgba);
    MeasureBestMedian("decode 512x512 png, decoder only", kRuns, 5, [&] {
        int w, h, n;
        stbi_image_free(stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &n, 4));
    });
    MeasureBestMedian("decode 512x512 png, image loader", kRuns, 5,
                      [&] { CImageLoader::Free(CImageLoader::Decode(png.data(), png.size(), 0), true); });
}

void BenchDrawing()
{
    // A 32-bit top-down DIB section in a memory DC, as the painting pipeline uses.
    CCanvas surface(800, 600);
    const RECT screen = {0, 0, 800, 600};
    std::vector<BYTE> button = Picture(30, 30, true);
    TImageEntry* image = CImageLoader::FromRgba(button.data(), 30, 30, 0);
    const RECT source = {0, 0, 30, 30};
    const RECT corner = {10, 10, 10, 10};
    const RECT rc = {100, 100, 300, 160};
    MeasureBestMedian("nine-part 200x60, opaque", kRuns, 200, [&] {
        CRenderer::DrawImage(surface.Dc(), image->bitmap, rc, screen, source, corner, false);
    });
    MeasureBestMedian("nine-part 200x60, alpha", kRuns, 200, [&] {
        CRenderer::DrawImage(surface.Dc(), image->bitmap, rc, screen, source, corner, true);
    });
    {
        CMsImg32Missing missing(true, false);
        MeasureBestMedian("nine-part 200x60, alpha fallback", kRuns, 50, [&] {
            CRenderer::DrawImage(surface.Dc(), image->bitmap, rc, screen, source, corner, true);
        });
    }
    MeasureBestMedian("fill 800x600 at alpha 128", kRuns, 20,
                      [&] { CRenderer::DrawColor(surface.Dc(), screen, 0x80336699); });

    const RECT tile = {0, 0, 8, 8};
    const RECT none = {};
    MeasureBestMedian("tiles 8x8 over 800x600, opaque", kRuns, 3, [&] {
        CRenderer::DrawImage(surface.Dc(), image->bitmap, screen, screen, tile, none, false, 255, false, true,
                             true);
    });
    MeasureBestMedian("tiles 8x8 over 800x600, alpha", kRuns, 3, [&] {
        CRenderer::DrawImage(surface.Dc(), image->bitmap, screen, screen, tile, none, true, 255, false, true,
                             true);
    });
    CImageLoader::Free(image, true);
}

}  // namespace

int wmain()
{
    BenchDecode();
    BenchDrawing();
    return 0;
}
