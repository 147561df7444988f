// The main window's reaction to notifications, its size and place, and what
// happens when its skin is missing or damaged.

#include "installer/FrameWindow.h"
#include "tests/support/SkinFolder.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <fstream>
#include <string>
#include <vector>

namespace
{

using installer::CFrameWindowWnd;

// Counts installations instead of unpacking, and shows no box.
class QuietFrame : public CFrameWindowWnd
{
public:
    static int installs;
    static int restores;
    static int destroyed;
    static int hints;
    static std::vector<std::wstring> reports;

protected:
    ~QuietFrame() override { ++destroyed; }
    void ShowStartupHint() override { ++hints; }
    void ReportMissingSkin(LPCWSTR reason) override { reports.push_back(reason != nullptr ? reason : L""); }
    void InstallPackage() override { ++installs; }
    void RestorePackage() override { ++restores; }
};
int QuietFrame::installs = 0;
int QuietFrame::restores = 0;
int QuietFrame::destroyed = 0;
int QuietFrame::hints = 0;
std::vector<std::wstring> QuietFrame::reports;

TEST(FrameWindowNotify, OnlyAClickFromInstallOrRestoreRunsThem)
{
    CControlUI install, lowerCase, other, restore, restoreLower;
    install.SetName(L"Install");
    lowerCase.SetName(L"install");
    other.SetName(L"Cancel");
    restore.SetName(L"Restore");
    restoreLower.SetName(L"restore");
    struct
    {
        const wchar_t* type;
        CControlUI* sender;
        int installs;
        int restores;
    } cases[] = {
        {L"click", &install, 1, 0},  {L"click", &lowerCase, 0, 0},
        {L"click", &other, 0, 0},    {L"selectchanged", &install, 0, 0},
        {L"Click", &install, 0, 0},  {L"click", nullptr, 0, 0},  // a queued notification whose sender is gone
        {L"click", &restore, 0, 1},  {L"click", &restoreLower, 0, 0},
        {L"selectchanged", &restore, 0, 0},
    };
    QuietFrame* frame = new QuietFrame;
    for (const auto& c : cases)
    {
        QuietFrame::installs = 0;
        QuietFrame::restores = 0;
        TNotifyMsg msg{};
        msg.type = c.type;
        msg.sender = c.sender;
        frame->Notify(msg);
        EXPECT_EQ(QuietFrame::installs, c.installs) << static_cast<const wchar_t*>(c.type);
        EXPECT_EQ(QuietFrame::restores, c.restores) << static_cast<const wchar_t*>(c.type);
    }
    frame->OnFinalMessage(nullptr);  // the window object deletes itself
}

// A folder holding the skin archive "Setup.dat" that the skin locations point at while it lives; the
// previous locations come back and the folder goes when it ends.
class SkinArchiveFolder
{
public:
    SkinArchiveFolder() : folder_(L"frame_skin_")
    {
        CManagerUI::SetResourceZip(installer::kSkinArchive, false);
    }

    std::wstring Archive() const { return folder_.Path() + installer::kSkinArchive; }

    void Write(const std::string& bytes) const
    {
        std::ofstream(Archive().c_str(), std::ios::binary) << bytes;
    }

private:
    CSkinFolder folder_;
};

void PutU16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void PutU32(std::string& out, unsigned long v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, (v >> 16) & 0xFFFF);
}

// A zip archive of stored (uncompressed) files.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& files)
{
    std::string local, central;
    for (const auto& [name, content] : files)
    {
        const unsigned long crc = crc32(0, reinterpret_cast<const Bytef*>(content.data()), content.size());
        const unsigned long offset = local.size();
        local += "PK\x03\x04";
        PutU16(local, 20);
        PutU16(local, 0);
        PutU16(local, 0);
        PutU16(local, 0);
        PutU16(local, 0);
        PutU32(local, crc);
        PutU32(local, content.size());
        PutU32(local, content.size());
        PutU16(local, name.size());
        PutU16(local, 0);
        local += name + content;
        central += "PK\x01\x02";
        PutU16(central, 20);
        PutU16(central, 20);
        PutU16(central, 0);
        PutU16(central, 0);
        PutU16(central, 0);
        PutU16(central, 0);
        PutU32(central, crc);
        PutU32(central, content.size());
        PutU32(central, content.size());
        PutU16(central, name.size());
        PutU16(central, 0);
        PutU16(central, 0);
        PutU16(central, 0);
        PutU16(central, 0);
        PutU32(central, 0);
        PutU32(central, offset);
        central += name;
    }
    std::string end = "PK\x05\x06";
    PutU16(end, 0);
    PutU16(end, 0);
    PutU16(end, files.size());
    PutU16(end, files.size());
    PutU32(end, central.size());
    PutU32(end, local.size());
    PutU16(end, 0);
    return local + central + end;
}

std::string SkinArchive(const std::string& xml)
{
    return StoredZip({{"Setup.xml", xml}});
}

