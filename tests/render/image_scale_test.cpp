#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/Images.h"
#include "ui/render/ImageLoader.h"

namespace
{
DWORD PixelAt(const TImageEntry& image, int x, int y)
{
    return reinterpret_cast<const DWORD*>(image.bits)[y * image.width + x];
}

// A row of opaque black and white pixels, left to right.
TEntryPtr Stripes(int width)
{
    return MakeImage(width, 1, [](int x, int) { return x % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu; });
}

TEST(ImageScale, NearestCopiesEveryPixelExactlyAtTwiceTheSize)
{
    const TEntryPtr source = Stripes(3);
    TEntryPtr doubled(CImageLoader::Resample(*source, 6, 2, ImageScalingNearest));
    ASSERT_NE(doubled, nullptr);
    ASSERT_EQ(doubled->width, 6);
    ASSERT_EQ(doubled->height, 2);
    const DWORD expected[] = {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(*doubled, x, y), expected[x]) << x << "," << y;
}

TEST(ImageScale, SmoothEnlargingBlendsBetweenPixelsAndNearestDoesNot)
{
    const TEntryPtr source = Stripes(2);
    TEntryPtr smooth(CImageLoader::Resample(*source, 3, 1, ImageScalingSmooth));
    TEntryPtr nearest(CImageLoader::Resample(*source, 3, 1, ImageScalingNearest));
    ASSERT_NE(smooth, nullptr);
    ASSERT_NE(nearest, nullptr);
    // The middle pixel's centre lies half-way between the two source pixels.
    EXPECT_EQ(PixelAt(*smooth, 1, 0), 0xFF808080u);
    EXPECT_EQ(PixelAt(*smooth, 0, 0), 0xFF000000u);
    EXPECT_EQ(PixelAt(*smooth, 2, 0), 0xFFFFFFFFu);
    for (int x = 0; x < 3; ++x)
    {
        const DWORD pixel = PixelAt(*nearest, x, 0);
        EXPECT_TRUE(pixel == 0xFF000000u || pixel == 0xFFFFFFFFu) << x;
    }
}

TEST(ImageScale, ShrinkingAveragesTheCoveredAreaInPremultipliedColour)
{
    // Opaque red beside fully transparent: the half-size pixel is red at half
    // alpha, not a darkened red.
    TEntryPtr source = MakeImage(2, 2, [](int x, int) { return x == 0 ? 0xFFFF0000u : 0x00000000u; });
    TEntryPtr half(CImageLoader::Resample(*source, 1, 1, ImageScalingSmooth));
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(PixelAt(*half, 0, 0), 0x80800000u);
    EXPECT_TRUE(half->hasAlpha);
}

TEST(ImageScale, ResamplingKeepsTheEntrysMaskAndTypeAndRefusesEmptySizes)
{
    TEntryPtr source = Stripes(2);
    source->resType = L"PNG";
    source->mask = 0xFFFF00FF;
    TEntryPtr larger(CImageLoader::Resample(*source, 4, 2, ImageScalingSmooth));
    ASSERT_NE(larger, nullptr);
    EXPECT_EQ(larger->resType, L"PNG");
    EXPECT_EQ(larger->mask, 0xFFFF00FFu);
    EXPECT_EQ(CImageLoader::Resample(*source, 0, 2, ImageScalingSmooth), nullptr);
    EXPECT_EQ(CImageLoader::Resample(*source, 2, -1, ImageScalingNearest), nullptr);
}
}  // namespace
