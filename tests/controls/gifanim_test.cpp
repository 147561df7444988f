#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Canvas.h"
#include "tests/support/ManagerProbe.h"
#include "tests/support/Rects.h"
#include "tests/support/SkinFolder.h"
#include "tests/support/TestEvents.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/BoxLayout.h"
#include "ui/controls/GifAnim.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/render/GdiplusSession.h"

namespace
{
// The palette of the generated GIFs: frame n is filled with colour n.
const DWORD kPalette[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
const int kNoDelay = -1;

struct TGifFrame
{
    BYTE colour;  // index into kPalette
    int delay;    // hundredths of a second, or kNoDelay for no control block
};

void Put16(std::string& out, int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// Image data of a solid frame: LZW with 2-bit pixels, a clear code before
// every pixel so that every code stays 3 bits wide.
std::string SolidImageData(int pixels, BYTE colour)
{
    const int kClear = 4;
    const int kEnd = 5;
    std::string bytes;
    unsigned bits = 0;
    int bitCount = 0;
    auto emit = [&](int code) {
        bits |= static_cast<unsigned>(code) << bitCount;
        bitCount += 3;
        while (bitCount >= 8)
        {
            bytes += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            bitCount -= 8;
        }
    };
    for (int i = 0; i < pixels; ++i)
    {
        emit(kClear);
        emit(colour);
    }
    emit(kEnd);
    if (bitCount > 0)
        bytes += static_cast<char>(bits & 0xFF);

    std::string out(1, '\x02');  // minimum code size
    for (size_t at = 0; at < bytes.size(); at += 255)
    {
        const std::string block = bytes.substr(at, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += '\0';
    return out;
}

// A GIF89a of solid frames over a four-colour global palette.
std::string MakeGif(int width, int height, const std::vector<TGifFrame>& frames)
{
    std::string gif = "GIF89a";
    Put16(gif, width);
    Put16(gif, height);
    gif += '\xF1';  // global table of 4 entries, 8-bit colour resolution
    gif += '\0';
    gif += '\0';
    for (DWORD rgb : kPalette)
    {
        gif += static_cast<char>((rgb >> 16) & 0xFF);
        gif += static_cast<char>((rgb >> 8) & 0xFF);
        gif += static_cast<char>(rgb & 0xFF);
    }
    for (const TGifFrame& frame : frames)
    {
        if (frame.delay != kNoDelay)
        {
            gif += "\x21\xF9\x04";
            gif += '\x04';  // leave the frame in place
            Put16(gif, frame.delay);
            gif += '\0';
            gif += '\0';
        }
        gif += ',';
        Put16(gif, 0);
        Put16(gif, 0);
        Put16(gif, width);
        Put16(gif, height);
        gif += '\0';
        gif += SolidImageData(width * height, frame.colour);
    }
    gif += ';';
    return gif;
}

TControlEvent TimerEvent(CControlUI* control, UINT_PTR id)
{
    TControlEvent event = MakeEvent(EventTimer, 0, 0, id);
    event.sender = control;
    return event;
}

class GifAnimTest : public ::testing::Test
{
protected:
    GifAnimTest() : skin(L"gif"), host(manager, 120, 80) {}

    // A control of the window showing file, placed over the canvas.
    CGifAnimUI* Attach(const wchar_t* file)
    {
        CGifAnimUI* gif = new CGifAnimUI;
        gif->SetAttribute(L"bkimage", file);
        AttachInLayout(gif);
        return gif;
    }

    // Joining a tree initialises the control, which loads its picture.
    void AttachInLayout(CGifAnimUI* gif)
    {
        CVerticalLayoutUI* root = new CVerticalLayoutUI;
        root->Add(gif);
        manager.AttachRoot(root);
        root->SetPos(Rect(0, 0, 40, 30));
    }

    void Tick(CGifAnimUI* gif)
    {
        TControlEvent event = TimerEvent(gif, CGifAnimUI::kFrameTimerId);
        gif->DispatchEvent(event);
    }

    DWORD Shown(CGifAnimUI* gif)
    {
        CCanvas canvas(40, 30, 0xFF808080);
        gif->SetPos(Rect(0, 0, 40, 30));
        gif->Paint(canvas.Dc(), Rect(0, 0, 40, 30), NULL);
        return canvas.Rgb(20, 15);
    }

    CSkinFolder skin;
    CManagerProbe manager;
    CHostWindow host;
};

TEST_F(GifAnimTest, FramesKeepTheirOwnDelaysAndAZeroDelayLastsOneTenthOfASecond)
{
    skin.Write(L"three.gif", MakeGif(4, 3, {{0, 10}, {1, 20}, {2, 0}}));
    CGifAnimUI* gif = Attach(L"three.gif");

    ASSERT_TRUE(gif->HasImage());
    EXPECT_EQ(3, gif->GetFrameCount());
    ASSERT_TRUE(gif->IsPlaying());
    EXPECT_NE(-1, manager.WinTimerId(gif, CGifAnimUI::kFrameTimerId));

    // Frame shown, then the period of the timer that ends it.
    const struct
    {
        int frame;
        DWORD colour;
        UINT period;
    } cycle[] = {{0, 0xFF0000, 100}, {1, 0x00FF00, 200}, {2, 0x0000FF, 100}, {0, 0xFF0000, 100}};
    for (const auto& step : cycle)
    {
        SCOPED_TRACE(step.frame);
        EXPECT_EQ(step.frame, gif->GetCurrentFrame());
        EXPECT_EQ(step.colour, Shown(gif));
        EXPECT_EQ(step.period, gif->GetTimerPeriod());
        Tick(gif);
    }
    // Timers of other ids are not frame advances.
    TControlEvent other = TimerEvent(gif, 7);
    gif->DispatchEvent(other);
    EXPECT_EQ(1, gif->GetCurrentFrame());
}

TEST_F(GifAnimTest, TheWindowTimerAdvancesTheFrameAfterItsDelay)
{
    skin.Write(L"two.gif", MakeGif(4, 3, {{0, 15}, {1, 15}}));
    CGifAnimUI* gif = Attach(L"two.gif");
    ASSERT_TRUE(gif->IsPlaying());
    EXPECT_EQ(150u, gif->GetTimerPeriod());

    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(host.PumpUntil([&] { return gif->GetCurrentFrame() == 1; }, 3000));
    // System timers may fire a tick early, never much earlier.
    EXPECT_GE(::GetTickCount() - start, 120u);
}

TEST_F(GifAnimTest, FramesWithoutStoredDelaysLastOneTenthOfASecond)
{
    skin.Write(L"plain.gif", MakeGif(4, 3, {{1, kNoDelay}, {2, kNoDelay}}));
    CGifAnimUI* gif = Attach(L"plain.gif");

    ASSERT_TRUE(gif->HasImage());
    EXPECT_EQ(2, gif->GetFrameCount());
    EXPECT_EQ(0x00FF00u, Shown(gif));
    ASSERT_TRUE(gif->IsPlaying());
    EXPECT_EQ(100u, gif->GetTimerPeriod());
    Tick(gif);
    EXPECT_EQ(0x0000FFu, Shown(gif));
    EXPECT_EQ(100u, gif->GetTimerPeriod());
}

TEST_F(GifAnimTest, AnUnreadableFileLeavesTheControlEmpty)
{
    const struct
    {
        const char* label;
        const wchar_t* file;
        std::string bytes;
    } cases[] = {
        {"header only", L"broken.gif", "GIF89a"},
        {"garbage", L"garbage.gif", std::string(64, '\x7F')},
        {"cut short", L"short.gif", MakeGif(4, 3, {{0, 10}, {1, 10}}).substr(0, 30)},
        {"missing", L"missing.gif", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        if (!c.bytes.empty())
            skin.Write(c.file, c.bytes);
        CGifAnimUI* gif = Attach(c.file);
        EXPECT_EQ(0x808080u, Shown(gif));
        EXPECT_FALSE(gif->IsPlaying());
        Tick(gif);
        EXPECT_EQ(0, gif->GetCurrentFrame());
    }
}

TEST_F(GifAnimTest, HidingStopsAtTheFirstFrameAndShowingPlaysAgain)
{
    skin.Write(L"three.gif", MakeGif(4, 3, {{0, 10}, {1, 20}, {2, 0}}));
    CGifAnimUI* gif = Attach(L"three.gif");
    Tick(gif);
    ASSERT_EQ(1, gif->GetCurrentFrame());

    gif->SetVisible(false);
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(0, gif->GetCurrentFrame());
    gif->SetVisible(true);
    EXPECT_TRUE(gif->IsPlaying());
    EXPECT_EQ(100u, gif->GetTimerPeriod());
}

TEST_F(GifAnimTest, ChangingTheFileStopsAndReloadsOnTheNextPaint)
{
    skin.Write(L"three.gif", MakeGif(4, 3, {{0, 10}, {1, 20}, {2, 0}}));
    skin.Write(L"blue.gif", MakeGif(4, 3, {{2, 30}, {0, 30}}));
    CGifAnimUI* gif = Attach(L"three.gif");
    Tick(gif);

    gif->SetGifFile(L"three.gif");
    EXPECT_EQ(1, gif->GetCurrentFrame());
    EXPECT_TRUE(gif->IsPlaying());

    gif->SetGifFile(L"blue.gif");
    EXPECT_FALSE(gif->HasImage());
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(0x0000FFu, Shown(gif));
    EXPECT_EQ(2, gif->GetFrameCount());
    EXPECT_TRUE(gif->IsPlaying());
    EXPECT_EQ(300u, gif->GetTimerPeriod());
}

TEST_F(GifAnimTest, AutoSizeTakesThePictureSize)
{
    skin.Write(L"big.gif", MakeGif(17, 9, {{0, 10}}));
    CGifAnimUI* gif = new CGifAnimUI;
    gif->SetAttribute(L"autosize", L"true");
    gif->SetAttribute(L"autoplay", L"false");
    gif->SetAttribute(L"bkimage", L"big.gif");
    AttachInLayout(gif);
    EXPECT_EQ(17, gif->GetFixedWidth());
    EXPECT_EQ(9, gif->GetFixedHeight());
    EXPECT_FALSE(gif->IsPlaying());
}

// GDI+ is counted per user: a GIF takes its own reference for as long as it
// holds an image, and decodes nothing when GDI+ cannot be started.
int g_startups = 0;
bool g_startupWorks = true;
bool FakeStartup(ULONG_PTR* token)
{
    ++g_startups;
    *token = 1;
    return g_startupWorks;
}
void FakeShutdown(ULONG_PTR)
{
}

TEST_F(GifAnimTest, HoldsTheGdiplusSessionWhileItHasAnImage)
{
    skin.Write(L"three.gif", MakeGif(4, 3, {{0, 10}, {1, 20}, {2, 0}}));
    ASSERT_EQ(0, CGdiplusSession::GetRefCount());
    ASSERT_TRUE(CGdiplusSession::SetProcs(FakeStartup, FakeShutdown));

    CGifAnimUI* gif = new CGifAnimUI;
    gif->SetAttribute(L"bkimage", L"three.gif");
    g_startupWorks = false;
    EXPECT_EQ(0x808080u, Shown(gif));
    EXPECT_FALSE(gif->HasImage());
    EXPECT_EQ(0, CGdiplusSession::GetRefCount());

    g_startupWorks = true;
    EXPECT_EQ(0xFF0000u, Shown(gif));
    EXPECT_TRUE(gif->HasImage());
    EXPECT_EQ(1, CGdiplusSession::GetRefCount());
    gif->Delete();
    EXPECT_EQ(0, CGdiplusSession::GetRefCount());
    EXPECT_TRUE(CGdiplusSession::SetProcs(NULL, NULL));
}

TEST(GifAnimTagTest, OnlyTheExactSpellingCreatesTheControl)
{
    CControlUI* control = CLayoutBuilder::CreateControl(L"GifAnim");
    ASSERT_NE(nullptr, control);
    EXPECT_STREQ(L"GifAnim", control->GetClassName());
    EXPECT_EQ(control, control->FindInterface(L"GifAnim"));
    control->Delete();
    EXPECT_EQ(nullptr, CLayoutBuilder::CreateControl(L"gifanim"));
}
}  // namespace
