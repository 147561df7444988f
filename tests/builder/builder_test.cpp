#include "ui/builder/LayoutBuilder.h"

#include "tests/builder/builder_test_support.h"
#include "tests/support/SkinFolder.h"
#include "ui/markup/ResourceLocations.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{

std::wstring Text(LPCWSTR p)
{
    return p != NULL ? std::wstring(p) : std::wstring(L"(null)");
}

// Builds xml without manager or parent and describes the result; the tree is deleted.
std::wstring BuildDescribed(const std::wstring& xml)
{
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(xml.c_str());
    std::wstring described = DescribeTree(root);
    if (root != NULL)
        root->Delete();
    return described;
}

// Each test gets its own skin directory, left unset again afterwards.
class BuilderFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_skin.reset(new CSkinFolder(L"builder"));
        m_dir = m_skin->Path();
    }
    void TearDown() override { m_skin.reset(); }

    void WriteSkinFile(const std::wstring& name, const std::string& bytes)
    {
        HANDLE file = ::CreateFileW((m_dir + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
        ::CloseHandle(file);
        ASSERT_EQ(written, bytes.size());
    }

    std::unique_ptr<CSkinFolder> m_skin;
    std::wstring m_dir;
};

}  // namespace

// ---- Tag table and tree shape ----

TEST(BuilderTags, ElementNamesMatchTheTableIgnoringCase)
{
    const struct
    {
        LPCWSTR tag;
        LPCWSTR className;  // null: no control
    } cases[] = {
        {L"Control", L"Control"},
        {L"control", L"Control"},
        {L"CONTROL", L"Control"},
        {L"Container", L"Container"},
        {L"cOnTaInEr", L"Container"},
        {L"vbox", L"VerticalLayout"},
        {L"VBOX", L"VerticalLayout"},
        {L"VerticalLayout", L"VerticalLayout"},
        {L"hBox", L"HorizontalLayout"},
        {L"horizontallayout", L"HorizontalLayout"},
        {L"scrollbar", L"ScrollBar"},
        {L"label", L"Label"},
        {L"TEXT", L"Text"},
        {L"Button", L"Button"},
        {L"option", L"Option"},
        {L"checkbox", L"CheckBox"},
        {L"Check", NULL},
        {L"RichEdit", L"RichEdit"},
        {L"richedit", L"RichEdit"},
        {L"Frobnicate", NULL},
        {L"Contro", NULL},
        {L"ControlX", NULL},
        {L"", NULL},
        {L"Window", NULL},
        {L"Include", NULL},
        // Only ASCII letters fold: a dotted capital I or a Cyrillic letter is no "i" or "t".
        {L"L\u0130st", NULL},
        {L"Tex\u0442", NULL},
        {L"LIST", L"List"},
    };
    for (const auto& c : cases)
    {
        CControlUI* control = CLayoutBuilder::CreateControl(c.tag);
        EXPECT_EQ(Text(control != NULL ? control->GetClassName() : NULL), Text(c.className)) << Text(c.tag);
        if (control != NULL)
            control->Delete();
    }
}

