#include <gtest/gtest.h>

#include <string>

#include "tests/support/Canvas.h"
#include "tests/support/Images.h"
#include "tests/support/SkinFolder.h"
#include "ui/manager/Manager.h"
#include "ui/markup/ResourceLocations.h"
#include "ui/render/Renderer.h"

namespace
{

// Two rows, so that a bottom-up result or a channel swap shows: opaque red,
// half-transparent white / fully transparent blue, an opaque odd colour.
DWORD PartlyTransparent(int x, int y)
{
    static const DWORD pixels[2][2] = {{0xFFFF0000, 0x80FFFFFF}, {0x000000FF, 0xFF0A141E}};
    return pixels[y][x];
}

// PNM is simple enough to write here: a header and the RGB bytes.
std::vector<BYTE> EncodePnm(int width, int height, const std::vector<BYTE>& rgba)
{
    std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    std::vector<BYTE> out(header.begin(), header.end());
    for (size_t i = 0; i < rgba.size(); i += 4)
        out.insert(out.end(), rgba.begin() + i, rgba.begin() + i + 3);
    return out;
}

TEST(ImageDecode, PngWithPartialAlphaIsPremultipliedTopDown)
{
    std::vector<BYTE> png = EncodePng(2, 2, MakeRgba(2, 2, PartlyTransparent));
    TEntryPtr entry(CImageLoader::Decode(png.data(), png.size(), 0));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->width, 2);
    EXPECT_EQ(entry->height, 2);
    EXPECT_TRUE(entry->hasAlpha);
    EXPECT_TRUE(entry->resType.IsEmpty());
    EXPECT_EQ(ImagePixel(*entry, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(ImagePixel(*entry, 1, 0), 0x80808080u);  // 128 × 255 ÷ 255
    EXPECT_EQ(ImagePixel(*entry, 0, 1), 0x00000000u);  // alpha 0 is all zero
    EXPECT_EQ(ImagePixel(*entry, 1, 1), 0xFF0A141Eu);

    // The bitmap really is a 32-bit DIB section over those bits (the pixel
    // order above shows that its rows run top-down).
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(entry->bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmBits, entry->bits);
    EXPECT_EQ(dib.dsBmih.biBitCount, 32);
}

TEST(ImageDecode, PremultiplyTruncates)
{
    EXPECT_EQ(CImageLoader::PremultiplyPixel(255, 255, 255, 128), 0x80808080u);
    EXPECT_EQ(CImageLoader::PremultiplyPixel(254, 1, 100, 127), 0x7F7E0031u);  // 127×254÷255 = 126.5
    EXPECT_EQ(CImageLoader::PremultiplyPixel(9, 8, 7, 255), 0xFF090807u);
}

TEST(ImageDecode, OpaqueFormatsHaveNoAlpha)
{
    auto opaque = [](int x, int y) -> DWORD {
        return 0xFF000000u | (x * 60u << 16) | (y * 60u << 8) | 0x40u;
    };
    std::vector<BYTE> rgba = MakeRgba(4, 3, opaque);
    struct TCase
    {
        const char* format;
        std::vector<BYTE> bytes;
        bool exact;
    } cases[] = {
        {"png", EncodePng(4, 3, rgba), true},    {"bmp", EncodeBmp(4, 3, rgba), true},
        {"tga", EncodeTga(4, 3, rgba), true},    {"pnm", EncodePnm(4, 3, rgba), true},
        {"jpeg", EncodeJpeg(4, 3, rgba), false},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.format);
        TEntryPtr entry(CImageLoader::Decode(c.bytes.data(), c.bytes.size(), 0));
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->width, 4);
        EXPECT_EQ(entry->height, 3);
        EXPECT_FALSE(entry->hasAlpha);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
            {
                DWORD actual = ImagePixel(*entry, x, y);
                EXPECT_EQ(actual >> 24, 0xFFu);
                EXPECT_TRUE(NearColor(actual, opaque(x, y), c.exact ? 0 : 24))
                    << std::hex << actual << " at " << x << "," << y;
            }
    }
}

