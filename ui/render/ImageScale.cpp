#include "ui/render/ImageLoader.h"

#include <math.h>

#include <vector>

#include "ui/render/Dib.h"

// Resizing works on the premultiplied pixels, one axis at a time: every
// output column (then row) is a weighted sum of a run of source columns
// (rows). Premultiplied channels blend without dark fringes around
// transparent areas.

namespace
{

// The source run and weights of one output position along one axis.
struct TTaps
{
    int first;
    std::vector<float> weights;  // summing to 1
};

int ClampIndex(int i, int count)
{
    return i < 0 ? 0 : (i >= count ? count - 1 : i);
}

TTaps NearestTaps(int out, int sourceCount, int outCount)
{
    const long long index = (2LL * out + 1) * sourceCount / (2LL * outCount);
    TTaps taps;
    taps.first = ClampIndex(static_cast<int>(index), sourceCount);
    taps.weights.assign(1, 1.0f);
    return taps;
}

// Enlarging: the two source pixels whose centres surround the output pixel's
// centre, weighted by distance; the edges repeat the outermost pixel.
TTaps BilinearTaps(int out, int sourceCount, int outCount)
{
    const double centre = (out + 0.5) * sourceCount / outCount - 0.5;
    const int left = static_cast<int>(floor(centre));
    const float right = static_cast<float>(centre - left);
    TTaps taps;
    taps.first = ClampIndex(left, sourceCount);
    const int second = ClampIndex(left + 1, sourceCount);
    if (second == taps.first)
        taps.weights.assign(1, 1.0f);
    else
        taps.weights = {1.0f - right, right};
    return taps;
}

// Shrinking: every source pixel the output pixel covers, weighted by how much
// of it is covered.
TTaps AreaTaps(int out, int sourceCount, int outCount)
{
    const double step = static_cast<double>(sourceCount) / outCount;
    const double from = out * step;
    const double to = from + step;
    TTaps taps;
    taps.first = ClampIndex(static_cast<int>(floor(from)), sourceCount);
    for (int i = taps.first; i < sourceCount && i < to; ++i)
    {
        const double covered = fmin(to, i + 1.0) - fmax(from, static_cast<double>(i));
        if (covered > 0)
            taps.weights.push_back(static_cast<float>(covered / step));
    }
    if (taps.weights.empty())
        taps.weights.assign(1, 1.0f);
    return taps;
}

std::vector<TTaps> AxisTaps(int sourceCount, int outCount, TImageScaling scaling)
{
    std::vector<TTaps> axis(static_cast<size_t>(outCount));
    for (int out = 0; out < outCount; ++out)
    {
        if (scaling == ImageScalingNearest)
            axis[out] = NearestTaps(out, sourceCount, outCount);
        else if (outCount >= sourceCount)
            axis[out] = BilinearTaps(out, sourceCount, outCount);
        else
            axis[out] = AreaTaps(out, sourceCount, outCount);
    }
    return axis;
}

BYTE ToByte(float value, float limit)
{
    const float rounded = floorf(value + 0.5f);
    if (rounded <= 0)
        return 0;
    return static_cast<BYTE>(rounded >= limit ? limit : rounded);
}

}  // namespace

TImageEntry* CImageLoader::Resample(const TImageEntry& source, int width, int height, TImageScaling scaling)
{
    if (width <= 0 || height <= 0 || source.bits == NULL || source.width <= 0 || source.height <= 0)
        return NULL;
    LPBYTE bits = NULL;
    HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    if (bitmap == NULL)
        return NULL;

    const std::vector<TTaps> columns = AxisTaps(source.width, width, scaling);
    const std::vector<TTaps> rows = AxisTaps(source.height, height, scaling);

    // Across: each source row to width pixels of four float channels (b, g, r, a).
    std::vector<float> across(static_cast<size_t>(source.height) * width * 4);
    for (int y = 0; y < source.height; ++y)
    {
        const BYTE* in = source.bits + static_cast<size_t>(y) * source.width * 4;
        float* out = &across[static_cast<size_t>(y) * width * 4];
        for (int x = 0; x < width; ++x, out += 4)
        {
            const TTaps& taps = columns[x];
            for (size_t k = 0; k < taps.weights.size(); ++k)
            {
                const BYTE* pixel = in + (taps.first + k) * 4;
                for (int c = 0; c < 4; ++c)
                    out[c] += taps.weights[k] * pixel[c];
            }
        }
    }

    // Down: each output row from the rows of the first pass. A colour never
    // exceeds its alpha, so the result stays valid premultiplied.
    for (int y = 0; y < height; ++y)
    {
        const TTaps& taps = rows[y];
        BYTE* out = bits + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x, out += 4)
        {
            float sum[4] = {0, 0, 0, 0};
            for (size_t k = 0; k < taps.weights.size(); ++k)
            {
                const float* pixel = &across[((taps.first + k) * width + x) * 4];
                for (int c = 0; c < 4; ++c)
                    sum[c] += taps.weights[k] * pixel[c];
            }
            out[3] = ToByte(sum[3], 255.0f);
            for (int c = 0; c < 3; ++c)
                out[c] = ToByte(sum[c], out[3]);
        }
    }

    TImageEntry* entry = new TImageEntry();
    entry->bitmap = bitmap;
    entry->bits = bits;
    entry->width = width;
    entry->height = height;
    entry->hasAlpha = source.hasAlpha;
    entry->resType = source.resType;
    entry->mask = source.mask;
    entry->dpi = source.dpi;
    return entry;
}