TEST(Builder, BuildsTheFirstControlBelowTheRootWithItsSubtreeInOrder)
{
    const struct
    {
        LPCWSTR xml;
        LPCWSTR tree;
    } cases[] = {
        {L"<Window><CONTAINER name=\"box\"><control name=\"a\"/><container name=\"inner\"><Control "
         L"name=\"b\"/>"
         L"</container><Control/></CONTAINER></Window>",
         L"Container#box{Control#a Container#inner{Control#b} Control}"},
        // An unknown element is skipped with everything inside it.
        {L"<Window><Frobnicate><Control name=\"lost\"/></Frobnicate><Container><Frobnicate name=\"x\">"
         L"<Container><Control name=\"lost\"/></Container></Frobnicate><Control "
         L"name=\"kept\"/></Container></Window>",
         L"Container{Control#kept}"},
        // Resource elements below the root build nothing; elsewhere they are skipped as well.
        {L"<Skin><Font id=\"1\" name=\"Arial\"/><Container><Image name=\"x.png\"/><Default name=\"a\" "
         L"value=\"b\"/>"
         L"<Control/></Container></Skin>",
         L"Container{Control}"},
        // A child marked cover="true", exactly so, becomes the parent's cover.
        {L"<W><Container><Control name=\"c\" cover=\"true\"/><Control name=\"d\" "
         L"cover=\"True\"/></Container></W>",
         L"Container[Control#c]{Control#d}"},
        // A parent that cannot hold children ends its level: nothing below it stays.
        {L"<W><Container><Control name=\"a\"/><Control name=\"b\"><Control "
         L"name=\"lost\"/><Control/></Control>"
         L"<Control name=\"c\"/></Container></W>",
         L"Container{Control#a Control#b Control#c}"},
        {L"<W><Container><Label name=\"l\"><Button name=\"lost\"/></Label><Button "
         L"name=\"b\"/></Container></W>",
         L"Container{Label#l Button#b}"},
        // Without a parent only the first control of the root has an owner.
        {L"<W><Control name=\"first\"/><Control name=\"second\"/></W>", L"Control#first"},
        {L"<Window size=\"400,300\"><Font id=\"0\" name=\"Arial\" size=\"14\" default=\"true\"/>"
         L"<VBox><Button name=\"ok\"/></VBox></Window>",
         L"VerticalLayout{Button#ok}"},
        {L"<Window/>", L"(null)"},
        {L"<Window><Frobnicate/><Font id=\"0\" name=\"Arial\"/></Window>", L"(null)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildDescribed(c.xml), c.tree) << Text(c.xml);
}

// What was skipped is reported; the first problem is kept.
TEST(Builder, SkippedElementsAreReported)
{
    const struct
    {
        LPCWSTR xml;
        LPCWSTR reported;
    } cases[] = {
        {L"<W><Container><Frobnicate/><Widget/></Container></W>", L"\"Frobnicate\""},
        {L"<W><Container><Control><Control/></Control></Container></W>", L"\"Control\""},
        {L"<W><Container><Control name=\"a\"/></Container></W>", L""},
    };
    for (const auto& c : cases)
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(c.xml);
        ASSERT_NE(root, nullptr);
        const std::wstring error = Text(builder.GetLastErrorMessage());
        if (c.reported[0] == L'\0')
            EXPECT_EQ(error, L"");
        else
            EXPECT_NE(error.find(c.reported), std::wstring::npos) << error;
        root->Delete();
    }
}

TEST(Builder, BuiltControlsHaveNeitherManagerNorParentUntilAttached)
{
    CTestWindow window;
    CManagerUI manager;
    manager.Init(window.Get());
    CLayoutBuilder builder;
    CControlUI* root =
        builder.Create(L"<Window><Container><Control name=\"ok\"/></Container></Window>", NULL, &manager);
    ASSERT_NE(root, nullptr);
    CControlUI* child = static_cast<IContainerUI*>(root->FindInterface(L"IContainer"))->GetItemAt(0);
    EXPECT_EQ(root->GetManager(), nullptr);
    EXPECT_EQ(child->GetManager(), nullptr);
    EXPECT_EQ(manager.FindControlByName(L"ok"), nullptr);

    ASSERT_TRUE(manager.AttachRoot(root));
    EXPECT_EQ(manager.FindControlByName(L"ok"), child);
    EXPECT_EQ(child->GetParent(), root);
}

// A parent that belongs to a manager already (a tree built into a live
// window) keeps what is built into it attached and named.
TEST(Builder, ControlsBuiltIntoAnAttachedParentStayAttached)
{
    CTestWindow window;
    CManagerUI manager;
    manager.Init(window.Get());
    CContainerUI* host = new CContainerUI;
    ASSERT_TRUE(manager.AttachRoot(host));
    CLayoutBuilder builder;
    CControlUI* late = builder.Create(L"<Part><Control name=\"late\"/></Part>", NULL, &manager, host);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->GetManager(), &manager);
    EXPECT_EQ(late->GetParent(), host);
    EXPECT_EQ(manager.FindControlByName(L"late"), late);
}

// ---- Default attribute lists ----