TEST(ImageDecode, GifGivesItsFirstFrameWithTransparency)
{
    // 2x2, made with ImageMagick from a PPM: red, green / blue, transparent.
    static const BYTE gif[] = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x02, 0x00, 0xf1, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00,
        0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00, 0x2c,
        0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x02, 0x03, 0x44, 0x34, 0x05, 0x00, 0x3b,
    };
    TEntryPtr entry(CImageLoader::Decode(gif, sizeof(gif), 0));
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->hasAlpha);
    EXPECT_EQ(ImagePixel(*entry, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(ImagePixel(*entry, 1, 0), 0xFF00FF00u);
    EXPECT_EQ(ImagePixel(*entry, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(ImagePixel(*entry, 1, 1), 0u);
}

TEST(ImageDecode, MaskMatchesTheFinishedPixelAlphaIncluded)
{
    auto picture = [](int x, int) -> DWORD {
        return x == 0 ? 0xFFFF00FF : (x == 1 ? 0xFF00FF00 : 0x80FF00FF);
    };
    std::vector<BYTE> png = EncodePng(3, 1, MakeRgba(3, 1, picture));
    struct TCase
    {
        DWORD mask;
        DWORD expected[3];
        bool hasAlpha;
    } cases[] = {
        {0xFFFF00FF, {0, 0xFF00FF00, 0x80800080}, true},           // opaque magenta cleared
        {0x00FF00FF, {0xFFFF00FF, 0xFF00FF00, 0x80800080}, true},  // no alpha byte: no match
        {0x80800080, {0xFFFF00FF, 0xFF00FF00, 0}, true},           // premultiplied value matches
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << std::hex << c.mask);
        TEntryPtr entry(CImageLoader::Decode(png.data(), png.size(), c.mask));
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->hasAlpha, c.hasAlpha);
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(ImagePixel(*entry, x, 0), c.expected[x]) << x;
    }

    // On an opaque picture the mask alone decides whether there is alpha.
    auto opaque = [](int x, int) -> DWORD { return x == 0 ? 0xFFFF00FF : 0xFF102030; };
    std::vector<BYTE> bmp = EncodeBmp(2, 1, MakeRgba(2, 1, opaque));
    TEntryPtr unmasked(CImageLoader::Decode(bmp.data(), bmp.size(), 0x00FF00FF));
    TEntryPtr masked(CImageLoader::Decode(bmp.data(), bmp.size(), 0xFFFF00FF));
    ASSERT_TRUE(unmasked && masked);
    EXPECT_FALSE(unmasked->hasAlpha);
    EXPECT_TRUE(masked->hasAlpha);
    EXPECT_EQ(ImagePixel(*masked, 0, 0), 0u);
    EXPECT_EQ(ImagePixel(*masked, 1, 0), 0xFF102030u);
}

TEST(ImageDecode, ColorTextsGiveOnePixel)
{
    struct TCase
    {
        const wchar_t* text;
        DWORD pixel;
        bool hasAlpha;
    } cases[] = {
        {L"#80FF0000", 0x80800000, true},  // premultiplied
        {L"#FF0000", 0x00000000, true},    // six digits: alpha 0
        {L"#FF00FF00", 0xFF00FF00, false},
        {L"FF102030", 0xFF102030, false},     // the "#" is optional
        {L"#FF1020zz", 0x00000000, true},     // reading stops at "z": 0x00FF1020, alpha 0
        {L"#1FFFFFFFFF", 0xFFFFFFFF, false},  // too many digits saturate
        {L"", 0x00000000, true},
        {L"blue", 0x00000000, true},  // nothing readable
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.text);
        TEntryPtr entry(CImageLoader::FromColorText(c.text, 0));
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->width, 1);
        EXPECT_EQ(entry->height, 1);
        EXPECT_EQ(ImagePixel(*entry, 0, 0), c.pixel);
        EXPECT_EQ(entry->hasAlpha, c.hasAlpha);
    }
    // Through the skin loader, with the type that marks colour texts.
    TEntryPtr viaSkin(CManagerUI::LoadSkinImage(L"#80FF0000", kColorImageType, 0));
    ASSERT_TRUE(viaSkin);
    EXPECT_EQ(ImagePixel(*viaSkin, 0, 0), 0x80800000u);
}

