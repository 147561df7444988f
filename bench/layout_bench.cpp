// Layout costs of nested box layouts:
//   first layout   a new tree laid out once, the root's scroll bar shown on
//                  the way (which lays the tree out a second time)
//   relayout       the same tree laid out again at another width
//   scroll         the root scrolled by one page and back
//   paint          the laid-out tree painted into a 1024x768 off-screen DIB:
//                  every control is visited, those outside the view are clipped away
// at 1,000, 10,000 and 100,000 controls, with the cost per control, which
// should not grow with the size of the tree. Figures are milliseconds; best and median of runs.
//
// The tree: a vertical root with a vertical bar, rows that are horizontal
// layouts, columns that are vertical layouts, and leaves in the columns, half
// of them with a fixed height and half stretching, with margins and gaps.
//
// Run by hand: $BUILD_DIR/wine-run bench/layout_bench.exe

#include <windows.h>
#include "bench/BenchClock.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "tests/support/Canvas.h"
#include "ui/controls/BoxLayout.h"
#include "ui/controls/ScrollBar.h"
#include "ui/manager/Manager.h"

namespace
{
const int kRuns = 9;
const int kColumns = 10;
const int kLeavesPerColumn = 10;

struct Figures
{
    double best;
    double median;
};

// Runs setup (untimed) and op kRuns times; best and median of op.
Figures Measure(const std::function<void()>& setup, const std::function<void()>& op)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
    {
        setup();
        const double start = NowMs();
        op();
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return Figures{times.front(), times[times.size() / 2]};
}

// rows x kColumns x kLeavesPerColumn leaves, plus the layouts that hold them.
CVerticalLayoutUI* BuildTree(CManagerUI& manager, int rows)
{
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    manager.AttachRoot(root);
    root->EnableScrollBar(true, false);
    root->SetInset(4, 4, 4, 4);
    root->SetChildPadding(2);
    for (int r = 0; r < rows; ++r)
    {
        CHorizontalLayoutUI* row = new CHorizontalLayoutUI;
        row->SetFixedHeight(200);
        row->SetChildPadding(3);
        root->Add(row);
        for (int c = 0; c < kColumns; ++c)
        {
            CVerticalLayoutUI* column = new CVerticalLayoutUI;
            column->SetInset(1, 1, 1, 1);
            column->SetChildAlign(c % 3);
            if (c % 2 == 0)
                column->SetFixedWidth(60);
            row->Add(column);
            for (int l = 0; l < kLeavesPerColumn; ++l)
            {
                CControlUI* leaf = new CControlUI;
                leaf->SetPadding(1, 1, 1, 1);
                leaf->SetBkColor(0xFF204060 + 0x0A0A0A * l);
                leaf->SetBorderColor(0xFF8090A0);
                leaf->SetBorderSize(1);
                if (l % 2 == 0)
                    leaf->SetFixedHeight(12);
                else
                    leaf->SetMinHeight(4);
                leaf->SetMaxWidth(50 + l);
                column->Add(leaf);
            }
        }
    }
    return root;
}

int ControlCount(int rows)
{
    return rows * kColumns * kLeavesPerColumn;
}

void Report(const char* what, int controls, const Figures& f)
{
    std::printf("%-14s %6d controls  best %8.3f ms  median %8.3f ms  %6.3f us/control\n", what, controls,
                f.best, f.median, f.best * 1000.0 / controls);
}

void Run(int rows)
{
    const int controls = ControlCount(rows);
    // Attaching a new tree schedules the old one for deletion; the manager
    // deletes it at the next attach, outside the timed part.
    CManagerUI manager;
    CVerticalLayoutUI* root = NULL;
    auto fresh = [&]() { root = BuildTree(manager, rows); };

    Report("first layout", controls, Measure(fresh, [&]() { root->SetPos(CUIRect(0, 0, 1024, 768)); }));

    int width = 1024;
    Report("relayout", controls,
           Measure([]() {},
                   [&]() {
                       width = width == 1024 ? 1000 : 1024;
                       root->SetPos(CUIRect(0, 0, width, 768));
                   }));

    Report("scroll", controls,
           Measure([]() {},
                   [&]() {
                       root->PageDown();
                       root->PageUp();
                   }));
    CCanvas surface(1024, 768);
    const RECT view = {0, 0, 1024, 768};
    Report("paint", controls,
           Measure([]() {},
                   [&]() {
                       root->Paint(surface.Dc(), view, NULL);
                       GdiFlush();
                   }));

    if (!root->GetVerticalScrollBar()->IsVisible())
        std::printf("(the root's scroll bar is not shown: the tree fits)\n");
}
}  // namespace

int wmain()
{
    // What a layout pass walks through: the larger trees no longer fit in the caches.
    std::printf("a leaf control is %u bytes, a vertical layout %u\n", unsigned(sizeof(CControlUI)),
                unsigned(sizeof(CVerticalLayoutUI)));
    Run(10);
    Run(100);
    Run(1000);
    return 0;
}
