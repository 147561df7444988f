#include "ui/controls/Label.h"

#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"

// Lean Windows headers leave out the COM types the GDI+ headers use.
#include <objidl.h>
#include <gdiplus.h>

// A label with "enabledeffect" draws its text through GDI+, in layers from
// the bottom up: glow, outline, shadow, then the text itself.

namespace
{
using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Owns one GDI+ object and deletes it with its own deleter.
template <typename T, GpStatus(WINGDIPAPI* Delete)(T*)> class CGpObject
{
public:
    CGpObject() : m_object(NULL) {}
    explicit CGpObject(T* object) : m_object(object) {}
    ~CGpObject()
    {
        if (m_object != NULL)
            Delete(m_object);
    }
    T* Get() const { return m_object; }
    T** Out() { return &m_object; }
    void Reset(T* object)
    {
        if (m_object != NULL)
            Delete(m_object);
        m_object = object;
    }

private:
    CGpObject(const CGpObject&) = delete;
    CGpObject& operator=(const CGpObject&) = delete;

    T* m_object;
};

GpStatus WINGDIPAPI DeleteImage(GpBitmap* bitmap)
{
    return GdipDisposeImage(bitmap);
}

typedef CGpObject<GpGraphics, GdipDeleteGraphics> CGpGraphics;
typedef CGpObject<GpBrush, GdipDeleteBrush> CGpBrush;
typedef CGpObject<GpStringFormat, GdipDeleteStringFormat> CGpStringFormat;
typedef CGpObject<GpFont, GdipDeleteFont> CGpFont;
typedef CGpObject<GpBitmap, DeleteImage> CGpBitmap;

// A gradient from (startX, 0) to (0, length), repeated beyond its ends. When
// the two points coincide GDI+ has no direction to run along, so the start
// colour fills everything instead of nothing being drawn.
GpBrush* CreateGradientBrush(int startX, int length, DWORD from, DWORD to)
{
    const GpPoint start = {startX, 0};
    const GpPoint end = {0, length};
    GpLineGradient* gradient = NULL;
    if ((startX != 0 || length != 0) &&
        GdipCreateLineBrushI(&start, &end, from, to, WrapModeTile, &gradient) == Ok)
        return gradient;
    GpSolidFill* solid = NULL;
    if (GdipCreateSolidFill(from, &solid) == Ok)
        return solid;
    return NULL;
}

StringAlignment LineAlignmentOf(UINT style)
{
    if (style & DT_VCENTER)
        return StringAlignmentCenter;
    return (style & DT_BOTTOM) ? StringAlignmentFar : StringAlignmentNear;
}

StringAlignment AlignmentOf(UINT style)
{
    if (style & DT_CENTER)
        return StringAlignmentCenter;
    return (style & DT_RIGHT) ? StringAlignmentFar : StringAlignmentNear;
}

RectF Moved(const RectF& rc, REAL dx, REAL dy)
{
    RectF moved = rc;
    moved.X += dx;
    moved.Y += dy;
    return moved;
}

// What every layer draws: the same text, font and format.
struct TEffectText
{
    LPCWSTR text;
    GpFont* font;
    GpStringFormat* format;
};

void DrawEffectText(GpGraphics* graphics, const TEffectText& t, const RectF& rc, GpBrush* brush)
{
    if (graphics != NULL && brush != NULL)
        GdipDrawString(graphics, t.text, -1, t.font, &rc, t.format, brush);
}

// The glow: the text drawn alone into a bitmap, shrunk by the fuzz factor
// and stretched back, which blurs it, then laid under the other layers.
void DrawGlow(GpGraphics* target, const TEffectText& t, const RECT& rcText, GpBrush* brush, float fuzzy,
              const TShadowOffset& offset)
{
    const int width = rcText.right - rcText.left;
    const int height = rcText.bottom - rcText.top;
    if (width <= 0 || height <= 0)
        return;
    const SIZE reducedSize = CLabelUI::GlowReducedSize(CUISize(width, height), fuzzy);

    CGpBitmap full;
    CGpGraphics fullGraphics;
    if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, NULL, full.Out()) != Ok ||
        GdipGetImageGraphicsContext(full.Get(), fullGraphics.Out()) != Ok)
        return;
    GdipSetSmoothingMode(fullGraphics.Get(), SmoothingModeAntiAlias);
    GdipSetTextRenderingHint(fullGraphics.Get(), TextRenderingHintAntiAlias);
    GdipSetCompositingQuality(fullGraphics.Get(), CompositingQualityAssumeLinear);
    const RectF origin(0.0f, 0.0f, static_cast<REAL>(width), static_cast<REAL>(height));
    DrawEffectText(fullGraphics.Get(), t, origin, brush);

    CGpBitmap reduced;
    CGpGraphics reducedGraphics;
    if (GdipCreateBitmapFromScan0(reducedSize.cx, reducedSize.cy, 0, PixelFormat32bppARGB, NULL,
                                  reduced.Out()) != Ok ||
        GdipGetImageGraphicsContext(reduced.Get(), reducedGraphics.Out()) != Ok)
        return;
    GdipSetInterpolationMode(reducedGraphics.Get(), InterpolationModeHighQualityBicubic);
    GdipSetPixelOffsetMode(reducedGraphics.Get(), PixelOffsetModeNone);
    GdipDrawImageRectI(reducedGraphics.Get(), full.Get(), 0, 0, reducedSize.cx, reducedSize.cy);

    GdipGraphicsClear(fullGraphics.Get(), 0);
    GdipDrawImageRectI(fullGraphics.Get(), reduced.Get(), static_cast<int>(offset.dx),
                       static_cast<int>(offset.dy), width, height);
    GdipDrawImageRectI(target, full.Get(), rcText.left, rcText.top, width, height);
}
}  // namespace