TEST(Builder, DefaultListsApplyByTheExactElementNameAndOwnAttributesWin)
{
    CManagerUI manager;
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><Default name=\"Control\" value=\"text=&quot;from list&quot; name=&quot;listed&quot;\"/>"
        L"<Container><Control/><control/><Control text=\"own\"/></Container></Window>",
        NULL, &manager);
    ASSERT_NE(root, nullptr);
    IContainerUI* box = static_cast<IContainerUI*>(root->FindInterface(L"IContainer"));
    ASSERT_EQ(box->GetCount(), 3);
    const struct
    {
        LPCWSTR text;
        LPCWSTR name;
    } expected[] = {{L"from list", L"listed"}, {L"", L""}, {L"own", L"listed"}};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(Text(box->GetItemAt(i)->GetText()), expected[i].text) << i;
        EXPECT_EQ(Text(box->GetItemAt(i)->GetName()), expected[i].name) << i;
    }
    EXPECT_EQ(Text(manager.GetDefaultAttributeList(L"control")), L"(null)");
    root->Delete();
}

// ---- Resource elements and the "Window" attributes ----

TEST(BuilderManager, WindowAttributesAndResourceElementsReachTheManager)
{
    CTestWindow window;
    CManagerUI manager;
    manager.Init(window.Get());
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window size=\"400,300\" caption=\"0,0,0,28\" Custom=\"kept\">"
        L"<Font id=\"0\" name=\"Arial\" size=\"14\" default=\"true\"/>"
        L"<FONT ID=\"3\" name=\"Courier New\" NAME=\"Tahoma\" Bold=\"TRUE\"/>"
        L"<Font name=\"No Id\" default=\"true\"/><Font id=\"-1\" name=\"Negative\" default=\"true\"/>"
        L"<Font id=\"4\" default=\"true\"/>"
        L"<Default name=\"Control\" value=\"text=&quot;d&quot;\"/><Default value=\"nameless\"/>"
        L"<MultiLanguage id=\"7\" value=\"seven\"/><MultiLanguage value=\"no id\"/>"
        L"<Container/></Window>",
        NULL, &manager);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Text(root->GetClassName()), L"Container");

    EXPECT_EQ(manager.GetInitSize().cx, 400);
    EXPECT_EQ(manager.GetInitSize().cy, 300);
    EXPECT_EQ(manager.GetCaptionRect().bottom, 28);
    EXPECT_EQ(Text(manager.GetWindowCustomAttribute(L"Custom")), L"kept");

    TFontEntry* font0 = manager.GetFontInfo(0);
    ASSERT_NE(font0, nullptr);
    EXPECT_EQ(Text(font0->faceName), L"Arial");
    EXPECT_EQ(font0->size, 14);
    EXPECT_EQ(Text(manager.GetDefaultFontInfo()->faceName), L"Arial");
    TFontEntry* font3 = manager.GetFontInfo(3);
    EXPECT_EQ(Text(font3->faceName), L"Tahoma");
    EXPECT_EQ(font3->size, 12);
    EXPECT_TRUE(font3->bold);
    // Unknown ids answer the default font: the fonts without id or name were not added.
    EXPECT_EQ(manager.GetFontInfo(4), manager.GetDefaultFontInfo());

    EXPECT_EQ(Text(manager.GetDefaultAttributeList(L"Control")), L"text=\"d\"");
    EXPECT_EQ(Text(CManagerUI::GetMultiLanguageString(7)), L"seven");
    root->Delete();
}

TEST(BuilderManager, WindowAttributesNeedARootNamedWindowAndANativeWindow)
{
    const struct
    {
        LPCWSTR xml;
        bool withWindow;
        int expectedWidth;
    } cases[] = {
        {L"<wINDOW size=\"320,200\"><Default name=\"Probe\" value=\"v\"/></wINDOW>", true, 320},
        {L"<Skin size=\"320,200\"><Default name=\"Probe\" value=\"v\"/></Skin>", true, 0},
        {L"<Window size=\"320,200\"><Default name=\"Probe\" value=\"v\"/></Window>", false, 0},
    };
    for (const auto& c : cases)
    {
        CTestWindow window;
        CManagerUI manager;
        if (c.withWindow)
            manager.Init(window.Get());
        CLayoutBuilder builder;
        EXPECT_EQ(builder.Create(c.xml, NULL, &manager), nullptr);
        EXPECT_EQ(manager.GetInitSize().cx, c.expectedWidth) << Text(c.xml);
        // Resource elements count whatever the root is called and with or without a window.
        EXPECT_EQ(Text(manager.GetDefaultAttributeList(L"Probe")), L"v") << Text(c.xml);
    }
}

