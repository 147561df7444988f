#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/Canvas.h"
#include "tests/support/Describe.h"
#include "tests/support/Images.h"
#include "ui/render/MsImg32.h"
#include "ui/render/Renderer.h"

namespace
{

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

TEST(ImageDescriptorGrammar, Table)
{
    struct TCase
    {
        const wchar_t* text;
        const wchar_t* name;
        const wchar_t* type;  // null: no type passed
        DWORD mask;
        RECT dest, source, corner;
        BYTE fade;
        bool hole, xtiled, ytiled;
    } cases[] = {
        {L"bk.png", L"bk.png", NULL, 0, {}, {}, {}, 255, false, false, false},
        {L"file='a.png' dest='10,10,30,30'",
         L"a.png",
         NULL,
         0,
         {10, 10, 30, 30},
         {},
         {},
         255,
         false,
         false,
         false},
        // two blanks between pairs are fine; a comma ends the descriptor
        {L"file='a.png'  fade='128'", L"a.png", NULL, 0, {}, {}, {}, 128, false, false, false},
        {L"file='a.png',fade='128'", L"a.png", NULL, 0, {}, {}, {}, 255, false, false, false},
        {L"file='a.png' fade='300'", L"a.png", NULL, 0, {}, {}, {}, 44, false, false, false},
        {L"file = 'a.png' source='0, 0, 80, 24' corner='4,4,4,4'",
         L"a.png",
         NULL,
         0,
         {},
         {0, 0, 80, 24},
         {4, 4, 4, 4},
         255,
         false,
         false,
         false},
        {L"file='a.png' scale9='1;2;3;4'", L"a.png", NULL, 0, {}, {}, {1, 2, 3, 4}, 255, false, false, false},
        // numbers: missing ones are 0, signs and blanks allowed; an unreadable
        // one is 0 and uses up only its one separator character
        {L"file='a.png' source='5,6'", L"a.png", NULL, 0, {}, {5, 6, 0, 0}, {}, 255, false, false, false},
        {L"file='a.png' dest='x,-2,7,8'", L"a.png", NULL, 0, {0, 0, -2, 7}, {}, {}, 255, false, false, false},
        {L"file='a.png' hole='true' xtiled='TRUE' ytiled='true' hsl='true'",
         L"a.png",
         NULL,
         0,
         {},
         {},
         {},
         255,
         true,
         false,
         true},
        {L"file='a.png' mask='#FFFF00FF'", L"a.png", NULL, 0xFFFF00FF, {}, {}, {}, 255, false, false, false},
        {L"file='a.png' mask='ff00ff'", L"a.png", NULL, 0x00FF00FF, {}, {}, {}, 255, false, false, false},
        // resources and colours: "color" and "restype" share the type, "file", "res" and "color" the name
        {L"res='130' restype='PNG'", L"130", L"PNG", 0, {}, {}, {}, 255, false, false, false},
        {L"res='logo'", L"logo", L"", 0, {}, {}, {}, 255, false, false, false},
        {L"restype='PNG' file='a.png'", L"a.png", NULL, 0, {}, {}, {}, 255, false, false, false},
        {L"color='#80FF0000'", L"#80FF0000", L"*COLOR*", 0, {}, {}, {}, 255, false, false, false},
        {L"color='#FF00FF00' restype='PNG'", L"#FF00FF00", L"PNG", 0, {}, {}, {}, 255, false, false, false},
        {L"file='a.png' file='b.png'", L"b.png", NULL, 0, {}, {}, {}, 255, false, false, false},
        // keys are case-sensitive, unknown keys and empty values are ignored
        {L"File='a.png'", L"File='a.png'", NULL, 0, {}, {}, {}, 255, false, false, false},
        {L"file='' dest='1,2,3,4'",
         L"file='' dest='1,2,3,4'",
         NULL,
         0,
         {1, 2, 3, 4},
         {},
         {},
         255,
         false,
         false,
         false},
        {L"size='9' file='a.png'", L"a.png", NULL, 0, {}, {}, {}, 255, false, false, false},
        // malformed pairs stop parsing; what was read keeps its effect
        {L"file='a.png", L"file='a.png", NULL, 0, {}, {}, {}, 255, false, false, false},
        {L"fade='9' file", L"fade='9' file", NULL, 0, {}, {}, {}, 9, false, false, false},
        {L"fade='9' file=a.png", L"fade='9' file=a.png", NULL, 0, {}, {}, {}, 9, false, false, false},
        {L"file='a.png' ", L"a.png", NULL, 0, {}, {}, {}, 255, false, false, false},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.text);
        TDrawSpec descriptor;
        descriptor.drawString = c.text;
        TImageRequest request = descriptor.Parse();
        EXPECT_TRUE(request.name == c.name) << request.name.GetData();
        EXPECT_EQ(request.hasType, c.type != NULL);
        if (c.type != NULL)
        {
            EXPECT_TRUE(request.type == c.type) << request.type.GetData();
        }
        EXPECT_EQ(request.mask, c.mask);
        EXPECT_TRUE(SameRect(descriptor.dest, c.dest)) << Show(descriptor.dest);
        EXPECT_TRUE(SameRect(descriptor.source, c.source)) << Show(descriptor.source);
        EXPECT_TRUE(SameRect(descriptor.corner, c.corner)) << Show(descriptor.corner);
        EXPECT_EQ(descriptor.fade, c.fade);
        EXPECT_EQ(descriptor.hole, c.hole);
        EXPECT_EQ(descriptor.xtiled, c.xtiled);
        EXPECT_EQ(descriptor.ytiled, c.ytiled);
    }
}