SIZE CLabelUI::GlowReducedSize(SIZE text, float fuzzy)
{
    // A factor below 1 would enlarge the "reduced" copy instead of blurring
    // it, and the bitmap could grow without bound.
    const float factor = fuzzy < 1.0f ? 1.0f : fuzzy;
    const int cx = static_cast<int>(text.cx / factor);
    const int cy = static_cast<int>(text.cy / factor);
    return CUISize(cx > 0 ? cx : 1, cy > 0 ? cy : 1);
}

void CLabelUI::PaintTextWithEffects(HDC hDC)
{
    // Font, surface and format.
    const RECT rcText = TextRect();
    const HFONT hFont = manager != NULL ? manager->GetFont(font) : NULL;
    CGpFont gpFont(CreateGdiplusFont(hDC, hFont));
    CGpGraphics graphics;
    if (gpFont.Get() == NULL || GdipCreateFromHDC(hDC, graphics.Out()) != Ok)
        return;
    GdipSetTextRenderingHint(graphics.Get(), TextRenderingHintAntiAlias);
    CGpStringFormat format;
    if (GdipCreateStringFormat(0, LANG_NEUTRAL, format.Out()) != Ok)
        return;
    GdipSetStringFormatLineAlign(format.Get(), LineAlignmentOf(textStyle));
    GdipSetStringFormatAlign(format.Get(), AlignmentOf(textStyle));
    const RectF layout(static_cast<REAL>(rcText.left), static_cast<REAL>(rcText.top),
                       static_cast<REAL>(rcText.right - rcText.left),
                       static_cast<REAL>(rcText.bottom - rcText.top));
    const TEffectText effectText = {text.GetData(), gpFont.Get(), format.Get()};

    // Gradient brushes; 0xFFFFFFFF as an end colour means "no gradient".
    const int length = gradientLength != 0 ? gradientLength : rcText.bottom - rcText.top;
    CGpBrush textBrush(CreateGradientBrush(gradientAngle, length, textColor,
                                           textColor1 == 0xFFFFFFFF ? textColor : textColor1));
    CGpBrush shadowBrush(
        CreateGradientBrush(gradientAngle, length, textShadowColorA,
                            textShadowColorB == 0xFFFFFFFF ? textShadowColorA : textShadowColorB));

    // Glow under everything.
    if (enableLuminous)
        DrawGlow(graphics.Get(), effectText, rcText, textBrush.Get(), luminousFuzzy, shadowOffset);

    // Outline: the text one pixel off in each of the four directions.
    if (enableStroke && strokeColor != 0)
    {
        CGpBrush strokeBrush(
            CreateGradientBrush(gradientAngle, rcText.bottom - rcText.top + 2, strokeColor, strokeColor));
        DrawEffectText(graphics.Get(), effectText, Moved(layout, -1.0f, 0.0f), strokeBrush.Get());
        DrawEffectText(graphics.Get(), effectText, Moved(layout, 1.0f, 0.0f), strokeBrush.Get());
        DrawEffectText(graphics.Get(), effectText, Moved(layout, 0.0f, -1.0f), strokeBrush.Get());
        DrawEffectText(graphics.Get(), effectText, Moved(layout, 0.0f, 1.0f), strokeBrush.Get());
    }

    // Shadow, unless both its colours are transparent black.
    if (enableShadow && (textShadowColorA != 0 || textShadowColorB != 0))
        DrawEffectText(graphics.Get(), effectText, Moved(layout, shadowOffset.dx, shadowOffset.dy),
                       shadowBrush.Get());

    // The text itself on top.
    DrawEffectText(graphics.Get(), effectText, layout, textBrush.Get());
}