TEST_F(BuilderFiles, ImageElementsLoadWithTheirMask)
{
    // A 1x1 24-bit bitmap, bottom-up, one magenta pixel.
    std::string bmp = std::string("BM") + std::string("\x3A\0\0\0\0\0\0\0\x36\0\0\0", 12) +
                      std::string("\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0", 24) +
                      std::string(16, '\0') + std::string("\xFF\x00\xFF\x00", 4);
    WriteSkinFile(L"dot.bmp", bmp);
    CManagerUI manager;
    CLayoutBuilder builder;
    builder.Create(L"<Window><Image name=\"dot.bmp\" mask=\"#FF00FF\"/><Image mask=\"1\"/></Window>", NULL,
                   &manager);
    TImageEntry* image = manager.GetImage(L"dot.bmp");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->mask, 0xFF00FFu);
    EXPECT_EQ(image->width, 1);
}

// ---- Loading ----

TEST_F(BuilderFiles, LoadFailuresReturnNullWithTheReason)
{
    WriteSkinFile(L"broken.xml", "<Window><Control></Window>");
    const struct
    {
        CUIStringOrId xml;
        LPCWSTR type;
    } cases[] = {
        {CUIStringOrId(L"missing.xml"), NULL},
        {CUIStringOrId(L"broken.xml"), NULL},
        {CUIStringOrId(L"<Window><Control></Window>"), NULL},
        {CUIStringOrId(static_cast<WORD>(4321)), L"SKINXML"},
        {CUIStringOrId(static_cast<WORD>(130)), NULL},
    };
    for (const auto& c : cases)
    {
        CLayoutBuilder builder;
        EXPECT_EQ(builder.Create(c.xml, c.type), nullptr);
        EXPECT_NE(Text(builder.GetLastErrorMessage()), L"");
    }
}

// ---- Includes ----

TEST_F(BuilderFiles, IncludeBuildsItsDocumentCountTimesIntoTheParent)
{
    WriteSkinFile(L"part.xml", "<Part><Font id=\"9\" name=\"Arial\"/><Control name=\"p\"/></Part>");
    const struct
    {
        LPCWSTR include;
        LPCWSTR tree;
    } cases[] = {
        {L"<Include source=\"part.xml\" count=\"3\"/>",
         L"Container{Control#first Control#p Control#p Control#p Control#last}"},
        {L"<Include source=\"part.xml\"/>", L"Container{Control#first Control#p Control#last}"},
        {L"<Include source=\"part.xml\" count=\"2 and more\"/>",
         L"Container{Control#first Control#p Control#p Control#last}"},
        {L"<Include source=\"part.xml\" count=\"0\"/>", L"Container{Control#first Control#last}"},
        {L"<Include source=\"part.xml\" count=\"-3\"/>", L"Container{Control#first Control#last}"},
        {L"<Include count=\"3\"/>", L"Container{Control#first Control#last}"},
        {L"<Include/>", L"Container{Control#first Control#last}"},
    };
    for (const auto& c : cases)
    {
        CManagerUI manager;
        const std::wstring xml = std::wstring(L"<Window><Container><Control name=\"first\"/>") + c.include +
                                 L"<Control name=\"last\"/></Container></Window>";
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(xml.c_str(), NULL, &manager);
        EXPECT_EQ(DescribeTree(root), c.tree) << Text(c.include);
        EXPECT_EQ(Text(builder.GetLastErrorMessage()), L"") << Text(c.include);
        if (root != NULL)
            root->Delete();
    }
}