// Image tables of our own: images made on request (with the mask asked for),
// kept by name as the manager keeps them, colour texts decoded for real.
class CFakeImages : public IImageLookup
{
public:
    void Add(const wchar_t* name, int width, int height, std::function<DWORD(int, int)> pixel)
    {
        m_recipes[name] = TRecipe{width, height, pixel};
    }

    TImageEntry* GetImageOrAdd(LPCWSTR name, LPCWSTR type, DWORD mask) override
    {
        ++calls;
        lastType = type != NULL ? type : L"(none)";
        lastMask = mask;
        TEntryPtr& entry = m_loaded[name];
        if (entry)
            return entry.get();
        if (CImageLoader::IsColorType(type))
            entry.reset(CImageLoader::FromColorText(name, mask));
        else if (m_recipes.count(name) != 0)
        {
            const TRecipe& recipe = m_recipes[name];
            entry = MakeImage(recipe.width, recipe.height, recipe.pixel, mask);
        }
        return entry.get();
    }

    int calls = 0;
    std::wstring lastType;
    DWORD lastMask = 0;

private:
    struct TRecipe
    {
        int width, height;
        std::function<DWORD(int, int)> pixel;
    };
    std::map<std::wstring, TRecipe> m_recipes;
    std::map<std::wstring, TEntryPtr> m_loaded;
};

DWORD Red(int, int)
{
    return 0xFFFF0000;
}

const RECT kNoPaintLimit = {-10000, -10000, 10000, 10000};

