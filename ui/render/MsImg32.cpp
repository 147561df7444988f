#include "ui/render/MsImg32.h"

#include "ui/render/Renderer.h"

namespace
{

struct TMsImg32Functions
{
    PFN_ALPHABLEND alphaBlend;
    PFN_GRADIENTFILL gradientFill;
};

bool g_hideAlphaBlend = false;
bool g_hideGradientFill = false;

TMsImg32Functions LookUp()
{
    TMsImg32Functions functions = {NULL, NULL};
    // The manager loads the library when it is constructed; loading it here
    // as well keeps a drawing made before any manager exists from settling on
    // the fallbacks for the rest of the process.
    HMODULE module = GetModuleHandleW(L"msimg32.dll");
    if (module == NULL)
        module = LoadLibraryW(L"msimg32.dll");
    if (module == NULL)
        return functions;
    functions.alphaBlend =
        reinterpret_cast<PFN_ALPHABLEND>(reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
    functions.gradientFill =
        reinterpret_cast<PFN_GRADIENTFILL>(reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")));
    return functions;
}

// A function-local static is initialised once, safely against threads.
const TMsImg32Functions& Functions()
{
    static const TMsImg32Functions functions = LookUp();
    return functions;
}

}  // namespace

PFN_ALPHABLEND CMsImg32::GetAlphaBlend()
{
    return g_hideAlphaBlend ? NULL : Functions().alphaBlend;
}

PFN_GRADIENTFILL CMsImg32::GetGradientFill()
{
    return g_hideGradientFill ? NULL : Functions().gradientFill;
}

BOOL CMsImg32::Blend(HDC hDest, int x, int y, int cx, int cy, HDC hSrc, int sx, int sy, int scx, int scy,
                     BLENDFUNCTION blend)
{
    PFN_ALPHABLEND alphaBlend = GetAlphaBlend();
    if (alphaBlend != NULL)
        return alphaBlend(hDest, x, y, cx, cy, hSrc, sx, sy, scx, scy, blend);
    return CRenderer::BlendFallback(hDest, x, y, cx, cy, hSrc, sx, sy, scx, scy, blend);
}

CMsImg32Missing::CMsImg32Missing(bool alphaBlend, bool gradientFill)
    : m_oldAlphaBlend(g_hideAlphaBlend),
      m_oldGradientFill(g_hideGradientFill)
{
    g_hideAlphaBlend = g_hideAlphaBlend || alphaBlend;
    g_hideGradientFill = g_hideGradientFill || gradientFill;
}

CMsImg32Missing::~CMsImg32Missing()
{
    g_hideAlphaBlend = m_oldAlphaBlend;
    g_hideGradientFill = m_oldGradientFill;
}
