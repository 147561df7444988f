// A list of text rows in four columns (texts from a callback) in a shown
// 800x600 window, at 1,000, 10,000 and 50,000 rows: building it from XML,
// the first layout, a full repaint, scrolling by a page with the repaint
// that follows, hit testing, and walking the selection with the Down key
// from the first row to the last. Building and the first layout are printed
// beside their goals. "--profile build|layout ROWS [TIMES]" only builds (and
// lays out) a list of ROWS rows TIMES times, for a profiler.

#include <windows.h>
#include "bench/BenchClock.h"

#include <stdio.h>
#include <wchar.h>

#include <string>

#include "ui/controls/List.h"
#include "ui/controls/ListItems.h"
#include "ui/manager/Manager.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/markup/XmlMarkup.h"

namespace
{
const int kWidth = 800;
const int kHeight = 600;
const int kRounds = 7;

class CColumnTexts : public IListTextCallback
{
public:
    LPCWSTR GetItemText(CControlUI*, int iIndex, int iSubItem) override
    {
        swprintf(buffer, 64, L"row %d, column %d", iIndex, iSubItem);
        return buffer;
    }

private:
    wchar_t buffer[64];
};

LRESULT CALLBACK HostProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CManagerUI* manager = reinterpret_cast<CManagerUI*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (manager != NULL && manager->MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

HWND CreateHost(CManagerUI& manager)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.lpszClassName = L"ListBenchHost";
    ::RegisterClassW(&wc);
    HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"list bench", WS_POPUP, 0, 0, kWidth, kHeight, NULL,
                                  NULL, wc.hInstance, NULL);
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&manager));
    manager.Init(hWnd);
    ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    return hWnd;
}

std::wstring ListXml(int rows)
{
    std::wstring xml =
        L"<Window><List vscrollbar=\"true\" itemaltbk=\"true\" itembkcolor=\"#FFF4F4F4\" itemhlinesize=\"1\""
        L" itemvlinesize=\"1\" itemtextpadding=\"4,0,4,0\" bkcolor=\"#FFFFFFFF\">"
        L"<ListHeader height=\"24\" bkcolor=\"#FFE0E0E0\">"
        L"<ListHeaderItem text=\"First\" width=\"200\" sepcolor=\"#FF808080\"/>"
        L"<ListHeaderItem text=\"Second\" width=\"200\" sepcolor=\"#FF808080\"/>"
        L"<ListHeaderItem text=\"Third\" width=\"200\" sepcolor=\"#FF808080\"/>"
        L"<ListHeaderItem text=\"Fourth\"/></ListHeader>";
    xml.reserve(xml.size() + rows * 20 + 32);
    for (int i = 0; i < rows; ++i)
        xml += L"<ListTextElement/>";
    xml += L"</List></Window>";
    return xml;
}

void Paint(CManagerUI& manager)
{
    LRESULT result = 0;
    manager.MessageHandler(WM_PAINT, 0, 0, result);
    ::GdiFlush();
}

template <class TRound> double Best(int rounds, TRound round)
{
    double best = 1e300;
    for (int i = 0; i < rounds; ++i)
    {
        const double value = round();
        best = value < best ? value : best;
    }
    return best;
}

