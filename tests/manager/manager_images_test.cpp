#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/Canvas.h"
#include "tests/support/Images.h"
#include "tests/support/SkinFolder.h"
#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"

namespace
{
// A skin directory of its own, with images written by the test; the skin
// locations and the current directory are restored afterwards.
class ManagerImages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_skin.reset(new CSkinFolder(L"manager_images_"));
        m_dir = m_skin->Path();
        wchar_t cwd[MAX_PATH];
        ::GetCurrentDirectoryW(MAX_PATH, cwd);
        m_oldCwd = cwd;
    }

    void TearDown() override
    {
        ::SetCurrentDirectoryW(m_oldCwd.c_str());
        m_skin.reset();
        CManagerUI scratch;
        scratch.RemoveAllImages(true);
    }

    // A width x height PNG of one straight colour given as 0xRRGGBBAA.
    void WritePng(const wchar_t* name, int width, int height, DWORD rgba)
    {
        const DWORD argb = (rgba & 0xFF) << 24 | rgba >> 8;
        const std::vector<BYTE> png =
            EncodePng(width, height, MakeRgba(width, height, [argb](int, int) { return argb; }));
        ASSERT_TRUE(WriteFileBytes(m_dir + name, png.data(), png.size()));
    }

    std::unique_ptr<CSkinFolder> m_skin;
    std::wstring m_dir;
    std::wstring m_oldCwd;
};
}  // namespace

TEST_F(ManagerImages, ImagesAreLookedUpPerWindowThenShared)
{
    WritePng(L"a.png", 2, 2, 0xFF0000FF);
    WritePng(L"b.png", 3, 3, 0x00FF00FF);
    CManagerUI first, second;
    TImageEntry* own = first.AddImage(L"a.png");
    TImageEntry* shared = first.AddImage(L"b.png", NULL, 0, true);
    ASSERT_NE(own, nullptr);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(own->width, 2);
    EXPECT_TRUE(own->resType.IsEmpty());

    EXPECT_EQ(first.GetImage(L"a.png"), own);
    EXPECT_EQ(second.GetImage(L"a.png"), nullptr);
    EXPECT_EQ(second.GetImage(L"b.png"), shared);

    // GetImageOrAdd files what it loads in the window's own table.
    TImageEntry* loaded = second.GetImageOrAdd(L"a.png", NULL, 0);
    ASSERT_NE(loaded, nullptr);
    EXPECT_NE(loaded, own);
    EXPECT_EQ(first.GetImageOrAdd(L"a.png", NULL, 0), own);

    EXPECT_EQ(first.AddImage(L"missing.png"), nullptr);
    EXPECT_EQ(first.AddImage(L""), nullptr);
    EXPECT_EQ(first.AddImage(NULL), nullptr);
}

TEST_F(ManagerImages, RedeclaringAnImageKeepsTheEntryThatDescriptorsPointAt)
{
    WritePng(L"bk.png", 4, 4, 0xFF0000FF);
    CManagerUI manager;
    TDrawSpec descriptor;
    descriptor.drawString = L"bk.png";
    const RECT none = {};
    ASSERT_TRUE(CRenderer::DrawImageSpec(NULL, &manager, none, none, descriptor));
    ASSERT_NE(descriptor.image, nullptr);
    TImageEntry* drawn = descriptor.image;
    HBITMAP oldBitmap = drawn->bitmap;

    WritePng(L"bk2.png", 6, 5, 0x00FF00FF);  // opaque green
    ::MoveFileExW((m_dir + L"bk2.png").c_str(), (m_dir + L"bk.png").c_str(), MOVEFILE_REPLACE_EXISTING);
    TImageEntry* replaced = manager.AddImage(L"bk.png", NULL, 0x12345678);
    ASSERT_EQ(replaced, drawn);
    EXPECT_EQ(descriptor.image->width, 6);
    EXPECT_EQ(descriptor.image->height, 5);
    EXPECT_EQ(descriptor.image->mask, 0x12345678u);
    EXPECT_EQ(ImagePixel(*descriptor.image, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(::GetObjectType(oldBitmap), 0u);
    EXPECT_EQ(static_cast<DWORD>(::GetObjectType(descriptor.image->bitmap)), static_cast<DWORD>(OBJ_BITMAP));

    // A failed reload leaves the entry as it was.
    EXPECT_EQ(manager.AddImage(L"bk.png", L"NOSUCHTYPE"), nullptr);
    EXPECT_EQ(manager.GetImage(L"bk.png"), drawn);
    EXPECT_EQ(drawn->width, 6);
}

TEST_F(ManagerImages, ColourNamesStayTextEvenWhenTheyStartWithADigit)
{
    CManagerUI manager;
    TImageEntry* colour = manager.AddImage(L"80FF0000", L"*COLOR*");
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->width, 1);
    EXPECT_EQ(ImagePixel(*colour, 0, 0), 0x80800000u);  // premultiplied red at half alpha
    EXPECT_EQ(colour->resType, L"*COLOR*");
}

TEST_F(ManagerImages, ANumberedResourceNeverFallsBackToAFileOfThatName)
{
    // "130" exists as a file both in the skin directory and the current directory.
    WritePng(L"130", 2, 2, 0xFFFFFFFF);
    ::SetCurrentDirectoryW(m_dir.c_str());
    CManagerUI manager;
    EXPECT_EQ(manager.AddImage(L"130", L"PNG"), nullptr);
    // Without a type the same name is a skin file.
    EXPECT_NE(manager.AddImage(L"130"), nullptr);
}

TEST_F(ManagerImages, TheLayeredImageIsLoadedWhenSet)
{
    WritePng(L"layer.png", 3, 2, 0x80808080);
    CManagerUI manager;
    manager.SetWindowAttribute(L"layeredimage", L"layer.png");
    ASSERT_NE(manager.GetLayeredImage().image, nullptr);
    EXPECT_EQ(manager.GetLayeredImage().image, manager.GetImage(L"layer.png"));
    EXPECT_TRUE(manager.GetLayeredImage().image->hasAlpha);
    EXPECT_FALSE(manager.IsLayered());  // no window to layer
}