// Creates the frame the way the entry point does; the window, when there is one, is not shown.
HWND CreateFrame(QuietFrame*& frame)
{
    frame = new QuietFrame;
    return frame->Create(nullptr, L"frame test", installer::kFrameStyle & ~WS_VISIBLE,
                         installer::kFrameExStyle);
}

void DrainQueue()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
    }
}

// A skin that cannot be loaded or built is reported, and no window is left behind: no hint, no tune,
// and the entry point ends with a failure.
TEST(FrameWindowSkin, AMissingOrDamagedSkinIsReportedAndNoWindowIsLeft)
{
    const std::string good = SkinArchive("<Window size=\"400,300\"><VerticalLayout/></Window>");
    struct
    {
        const char* what;
        bool write;
        std::string bytes;
        const wchar_t* reason;  // in the player's language
    } cases[] = {
        {"no Setup.dat", false, "", L"找不到“Setup.dat”。"},
        {"an empty Setup.dat", true, "", L"“Setup.dat”不是有效的界面文件包，可能已损坏。"},
        {"a truncated Setup.dat", true, good.substr(0, good.size() / 2),
         L"“Setup.dat”不是有效的界面文件包，可能已损坏。"},
        {"no Setup.xml inside", true, StoredZip({{"other.xml", "<Window><VerticalLayout/></Window>"}}),
         L"“Setup.dat”中缺少“Setup.xml”。"},
        {"a Setup.xml that does not parse", true,
         SkinArchive("<Window size=\"400,300\"><VerticalLayout></Window>"),
         L"“Setup.xml”的内容有误（Unmatched closing tag）。"},
        {"a Setup.xml without any control", true, SkinArchive("<Window size=\"400,300\"/>"),
         L"“Setup.xml”中没有可显示的界面。"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        SkinArchiveFolder folder;
        if (c.write)
            folder.Write(c.bytes);
        QuietFrame::destroyed = QuietFrame::hints = 0;
        QuietFrame::reports.clear();
        QuietFrame* frame = nullptr;
        EXPECT_EQ(CreateFrame(frame), nullptr);
        EXPECT_EQ(QuietFrame::reports, std::vector<std::wstring>{c.reason});
        EXPECT_EQ(QuietFrame::hints, 0);
        EXPECT_EQ(QuietFrame::destroyed, 1);
        EXPECT_EQ(FindWindowW(installer::kFrameClassName, nullptr), nullptr);
        DrainQueue();
    }
}

TEST(FrameWindowSkin, TheReportNamesTheArchiveAndAddsTheReason)
{
    EXPECT_NE(std::wstring(installer::kSkinMissingText).find(L"“Setup.dat”"), std::wstring::npos);
    SkinArchiveFolder folder;
    folder.Write(SkinArchive("<Window><VerticalLayout></Window>"));
    QuietFrame::reports.clear();
    QuietFrame* frame = nullptr;
    EXPECT_EQ(CreateFrame(frame), nullptr);
    ASSERT_EQ(QuietFrame::reports.size(), 1u);
    EXPECT_FALSE(QuietFrame::reports[0].empty()) << "the builder's reason";
    DrainQueue();
}

RECT WorkArea()
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// The window takes a usable size from the skin (or a sensible one) and sits in the middle of the
// work area; it is closed like any window.
TEST(FrameWindowSkin, TheWindowIsSizedAndCentredOnTheWorkArea)
{
    const RECT work = WorkArea();
    const LONG workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    struct
    {
        const char* window;
        LONG width, height;
    } cases[] = {
        {"<Window size=\"400,300\">", 400, 300},
        {"<Window>", 480, 320},
        {"<Window size=\"400\">", 480, 320},
        {"<Window size=\"0,0\">", 480, 320},
        {"<Window size=\"-400,-300\">", 480, 320},
        {"<Window mininfo=\"500,400\">", 500, 400},
        {"<Window size=\"99999,99999\">", workWidth, workHeight},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.window);
        SkinArchiveFolder folder;
        folder.Write(SkinArchive(std::string(c.window) + "<VerticalLayout/></Window>"));
        QuietFrame::destroyed = QuietFrame::hints = 0;
        QuietFrame* frame = nullptr;
        HWND window = CreateFrame(frame);
        ASSERT_NE(window, nullptr);
        EXPECT_NE(frame->GetManager().GetRoot(), nullptr);
        EXPECT_EQ(QuietFrame::hints, 1);
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.right - rect.left, c.width);
        EXPECT_EQ(rect.bottom - rect.top, c.height);
        EXPECT_EQ(rect.left, work.left + (workWidth - c.width) / 2);
        EXPECT_EQ(rect.top, work.top + (workHeight - c.height) / 2);

        SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(QuietFrame::destroyed, 1);
        MSG msg;
        bool sawQuit = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            sawQuit = sawQuit || msg.message == WM_QUIT;
        EXPECT_TRUE(sawQuit);
    }
}

}  // namespace
