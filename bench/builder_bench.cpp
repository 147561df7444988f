// Layout builder costs, per build of a skin of N controls (groups of ten
// controls in containers three levels deep, every control named and with a
// few attributes, a default list for the controls):
//   parse+build  Create from the XML text: parsing and building
//   build        Build again from the loaded document: building only
//   include      the same controls as one group included N/10 times
// and the tree's deletion. Figures are milliseconds per build; best and
// median of runs. Building should grow linearly with N.
//
// Run by hand: $BUILD_DIR/wine-run bench/builder_bench.exe

#include <windows.h>
#include "bench/BenchClock.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/SkinFolder.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/markup/ResourceLocations.h"

namespace
{

const int kRuns = 7;

// op returns the time of the part that counts (the rest is set-up or clean-up).
void Measure(const char* name, int controls, const std::function<double()>& op)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
        times.push_back(op());
    std::sort(times.begin(), times.end());
    std::printf("%-12s %6d controls  best %8.2f ms  median %8.2f ms\n", name, controls, times.front(),
                times[times.size() / 2]);
}

std::wstring Group(int first)
{
    std::wstring xml = L"<Container name=\"g" + std::to_wstring(first) + L"\">";
    for (int i = 0; i < 9; ++i)
        xml += L"<Control name=\"c" + std::to_wstring(first + i) + L"\" text=\"item\" tooltip=\"tip\"/>";
    return xml + L"</Container>";
}

const wchar_t kHead[] = L"<Window size=\"800,600\"><Default name=\"Control\" value=\"text=&quot;x&quot; "
                        L"tooltip=&quot;y&quot;\"/>";

std::wstring Skin(int controls)
{
    std::wstring xml = kHead;
    xml += L"<Container><Container>";
    for (int first = 0; first < controls; first += 10)
        xml += Group(first);
    return xml + L"</Container></Container></Window>";
}

}  // namespace

int wmain()
{
    CManagerUI manager;
    // The included group is read through the skin locations, from a folder of the benchmark's own.
    const CSkinFolder skin(L"builder_bench");
    std::string group = "<Group><Container>";
    for (int i = 0; i < 9; ++i)
        group += "<Control name=\"c\" text=\"item\" tooltip=\"tip\"/>";
    if (!WriteFileBytes(skin.Path() + L"bench_group.xml", group + "</Container></Group>"))
        return 1;

    for (int controls : {1000, 10000})
    {
        const std::wstring skin = Skin(controls);
        Measure("parse+build", controls, [&] {
            CLayoutBuilder builder;
            const double start = NowMs();
            CControlUI* root = builder.Create(skin.c_str(), NULL, &manager);
            const double elapsed = NowMs() - start;
            root->Delete();
            return elapsed;
        });
        CLayoutBuilder loaded;
        loaded.GetMarkup()->LoadFromString(skin.c_str());
        Measure("build", controls, [&] {
            const double start = NowMs();
            CControlUI* root = loaded.Build(&manager);
            const double elapsed = NowMs() - start;
            root->Delete();
            return elapsed;
        });
        Measure("delete", controls, [&] {
            CControlUI* root = loaded.Build(&manager);
            const double start = NowMs();
            root->Delete();
            return NowMs() - start;
        });
        const std::wstring included = std::wstring(kHead) +
                                      L"<Container><Include source=\"bench_group.xml\" count=\"" +
                                      std::to_wstring(controls / 10) + L"\"/></Container></Window>";
        Measure("include", controls, [&] {
            CLayoutBuilder builder;
            const double start = NowMs();
            CControlUI* root = builder.Create(included.c_str(), NULL, &manager);
            const double elapsed = NowMs() - start;
            root->Delete();
            return elapsed;
        });
    }
    return 0;
}