TEST(DrawImageSpec, ParsesOnceAndNeverRetriesAFailure)
{
    CFakeImages images;
    images.Add(L"a.png", 20, 10, Red);
    RECT item = {0, 0, 40, 40};

    TDrawSpec found;
    found.drawString = L"file='a.png' source='0,0,500,500'";
    EXPECT_TRUE(CRenderer::DrawImageSpec(NULL, &images, item, item, found));  // no DC: parse and load only
    EXPECT_TRUE(found.parsed);
    ASSERT_NE(found.image, nullptr);
    EXPECT_TRUE(found.imageName == L"a.png");
    RECT clamped = {0, 0, 20, 10};  // the source never passes the image
    EXPECT_TRUE(SameRect(found.source, clamped)) << Show(found.source);
    found.dest.left = 99;  // a second call works on the record as it is, unparsed
    EXPECT_TRUE(CRenderer::DrawImageSpec(NULL, &images, item, item, found));
    EXPECT_EQ(found.dest.left, 99);
    EXPECT_EQ(images.calls, 1);

    TDrawSpec missing;
    missing.drawString = L"file='gone.png'";
    EXPECT_FALSE(CRenderer::DrawImageSpec(NULL, &images, item, item, missing));
    EXPECT_FALSE(CRenderer::DrawImageSpec(NULL, &images, item, item, missing));
    EXPECT_EQ(images.calls, 2);
    missing.Clear();  // only clearing allows another attempt
    missing.drawString = L"a.png";
    EXPECT_TRUE(CRenderer::DrawImageSpec(NULL, &images, item, item, missing));
    EXPECT_EQ(images.calls, 3);
    RECT whole = {0, 0, 20, 10};
    EXPECT_TRUE(SameRect(missing.source, whole));

    TDrawSpec empty;
    EXPECT_FALSE(CRenderer::DrawImageSpec(NULL, &images, item, item, empty));
    EXPECT_TRUE(empty.parsed);
    EXPECT_EQ(images.calls, 3);

    // Setting the same text again keeps the found image; a failed one, or
    // another text, starts over.
    EXPECT_FALSE(found.Assign(L"file='a.png' source='0,0,500,500'"));
    EXPECT_EQ(found.dest.left, 99);
    EXPECT_TRUE(empty.Assign(NULL));
    EXPECT_FALSE(empty.parsed);
    EXPECT_TRUE(missing.Assign(L"b.png"));
    EXPECT_FALSE(missing.parsed);
    EXPECT_EQ(missing.image, nullptr);
    EXPECT_EQ(missing.source.right, 0);

    // Without a manager there is nothing to draw, and that is no failure.
    TDrawSpec unmanaged;
    unmanaged.drawString = L"a.png";
    EXPECT_TRUE(CRenderer::DrawImageSpec(NULL, NULL, item, item, unmanaged));
    EXPECT_FALSE(unmanaged.parsed);
}

TEST(DrawImageSpec, PassesTypeAndMaskOnlyWhereTheDescriptorGivesThem)
{
    CFakeImages images;
    images.Add(L"a.png", 1, 1, Red);
    RECT item = {0, 0, 1, 1};
    struct TCase
    {
        const wchar_t* text;
        const wchar_t* type;
        DWORD mask;
    } cases[] = {
        {L"a.png", L"(none)", 0},
        {L"file='b.png' restype='PNG' mask='#FF00FF00'", L"(none)", 0xFF00FF00},
        {L"res='b.png' restype='PNG'", L"PNG", 0},
        {L"color='#FF00FF00'", L"*COLOR*", 0},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.text);
        TDrawSpec descriptor;
        descriptor.drawString = c.text;
        CRenderer::DrawImageSpec(NULL, &images, item, item, descriptor);
        EXPECT_EQ(images.lastType, c.type);
        EXPECT_EQ(images.lastMask, c.mask);
    }
}

