// Tagged-text costs that label painting depends on:
//   paragraph   a 4,000-character text with bold, colour and link tags,
//               word-wrapped into 300 pixels: measured only, and drawn
//   label       a 200-character line cut with an ellipsis at 150 pixels
//   plain       the same line through DrawTextW, for comparison
// Figures are milliseconds per layout (best and median of runs), and how many
// exact extents one layout asked GDI for, per laid-out line.
//
// Run by hand: $BUILD_DIR/wine-run bench/text_bench.exe

#include <windows.h>
#include "bench/BenchClock.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/text_support.h"
#include "ui/render/GdiScope.h"
#include "ui/render/Renderer.h"
#include "ui/render/TaggedText.h"

namespace
{

const int kRuns = 9;

class CCountingCanvas : public CGdiTextCanvas
{
public:
    explicit CCountingCanvas(HDC hDC) : CGdiTextCanvas(hDC) {}
    int MeasureText(LPCWSTR text, int length) override
    {
        ++extents;
        return CGdiTextCanvas::MeasureText(text, length);
    }
    int extents = 0;
};

std::wstring Paragraph()
{
    std::wstring text;
    while (text.size() < 4000)
        text += L"The patch translates every {b}menu{/b}, dialogue line and {c #A03020}item name{/c}; "
                L"see {a notes}the notes{/a} for the credits and known issues. ";
    return text;
}

void ExtentsPerLine(CTestTextResources& res, HDC hDC, const std::wstring& text, RECT rc, UINT style,
                    const char* name)
{
    CCountingCanvas canvas(hDC);
    TTextLinks none;
    RECT measured = rc;
    LayoutTaggedText(res, canvas, measured, text.c_str(), 0xFF000000, none, 0, style | DT_CALCRECT);
    const int lineHeight = res.GetFontInfo(0)->LineHeight();
    int lines = std::max(1, static_cast<int>((measured.bottom - measured.top) / lineHeight));
    std::printf("%-34s %d extents for %d lines (%.1f per line)\n", name, canvas.extents, lines,
                double(canvas.extents) / lines);
}

}  // namespace

int wmain()
{
    CTestTextResources res(true);
    res.AddSkinFont(0, L"Tahoma", 13);
    HDC screen = GetDC(NULL);
    CSurface surface;
    const bool ready = surface.Create(screen, 300, 4000, false);
    ReleaseDC(NULL, screen);
    if (!ready)
    {
        std::fprintf(stderr, "no off-screen surface to draw into\n");
        return 1;
    }
    surface.SelectForLife();
    const HDC dc = surface.Dc();

    const std::wstring paragraph = Paragraph();
    const std::wstring line(200, L'x');
    const RECT wide = {0, 0, 300, 4000};
    const RECT narrow = {0, 0, 150, 20};

    MeasureBestMedian("paragraph, measured", kRuns, 20, [&] {
        RECT rc = wide;
        int links = 0;
        CRenderer::DrawMarkupText(dc, &res, rc, paragraph.c_str(), 0xFF000000, NULL, NULL, links, 0,
                                  DT_WORDBREAK | DT_CALCRECT);
    });
    MeasureBestMedian("paragraph, drawn", kRuns, 20, [&] {
        RECT rc = wide;
        RECT linkRects[8];
        CUIString linkTexts[8];
        int links = 8;
        CRenderer::DrawMarkupText(dc, &res, rc, paragraph.c_str(), 0xFF000000, linkRects, linkTexts, links, 0,
                                  DT_WORDBREAK);
    });
    MeasureBestMedian("label with ellipsis, drawn", kRuns, 500, [&] {
        RECT rc = narrow;
        int links = 0;
        CRenderer::DrawMarkupText(dc, &res, rc, line.c_str(), 0xFF000000, NULL, NULL, links, 0,
                                  DT_SINGLELINE | DT_END_ELLIPSIS);
    });
    MeasureBestMedian("plain label with ellipsis, drawn", kRuns, 500, [&] {
        RECT rc = narrow;
        CRenderer::DrawText(dc, &res, rc, line.c_str(), 0xFF000000, 0, DT_SINGLELINE | DT_END_ELLIPSIS);
    });
    ExtentsPerLine(res, dc, paragraph, wide, DT_WORDBREAK, "paragraph extents");
    ExtentsPerLine(res, dc, line, narrow, DT_SINGLELINE | DT_END_ELLIPSIS, "label extents");
    return 0;
}