TEST_F(BuilderFiles, IncludedResourceElementsReachTheManager)
{
    WriteSkinFile(L"fonts.xml", "<Fonts><Font id=\"5\" name=\"Tahoma\" size=\"17\"/></Fonts>");
    CManagerUI manager;
    CLayoutBuilder builder;
    builder.Create(L"<Window><Include source=\"fonts.xml\"/></Window>", NULL, &manager);
    TFontEntry* font = manager.GetFontInfo(5);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->size, 17);
}

TEST_F(BuilderFiles, AFailedIncludeIsReportedOnceAndTheBuildGoesOn)
{
    WriteSkinFile(L"broken.xml", "<Part><Control></Part>");
    for (LPCWSTR source : {L"missing.xml", L"broken.xml"})
    {
        const std::wstring xml = std::wstring(L"<Window><Container><Include source=\"") + source +
                                 L"\" count=\"100000\"/><Control name=\"after\"/></Container></Window>";
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(xml.c_str());
        EXPECT_EQ(DescribeTree(root), L"Container{Control#after}");
        EXPECT_NE(Text(builder.GetLastErrorMessage()).find(source), std::wstring::npos)
            << Text(builder.GetLastErrorMessage());
        if (root != NULL)
            root->Delete();
    }
}

TEST_F(BuilderFiles, IncludesOfADocumentBeingBuiltAreRefused)
{
    WriteSkinFile(L"self.xml",
                  "<Window><Container><Control name=\"s\"/><Include source=\"SELF.xml\" count=\"3\"/>"
                  "</Container></Window>");
    WriteSkinFile(L"a.xml", "<Window><Container><Control name=\"a\"/><Include source=\"b.xml\" count=\"3\"/>"
                            "</Container></Window>");
    WriteSkinFile(L"b.xml", "<B><Control name=\"b\"/><Include source=\"a.xml\" count=\"3\"/></B>");
    const struct
    {
        LPCWSTR file;
        LPCWSTR tree;
        LPCWSTR named;
    } cases[] = {
        {L"self.xml", L"Container{Control#s}", L"SELF.xml"},
        {L"a.xml", L"Container{Control#a Control#b Control#b Control#b}", L"a.xml"},
    };
    for (const auto& c : cases)
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(c.file);
        EXPECT_EQ(DescribeTree(root), c.tree);
        EXPECT_NE(Text(builder.GetLastErrorMessage()).find(std::wstring(L"\"") + c.named + L"\""),
                  std::wstring::npos)
            << Text(builder.GetLastErrorMessage());
        if (root != NULL)
            root->Delete();
    }
}

TEST_F(BuilderFiles, IncludeChainsEndAtSixteenLevels)
{
    for (int i = 0; i <= 20; ++i)
    {
        const std::string n = std::to_string(i);
        WriteSkinFile(L"d" + std::to_wstring(i) + L".xml", "<D><Control name=\"d" + n +
                                                               "\"/><Include source=\"d" +
                                                               std::to_string(i + 1) + ".xml\"/></D>");
    }
    CLayoutBuilder builder;
    CControlUI* root =
        builder.Create(L"<Window><Container><Include source=\"d0.xml\"/></Container></Window>");
    ASSERT_NE(root, nullptr);
    IContainerUI* box = static_cast<IContainerUI*>(root->FindInterface(L"IContainer"));
    EXPECT_EQ(box->GetCount(), CLayoutBuilder::MAX_INCLUDE_DEPTH);
    EXPECT_EQ(Text(box->GetItemAt(box->GetCount() - 1)->GetName()), L"d15");
    EXPECT_NE(Text(builder.GetLastErrorMessage()).find(L"\"d16.xml\""), std::wstring::npos)
        << Text(builder.GetLastErrorMessage());
    root->Delete();
}