TEST(DrawImageSpec, DestinationIsRelativeToTheItemAndCutAtItsEdges)
{
    CFakeImages images;
    images.Add(L"a.png", 20, 20, Red);
    const RECT item = {100, 50, 200, 150};
    struct TCase
    {
        const wchar_t* text;
        RECT painted;
    } cases[] = {
        {L"a.png", {100, 50, 200, 150}},
        {L"file='a.png' dest='10,10,30,30'", {110, 60, 130, 80}},
        {L"file='a.png' dest='10,10,500,30'", {110, 60, 200, 80}},
        {L"file='a.png' dest='90,95,120,500'", {190, 145, 200, 150}},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.text);
        CCanvas canvas(220, 170);
        TDrawSpec descriptor;
        descriptor.drawString = c.text;
        EXPECT_TRUE(CRenderer::DrawImageSpec(canvas.Dc(), &images, item, kNoPaintLimit, descriptor));
        for (int y = 40; y < 170; y += 1)
            for (int x = 90; x < 220; x += 1)
            {
                POINT pt = {x, y};
                DWORD expected = PtInRect(&c.painted, pt) ? 0xFF0000 : 0xFFFFFF;
                ASSERT_EQ(canvas.Rgb(x, y), expected) << x << "," << y;
            }
    }

    // A destination outside the item or the paint area draws nothing.
    CCanvas canvas(220, 170);
    TDrawSpec outside;
    outside.drawString = L"file='a.png' dest='100,0,120,20'";
    EXPECT_TRUE(CRenderer::DrawImageSpec(canvas.Dc(), &images, item, kNoPaintLimit, outside));
    TDrawSpec unpainted;
    unpainted.drawString = L"a.png";
    RECT paint = {0, 0, 100, 50};
    EXPECT_TRUE(CRenderer::DrawImageSpec(canvas.Dc(), &images, item, paint, unpainted));
    for (int y = 0; y < 170; y += 5)
        for (int x = 0; x < 220; x += 5)
            ASSERT_EQ(canvas.Rgb(x, y), 0xFFFFFFu) << x << "," << y;
}

TEST(DrawImageSpec, SourcePartFadeMaskAndColour)
{
    const RECT item = {0, 0, 10, 4};
    struct TCase
    {
        const wchar_t* text;
        std::function<DWORD(int)> expectedAtX;  // over a white canvas, the same on every row
    } cases[] = {
        {L"file='strip.png' source='10,0,20,1'", [](int x) -> DWORD { return (x + 10) * 10u << 16; }},
        {L"file='strip.png' source='0,0,10,1' mask='#FFFF00FF'",
         [](int x) -> DWORD { return x == 3 ? 0xFFFFFF : x * 10u << 16; }},
        {L"file='strip.png' source='0,0,10,1' mask='FF00FF'",
         [](int x) -> DWORD { return x == 3 ? 0xFF00FF : x * 10u << 16; }},
        // source × fade ÷ 255 + white × (1 − fade ÷ 255)
        {L"file='red.png' fade='128'", [](int) -> DWORD { return 0xFF7F7F; }},
        {L"file='red.png' fade='300'", [](int) -> DWORD { return 0xFFD3D3; }},
        {L"file='red.png' fade='0'", [](int) -> DWORD { return 0xFFFFFF; }},
        {L"color='#FF00FF00'", [](int) -> DWORD { return 0x00FF00; }},
        {L"color='#00FF00'", [](int) -> DWORD { return 0xFFFFFF; }},
        {L"color='#80000000'", [](int) -> DWORD { return 0x7F7F7F; }},
    };
    for (bool alphaBlendMissing : {false, true})
        for (const TCase& c : cases)
        {
            SCOPED_TRACE(testing::Message() << c.text << (alphaBlendMissing ? " (fallback)" : ""));
            CMsImg32Missing missing(alphaBlendMissing, false);
            // Fresh tables each time: a loaded name keeps the mask it was loaded with.
            CFakeImages images;
            // Column x has red 10·x; column 3 is opaque magenta, for the mask.
            images.Add(L"strip.png", 30, 1, [](int x, int) -> DWORD {
                return x == 3 ? 0xFFFF00FF : 0xFF000000u | (x * 10u << 16);
            });
            images.Add(L"red.png", 4, 4, Red);
            CCanvas canvas(10, 4);
            TDrawSpec descriptor;
            descriptor.drawString = c.text;
            EXPECT_TRUE(CRenderer::DrawImageSpec(canvas.Dc(), &images, item, item, descriptor));
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 10; ++x)
                    ASSERT_TRUE(NearColor(canvas.Rgb(x, y), c.expectedAtX(x), 1))
                        << std::hex << canvas.Rgb(x, y) << " at " << std::dec << x << "," << y;
        }
}

}  // namespace