void Measure(int rows)
{
    CManagerUI manager;
    HWND hWnd = CreateHost(manager);
    CColumnTexts texts;
    const std::wstring xml = ListXml(rows);

    // Building: the tree from XML text, deleted again between rounds.
    CControlUI* built = NULL;
    const double build = Best(rows > 10000 ? 1 : 3, [&] {
        if (built != NULL)
            built->Delete();
        CLayoutBuilder builder;
        const double start = NowMs();
        built = builder.Create(xml.c_str(), NULL, &manager);
        return NowMs() - start;
    });
    // Where building goes: parsing the text alone, and making and deleting
    // the rows alone (no markup, no list).
    const double parse = Best(rows > 10000 ? 1 : 3, [&] {
        const double t = NowMs();
        CXmlMarkup markup;
        markup.LoadFromString(xml.c_str());
        return NowMs() - t;
    });
    const double rowsAlone = Best(rows > 10000 ? 1 : 3, [&] {
        CPtrList made;
        const double t = NowMs();
        for (int i = 0; i < rows; ++i)
            made.Add(new CListTextElementUI);
        for (int i = 0; i < rows; ++i)
            delete static_cast<CListTextElementUI*>(made[i]);
        return NowMs() - t;
    });
    CListUI* list = static_cast<CListUI*>(built->FindInterface(L"List"));
    list->SetTextCallback(&texts);
    manager.AttachRoot(built);

    // The first layout of the fresh tree (the vertical bar appears, so the
    // rows are placed twice), then the first paint.
    const RECT client = {0, 0, kWidth, kHeight};
    double start = NowMs();
    built->SetPos(client, false);
    const double firstLayout = NowMs() - start;
    start = NowMs();
    Paint(manager);
    const double firstPaint = NowMs() - start;

    const double relayout = Best(kRounds, [&] {
        const double t = NowMs();
        built->SetPos(client, false);
        return NowMs() - t;
    });
    const double repaint = Best(kRounds, [&] {
        const double t = NowMs();
        manager.Invalidate();
        Paint(manager);
        return NowMs() - t;
    });
    // A page down and the repaint it asks for, from the top each round.
    const double pageScroll = Best(kRounds, [&] {
        list->SetScrollPos(CUISize(0, 0));
        Paint(manager);
        const double t = NowMs();
        list->PageDown();
        Paint(manager);
        return NowMs() - t;
    });
    const double pageOnly = Best(kRounds, [&] {
        list->SetScrollPos(CUISize(0, 0));
        const double t = NowMs();
        list->PageDown();
        return NowMs() - t;
    });

    const int points = 100000;
    const double hitTest = Best(kRounds, [&] {
        const double t = NowSeconds();
        for (int i = 0; i < points; ++i)
        {
            const POINT pt = {(i * 37) % kWidth, (i * 53) % kHeight};
            manager.FindControlAt(pt);
        }
        return (NowSeconds() - t) * 1e9 / points;
    });

    // Down from the first row to the last: each key selects, and once the
    // selection leaves the view, scrolls by one row.
    list->SelectItem(0);
    TControlEvent down = {};
    down.kind = EventKeyDown;
    down.keyChar = VK_DOWN;
    start = NowMs();
    int firstMiss = -1;
    for (int i = 1; i < rows; ++i)
    {
        list->DispatchEvent(down);
        if (firstMiss < 0 && list->GetCurSel() != i)
            firstMiss = i;
    }
    if (firstMiss >= 0)
        printf("first miss at key %d: %d\n", firstMiss, list->GetCurSel());
    const double walk = NowMs() - start;
    Paint(manager);
    if (list->GetCurSel() != rows - 1)
        printf("the walk ended at %d instead of %d\n", list->GetCurSel(), rows - 1);

    printf("%7d rows: build %8.1f ms | first layout %7.2f ms, first paint %6.2f ms | relayout %7.2f ms | "
           "full repaint %6.2f ms | page down %6.3f ms, with repaint %6.2f ms | hit test %6.0f ns | "
           "Down to the end %8.1f ms (%6.2f us per key)\n",
           rows, build, firstLayout, firstPaint, relayout, repaint, pageOnly, pageScroll, hitTest, walk,
           walk * 1000.0 / (rows - 1));

    printf("  of the build: parsing the XML %.1f ms; making and deleting %d rows in code %.1f ms (%zu bytes a row)\n",
           parse, rows, rowsAlone, sizeof(CListTextElementUI));

    // The goals: 10,000 rows built within 50 ms, 50,000 rows first laid out within 50 ms.
    if (rows == 10000)
        printf("  build of 10,000 rows: %.1f ms (goal <= 50 ms: %s)\n", build, build <= 50 ? "met" : "not met");
    if (rows == 50000)
        printf("  first layout of 50,000 rows: %.1f ms (goal <= 50 ms: %s)\n", firstLayout,
               firstLayout <= 50 ? "met" : "not met");

    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    ::DestroyWindow(hWnd);
}

// Builds the list TIMES times, each time also laying it out when asked.
int Profile(bool layout, int rows, int times)
{
    CManagerUI manager;
    HWND hWnd = CreateHost(manager);
    CColumnTexts texts;
    const std::wstring xml = ListXml(rows);
    const RECT client = {0, 0, kWidth, kHeight};
    for (int i = 0; i < times; ++i)
    {
        CLayoutBuilder builder;
        CControlUI* built = builder.Create(xml.c_str(), NULL, &manager);
        if (built == NULL)
            return 1;
        if (layout)
        {
            static_cast<CListUI*>(built->FindInterface(L"List"))->SetTextCallback(&texts);
            // Attaching the next tree schedules this one's deletion.
            manager.AttachRoot(built);
            built->SetPos(client, false);
            continue;
        }
        built->Delete();
    }
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    ::DestroyWindow(hWnd);
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc >= 4 && wcscmp(argv[1], L"--profile") == 0)
        return Profile(wcscmp(argv[2], L"layout") == 0, _wtoi(argv[3]), argc > 4 ? _wtoi(argv[4]) : 1);
    for (int rows : {1000, 10000, 50000})
        Measure(rows);
    return 0;
}