// "count" multiplies across nested includes; the build stops at its step
// budget instead of running for hours.
TEST_F(BuilderFiles, AHugeIncludeCountEndsAtTheBuildBudget)
{
    WriteSkinFile(L"empty.xml", "<E><Font id=\"1\"/></E>");
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(L"<Window><Container><Include source=\"empty.xml\" "
                                      L"count=\"2000000000\"/><Control/></Container></Window>");
    EXPECT_EQ(DescribeTree(root), L"Container");
    EXPECT_NE(Text(builder.GetLastErrorMessage()).find(std::to_wstring(CLayoutBuilder::MAX_BUILD_STEPS)),
              std::wstring::npos)
        << Text(builder.GetLastErrorMessage());
    if (root != NULL)
        root->Delete();
}

// Each document is at most as deep as the parser allows, but includes stack
// them; the built tree stops at the same depth.
TEST_F(BuilderFiles, TreeDepthIsBoundedAcrossIncludes)
{
    auto nested = [](int levels, const std::string& innermost) {
        std::string xml;
        for (int i = 0; i < levels; ++i)
            xml += "<Container>";
        xml += innermost;
        for (int i = 0; i < levels; ++i)
            xml += "</Container>";
        return xml;
    };
    WriteSkinFile(L"outer.xml", "<Window>" + nested(200, "<Include source=\"inner.xml\"/>") + "</Window>");
    WriteSkinFile(L"inner.xml", "<Part>" + nested(200, "<Control/>") + "</Part>");
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(L"outer.xml");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(TreeDepth(root), CLayoutBuilder::MAX_TREE_DEPTH);
    EXPECT_NE(Text(builder.GetLastErrorMessage()).find(L"256"), std::wstring::npos)
        << Text(builder.GetLastErrorMessage());
    root->Delete();
}

// ---- Ownership ----

// Controls that end up nowhere (below a parent without children, beyond the
// first root control, built by an include without a parent, a replaced
// cover) are deleted, not leaked.
TEST_F(BuilderFiles, EveryControlBuiltIsOwnedOrDeleted)
{
    WriteSkinFile(L"part.xml", "<Part><Container><Control/></Container><Control/></Part>");
    const LPCWSTR documents[] = {
        L"<W><Container><Control><Container><Control/></Container><Control/></Control></Container></W>",
        L"<W><Container/><Control/><Container><Control/></Container></W>",
        L"<W><Include source=\"part.xml\" count=\"2\"/><Container/></W>",
        L"<W><Container><Control cover=\"true\"/><Container "
        L"cover=\"true\"><Control/></Container></Container></W>",
        L"<W><Container><Frobnicate><Control/></Frobnicate><Include source=\"part.xml\"/></Container></W>",
    };
    {
        CLayoutBuilder warmUp;  // first use of process-wide settings allocates for good
        if (CControlUI* root = warmUp.Create(documents[2]))
            root->Delete();
    }
    for (LPCWSTR xml : documents)
    {
        const long before = LiveHeapBlocks();
        {
            CLayoutBuilder builder;
            CControlUI* root = builder.Create(xml);
            ASSERT_NE(root, nullptr) << Text(xml);
            root->Delete();
        }
        EXPECT_EQ(LiveHeapBlocks(), before) << Text(xml);
    }
}

// ---- Executable resources ----

// A document read from a resource includes resources of the same type by number.
TEST(BuilderResources, ResourceDocumentsIncludeResourcesOfTheirType)
{
    CResourceLocations::SetInstance(::GetModuleHandleW(NULL));
    const struct
    {
        WORD id;
        LPCWSTR tree;
        LPCWSTR error;  // a part of the message; empty: none
    } cases[] = {
        {130, L"Container#res{Control#r130 Control#r131 Control#r131}", L""},
        {132, L"Container{Control#r132}", L"\"132\""},
        {133, L"(null)", L"133"},
    };
    for (const auto& c : cases)
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(CUIStringOrId(c.id), L"SKINXML");
        EXPECT_EQ(DescribeTree(root), c.tree) << c.id;
        const std::wstring error = Text(builder.GetLastErrorMessage());
        if (c.error[0] == L'\0')
            EXPECT_EQ(error, L"") << c.id;
        else
            EXPECT_NE(error.find(c.error), std::wstring::npos) << error;
        if (root != NULL)
            root->Delete();
    }
    CResourceLocations::SetInstance(NULL);
}