TEST(ImageDecode, BadBytesGiveNoImageAndSayWhy)
{
    std::vector<BYTE> png = EncodePng(2, 2, MakeRgba(2, 2, PartlyTransparent));
    std::vector<BYTE> truncated(png.begin(), png.begin() + png.size() / 2);
    std::vector<BYTE> corrupt = png;
    for (size_t i = 16; i < corrupt.size(); ++i)  // keep the signature, wreck the chunks
        corrupt[i] = static_cast<BYTE>(i * 37);
    const char garbage[] = "not an image at all";
    struct TCase
    {
        const char* what;
        const void* data;
        size_t size;
    } cases[] = {
        {"null", NULL, 0},
        {"empty", png.data(), 0},
        {"garbage", garbage, sizeof(garbage)},
        {"truncated png", truncated.data(), truncated.size()},
        {"corrupt png", corrupt.data(), corrupt.size()},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CUIString error;
        TImageEntry* entry = CImageLoader::Decode(c.data, c.size, 0, &error);
        EXPECT_EQ(entry, nullptr);
        CImageLoader::Free(entry, true);
        EXPECT_FALSE(error.IsEmpty());
    }
}

TEST(ImageDecode, OversizedPixelCountIsRefused)
{
    BYTE pixel[4] = {1, 2, 3, 4};
    CUIString error;
    EXPECT_EQ(CImageLoader::FromRgba(pixel, 0x8000, 0x8000, 0, &error), nullptr);  // 4 GiB of pixels
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_EQ(CImageLoader::FromRgba(pixel, 0, 1, 0), nullptr);
    EXPECT_EQ(CImageLoader::FromRgba(pixel, 1, -1, 0), nullptr);
}

TEST(ImageDecode, FreeReleasesTheBitmap)
{
    CRenderer::FreeImage(NULL, true);  // nothing to do
    TImageEntry* entry = CImageLoader::FromColorText(L"#FF000000", 0);
    ASSERT_NE(entry, nullptr);
    HBITMAP bitmap = entry->bitmap;
    CRenderer::FreeImage(entry, false);
    EXPECT_EQ(entry->bitmap, nullptr);
    EXPECT_EQ(GetObjectType(bitmap), 0u);  // deleted
    CRenderer::FreeImage(entry, true);
}

// The skin locations are process-wide: point them at a folder of our own and
// put them back afterwards.
class ImageLoadFromSkin : public testing::Test
{
protected:
    CSkinFolder m_folder{L"image_skin"};
};

TEST_F(ImageLoadFromSkin, FilesAreDecodedAndFailuresGiveNothing)
{
    std::wstring path = m_folder.Write(L"a.png", EncodePng(2, 2, MakeRgba(2, 2, PartlyTransparent)));
    m_folder.Write(L"empty.png", std::vector<BYTE>());
    m_folder.Write(L"junk.png", std::vector<BYTE>(100, 0x5A));

    TEntryPtr fromSkin(CManagerUI::LoadSkinImage(L"a.png"));
    ASSERT_TRUE(fromSkin);
    EXPECT_EQ(ImagePixel(*fromSkin, 1, 0), 0x80808080u);

    // A type the executable has no resource of: the name is read as a path.
    TEntryPtr asPath(CManagerUI::LoadSkinImage(path.c_str(), L"PNG"));
    ASSERT_TRUE(asPath);
    EXPECT_EQ(asPath->width, 2);

    // The mask is passed through to the decoder.
    TEntryPtr masked(CManagerUI::LoadSkinImage(L"a.png", NULL, 0xFFFF0000));
    ASSERT_TRUE(masked);
    EXPECT_EQ(ImagePixel(*masked, 0, 0), 0u);

    for (const wchar_t* name : {L"missing.png", L"empty.png", L"junk.png"})
    {
        SCOPED_TRACE(testing::Message() << name);
        TImageEntry* entry = CManagerUI::LoadSkinImage(name);
        EXPECT_EQ(entry, nullptr);
        CRenderer::FreeImage(entry);
    }
    // An integer identifier without such a resource gives nothing.
    EXPECT_EQ(CManagerUI::LoadSkinImage(CUIStringOrId(static_cast<WORD>(130)), L"PNG"), nullptr);
}

}  // namespace
