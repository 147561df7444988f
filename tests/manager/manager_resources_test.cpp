#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ui/controls/Container.h"
#include "ui/manager/Manager.h"

namespace
{
// Resets what a test changed in the process-wide set.
class SharedResources : public ::testing::Test
{
protected:
    void TearDown() override
    {
        CManagerUI scratch;
        scratch.RemoveAllFonts(true);
        scratch.RemoveAllDefaultAttributeLists(true);
        TResourceSet& shared = CManagerUI::SharedResources();
        shared.linkFontColor = 0xFF0000FF;
    }
};

std::wstring FaceOf(HFONT font)
{
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof(lf), &lf);
    return lf.lfFaceName;
}
}  // namespace

TEST_F(SharedResources, FontLookupTriesTheWindowThenTheSharedSetThenTheDefault)
{
    CManagerUI first, second;
    HFONT sharedFont = first.AddFont(1, L"Arial", 12, false, false, false, true);
    HFONT ownFont = first.AddFont(1, L"Tahoma", 14, true, false, false);
    ASSERT_NE(sharedFont, nullptr);
    ASSERT_NE(ownFont, nullptr);

    EXPECT_EQ(first.GetFont(1), ownFont);
    EXPECT_EQ(second.GetFont(1), sharedFont);
    EXPECT_EQ(first.FindFont(L"Arial", 12, false, false, false), sharedFont);
    EXPECT_EQ(first.FindFont(L"arial", 12, false, false, false), nullptr);  // face match is exact
    EXPECT_EQ(first.GetFontInfoByHandle(ownFont)->size, 14);

    // Negative and unknown ids give the default: the shared one until the window sets its own.
    HFONT sharedDefault = CManagerUI::SharedResources().defaultFont.font;
    EXPECT_EQ(first.GetFont(-1), sharedDefault);
    EXPECT_EQ(first.GetFont(99), sharedDefault);
    first.SetDefaultFont(L"Courier New", 20, false, false, false);
    EXPECT_NE(first.GetFont(99), sharedDefault);
    EXPECT_EQ(first.GetDefaultFontInfo()->size, 20);
    EXPECT_GT(first.GetDefaultFontInfo()->metrics.tmHeight, 0);
    EXPECT_EQ(second.GetFont(-1), sharedDefault);
}

TEST_F(SharedResources, ASecondFontWithTheSameIdReplacesAndDeletesTheFirst)
{
    CManagerUI manager;
    HFONT firstFont = manager.AddFont(3, L"Arial", 12, false, false, false);
    HFONT secondFont = manager.AddFont(3, L"Arial", 18, false, true, false);
    ASSERT_NE(secondFont, nullptr);
    EXPECT_EQ(::GetObjectType(firstFont), 0u);
    EXPECT_EQ(manager.GetFont(3), secondFont);
    EXPECT_TRUE(manager.GetFontInfo(3)->underline);
}

TEST_F(SharedResources, OverlongFaceNamesAreCutToFitTheFontRecord)
{
    CManagerUI manager;
    const std::wstring longFace(40, L'F');
    HFONT font = manager.AddFont(4, longFace.c_str(), 12, false, false, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(FaceOf(font), std::wstring(31, L'F'));
}

TEST_F(SharedResources, DefaultAttributeListsFallBackToTheSharedSet)
{
    CManagerUI first, second;
    first.AddDefaultAttributeList(L"Button", L"height=\"20\"", true);
    first.AddDefaultAttributeList(L"Button", L"height=\"30\"");
    first.AddDefaultAttributeList(L"Button", L"height=\"40\"");  // replaces the window's own
    EXPECT_STREQ(first.GetDefaultAttributeList(L"Button"), L"height=\"40\"");
    EXPECT_STREQ(second.GetDefaultAttributeList(L"Button"), L"height=\"20\"");
    EXPECT_EQ(second.GetDefaultAttributeList(L"Label"), nullptr);

    // A manager told to share files everything it adds in the shared set.
    second.SetForceSharedResources(true);
    second.AddDefaultAttributeList(L"Label", L"text=\"x\"");
    EXPECT_STREQ(first.GetDefaultAttributeList(L"Label"), L"text=\"x\"");
}

TEST_F(SharedResources, ASharedColourChangeReachesOnlyWindowsThatKeptTheDefault)
{
    CManagerUI overriding, following;
    EXPECT_EQ(following.GetDefaultLinkFontColor(), 0xFF0000FFu);
    overriding.SetDefaultLinkFontColor(0xFF112233);

    following.SetDefaultLinkFontColor(0xFF00FF00, true);
    EXPECT_EQ(following.GetDefaultLinkFontColor(), 0xFF00FF00u);
    EXPECT_EQ(overriding.GetDefaultLinkFontColor(), 0xFF112233u);
    EXPECT_EQ(CManagerUI::SharedResources().linkFontColor, 0xFF00FF00u);

    CManagerUI later;  // new windows start from the shared colours
    EXPECT_EQ(later.GetDefaultLinkFontColor(), 0xFF00FF00u);
}

TEST(LanguageTokens, KnownTokensAreReplacedOnceAndEverythingElseStays)
{
    CManagerUI::AddMultiLanguageString(12, L"Install");
    CManagerUI::AddMultiLanguageString(0, L"zero");
    CManagerUI::AddMultiLanguageString(7, L"again %{7} and %{12}");
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"%{12}", L"Install"},
        {L"Press %{12} to %{12}.", L"Press Install to Install."},
        {L"%{x}", L"%{x}"},
        {L"%{12", L"%{12"},
        {L"%{99}", L"%{99}"},
        {L"%{}", L"zero"},
        {L"%%{12}", L"%Install"},
        {L"100% {12}", L"100% {12}"},
        // A string containing its own token is inserted once, not for ever.
        {L"<%{7}>", L"<again %{7} and %{12}>"},
        {L"", L""},
    };
    for (const Case& c : cases)
    {
        CUIString text(c.text);
        CManagerUI::ResolveLanguageTokens(text);
        EXPECT_STREQ(text.GetData(), c.expected) << static_cast<const wchar_t*>(c.text);
    }
    EXPECT_EQ(CManagerUI::GetMultiLanguageString(5), nullptr);
}

TEST(OptionGroups, AnOptionJoinsAGroupOnceAndAnEmptyGroupIsDropped)
{
    CManagerUI manager;
    CControlUI a, b;
    EXPECT_TRUE(manager.AddOptionGroup(L"g", &a));
    EXPECT_TRUE(manager.AddOptionGroup(L"g", &b));
    EXPECT_FALSE(manager.AddOptionGroup(L"g", &a));
    EXPECT_FALSE(manager.AddOptionGroup(NULL, &a));
    EXPECT_FALSE(manager.AddOptionGroup(L"g", NULL));
    ASSERT_NE(manager.GetOptionGroup(L"g"), nullptr);
    EXPECT_EQ(manager.GetOptionGroup(L"g")->GetSize(), 2);

    manager.RemoveOptionGroup(L"g", &a);
    manager.RemoveOptionGroup(L"g", &b);
    EXPECT_EQ(manager.GetOptionGroup(L"g"), nullptr);
}
