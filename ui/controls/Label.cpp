#include "ui/controls/Label.h"
#include "ui/core/AttributeValues.h"

#include <math.h>
#include <wchar.h>

#include "ui/manager/Manager.h"
#include "ui/render/Color.h"
#include "ui/render/Renderer.h"

// Lean Windows headers leave out the COM types the GDI+ headers use.
#include <objidl.h>
#include <gdiplus.h>

namespace
{

bool Contains(LPCWSTR value, LPCWSTR part)
{
    return wcsstr(value, part) != NULL;
}

// Clears the bits of off, then sets those of on.
void ChangeBits(UINT& bits, UINT on, UINT off)
{
    bits = (bits & ~off) | on;
}

// The open side of a measuring rectangle: far enough that the text never
// reaches it, so that it is the text that decides the measured size.
const int MeasureExtent = 9999;

// A DC to measure on when the window has none yet.
class CScratchDC
{
public:
    CScratchDC() : m_hDC(::CreateCompatibleDC(NULL)) {}
    ~CScratchDC()
    {
        if (m_hDC != NULL)
            ::DeleteDC(m_hDC);
    }
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
};
}  // namespace

// ---- Attribute value forms ----

DWORD CLabelUI::ReadColor(LPCWSTR value)
{
    return ParseColorValue(value, false);
}


// ---- CLabelUI ----

CLabelUI::CLabelUI()
    : textColor(0),
      disabledTextColor(0),
      font(-1),
      textStyle(DT_VCENTER | DT_SINGLELINE),
      showHtml(false),
      needEstimate(true),
      luminousFuzzy(3.0f),
      gradientLength(0),
      gradientAngle(0),
      enableEffect(false),
      enableLuminous(false),
      enableStroke(false),
      enableShadow(false),
      textColor1(0xFFFFFFFF),
      textShadowColorA(0xFF000000),
      textShadowColorB(0xFFFFFFFF),
      strokeColor(0),
      shadowOffset{0.0f, 0.0f}
{
}

CLabelUI::~CLabelUI()
{
}

LPCWSTR CLabelUI::GetClassName() const
{
    return L"Label";
}

LPVOID CLabelUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Label") == 0)
        return this;
    return CControlUI::FindInterface(pstrName);
}

void CLabelUI::SetText(LPCWSTR pstrText)
{
    CControlUI::SetText(pstrText);
    needEstimate = true;
}

void CLabelUI::SetFixedWidth(int cx)
{
    needEstimate = true;
    CControlUI::SetFixedWidth(cx);
}

void CLabelUI::SetFixedHeight(int cy)
{
    needEstimate = true;
    CControlUI::SetFixedHeight(cy);
}

void CLabelUI::HandleEvent(TControlEvent& event)
{
    if (event.kind == EventSetFocus)
    {
        focused = true;
        return;
    }
    if (event.kind == EventKillFocus)
    {
        focused = false;
        return;
    }
    CControlUI::HandleEvent(event);
}

void CLabelUI::SetFont(int index)
{
    font = index;
    needEstimate = true;
    Invalidate();
}

void CLabelUI::SetTextColor(DWORD dwTextColor)
{
    textColor = dwTextColor;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD dwTextColor)
{
    disabledTextColor = dwTextColor;
    Invalidate();
}

void CLabelUI::SetTextStyle(UINT uStyle)
{
    textStyle = uStyle;
    needEstimate = true;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc)
{
    needEstimate = true;
    textPadding = rc;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool bShowHtml)
{
    if (showHtml == bShowHtml)
        return;
    showHtml = bShowHtml;
    needEstimate = true;
    Invalidate();
}

void CLabelUI::SetMultiLine(bool bMultiLine)
{
    if (bMultiLine)
        ChangeBits(textStyle, DT_WORDBREAK, DT_SINGLELINE);
    else
        textStyle |= DT_SINGLELINE;
    needEstimate = true;
}

void CLabelUI::SetShadowOffset(int offset, int angle)
{
    if (angle < -180 || angle > 180)
        return;
    // Light from the upper quadrants throws the shadow up and left of the
    // text, light from below throws it down; straight left and straight
    // down move it along one axis only.
    const float o = static_cast<float>(offset);
    if (angle >= 0 && angle <= 90)
        shadowOffset = {-o, -o};
    else if (angle > 90)
        shadowOffset = {-o, o};
    else if (angle > -90)
        shadowOffset = {o, -o};
    else if (angle == -90)
        shadowOffset = {o, 0.0f};
    else if (angle > -180)
        shadowOffset = {o, o};
    else
        shadowOffset = {0.0f, o};
    Invalidate();
}

void CLabelUI::SetLuminousFuzzy(float fuzzy)
{
    if (!(fuzzy >= 0.0001f))  // also refuses NaN
        return;
    luminousFuzzy = fuzzy;
    Invalidate();
}

void CLabelUI::SetGradientLength(int length)
{
    gradientLength = length;
    Invalidate();
}

void CLabelUI::SetGradientAngle(int angle)
{
    gradientAngle = angle;
    Invalidate();
}

void CLabelUI::SetEnabledEffect(bool enable)
{
    enableEffect = enable;
    Invalidate();
}

void CLabelUI::SetEnabledLuminous(bool enable)
{
    enableLuminous = enable;
    Invalidate();
}

void CLabelUI::SetEnabledStroke(bool enable)
{
    enableStroke = enable;
    Invalidate();
}

void CLabelUI::SetEnabledShadow(bool enable)
{
    enableShadow = enable;
    Invalidate();
}

void CLabelUI::SetTextColor1(DWORD color)
{
    textColor1 = color;
    Invalidate();
}

void CLabelUI::SetTextShadowColorA(DWORD color)
{
    textShadowColorA = color;
    Invalidate();
}

void CLabelUI::SetTextShadowColorB(DWORD color)
{
    textShadowColorB = color;
    Invalidate();
}

void CLabelUI::SetStrokeColor(DWORD color)
{
    strokeColor = color;
    Invalidate();
}

// ---- Attributes ----

void CLabelUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyLabelAttribute(pstrName, pstrValue))
        CControlUI::SetAttribute(pstrName, pstrValue);
}

bool CLabelUI::ApplyLabelAttribute(LPCWSTR name, LPCWSTR value)
{
    // Alignment words are looked for anywhere in the value and applied in a
    // fixed order, so "left right" ends right-aligned.
    if (AttributeIs(name, L"align"))
    {
        if (Contains(value, L"left"))
            ChangeBits(textStyle, 0, DT_CENTER | DT_RIGHT);
        if (Contains(value, L"center"))
            ChangeBits(textStyle, DT_CENTER, DT_RIGHT);
        if (Contains(value, L"right"))
            ChangeBits(textStyle, DT_RIGHT, DT_CENTER);
    }
    else if (AttributeIs(name, L"valign"))
    {
        if (Contains(value, L"top"))
            ChangeBits(textStyle, 0, DT_VCENTER | DT_BOTTOM);
        if (Contains(value, L"vcenter"))
            ChangeBits(textStyle, DT_VCENTER, DT_BOTTOM);
        if (Contains(value, L"bottom"))
            ChangeBits(textStyle, DT_BOTTOM, DT_VCENTER);
    }
    else if (AttributeIs(name, L"endellipsis"))
        ChangeBits(textStyle, ParseBool(value) ? DT_END_ELLIPSIS : 0, DT_END_ELLIPSIS);
    else if (AttributeIs(name, L"font"))
        SetFont(ParseInt(value));
    else if (AttributeIs(name, L"textcolor"))
        SetTextColor(ReadColor(value));
    else if (AttributeIs(name, L"disabledtextcolor"))
        SetDisabledTextColor(ReadColor(value));
    else if (AttributeIs(name, L"textpadding"))
    {
        int sides[4];
        ParseIntList(value, sides, 4);
        SetTextPadding(CUIRect(sides[0], sides[1], sides[2], sides[3]));
    }
    else if (AttributeIs(name, L"multiline"))
        SetMultiLine(ParseBool(value));
    else if (AttributeIs(name, L"showhtml"))
        SetShowHtml(ParseBool(value));
    else if (AttributeIs(name, L"enabledeffect"))
        SetEnabledEffect(ParseBool(value));
    else if (AttributeIs(name, L"enabledluminous"))
        SetEnabledLuminous(ParseBool(value));
    else if (AttributeIs(name, L"luminousfuzzy"))
        SetLuminousFuzzy(static_cast<float>(wcstod(value, NULL)));
    else if (AttributeIs(name, L"gradientangle"))
        SetGradientAngle(ParseInt(value));
    else if (AttributeIs(name, L"enabledstroke"))
        SetEnabledStroke(ParseBool(value));
    else if (AttributeIs(name, L"enabledshadow"))
        SetEnabledShadow(ParseBool(value));
    else if (AttributeIs(name, L"gradientlength"))
        SetGradientLength(ParseInt(value));
    else if (AttributeIs(name, L"shadowoffset"))
    {
        int offsetAndAngle[2];
        ParseIntList(value, offsetAndAngle, 2);
        SetShadowOffset(offsetAndAngle[0], offsetAndAngle[1]);
    }
    else if (AttributeIs(name, L"textcolor1"))
        SetTextColor1(ReadColor(value));
    else if (AttributeIs(name, L"textshadowcolora"))
        SetTextShadowColorA(ReadColor(value));
    else if (AttributeIs(name, L"textshadowcolorb"))
        SetTextShadowColorB(ReadColor(value));
    else if (AttributeIs(name, L"strokecolor"))
        SetStrokeColor(ReadColor(value));
    else
        return false;
    return true;
}

// ---- Measuring ----

void CLabelUI::MeasureInto(RECT& rc)
{
    // Alignment would move the measured rectangle instead of sizing it.
    const UINT style = (textStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    HDC hDC = manager->GetPaintDC();
    if (hDC != NULL)
    {
        DrawCaption(hDC, rc, 0, style);
        return;
    }
    CScratchDC scratch;
    if (scratch.Get() != NULL)
        DrawCaption(scratch.Get(), rc, 0, style);
}

SIZE CLabelUI::EstimateSize(SIZE szAvailable)
{
    if (fixedWidth > 0 && fixedHeight > 0)
        return CUISize(fixedWidth, fixedHeight);
    // Without a window there are no fonts to measure with; the estimate
    // waits until the label is attached.
    if (manager == NULL)
        return CUISize(fixedWidth, fixedHeight);

    // 1. Wrapped text depends on the width it is given; one line does not.
    const bool singleLine = !IsMultiLine();
    if (!singleLine && (szAvailable.cx != lastAvailable.cx || szAvailable.cy != lastAvailable.cy))
        needEstimate = true;
    if (!needEstimate)
        return estimatedSize;

    // 2. Only the dimensions without a fixed value follow the text.
    needEstimate = false;
    lastAvailable = szAvailable;
    estimatedSize = CUISize(fixedWidth, fixedHeight);
    const int padX = textPadding.left + textPadding.right;
    const int padY = textPadding.top + textPadding.bottom;
    if (singleLine)
    {
        if (estimatedSize.cy == 0)
        {
            const TFontEntry* info = manager->GetFontInfo(font);
            const int textHeight = info != NULL ? info->metrics.tmHeight : 0;
            estimatedSize.cy = padY + textHeight + 8;
        }
        if (estimatedSize.cx == 0)
        {
            RECT rc = {0, 0, MeasureExtent, estimatedSize.cy};
            MeasureInto(rc);
            estimatedSize.cx = padX + (rc.right - rc.left);
        }
        return estimatedSize;
    }

    // 3. Wrapped text takes the height its lines need, fixed height or not.
    if (estimatedSize.cx == 0)
        estimatedSize.cx = szAvailable.cx;
    RECT rc = {textPadding.left, 0, estimatedSize.cx - textPadding.right, MeasureExtent};
    MeasureInto(rc);
    estimatedSize.cy = padY + (rc.bottom - rc.top);
    return estimatedSize;
}

// ---- Painting ----

void CLabelUI::FillDefaultColors()
{
    if (manager == NULL)
        return;
    if (textColor == 0)
        textColor = manager->GetDefaultFontColor();
    if (disabledTextColor == 0)
        disabledTextColor = manager->GetDefaultDisabledColor();
}

DWORD CLabelUI::StateTextColor() const
{
    return IsEnabled() ? textColor : disabledTextColor;
}

RECT CLabelUI::TextRect() const
{
    RECT rc = itemRect;
    rc.left += textPadding.left;
    rc.top += textPadding.top;
    rc.right -= textPadding.right;
    rc.bottom -= textPadding.bottom;
    return rc;
}

void CLabelUI::DrawCaption(HDC hDC, RECT& rc, DWORD color, UINT style)
{
    if (showHtml)
    {
        int noLinks = 0;
        CRenderer::DrawMarkupText(hDC, manager, rc, text, color, NULL, NULL, noLinks, font, style);
    }
    else
        CRenderer::DrawText(hDC, manager, rc, text, color, font, style);
}

void CLabelUI::PaintText(HDC hDC)
{
    FillDefaultColors();
    if (enableEffect && gdiplus.Ensure())
    {
        PaintTextWithEffects(hDC);
        return;
    }
    if (text.IsEmpty())
        return;
    RECT rc = TextRect();
    DrawCaption(hDC, rc, StateTextColor(), textStyle);
}

// ---- Text effects ----

namespace
{
using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Owns one GDI+ object and deletes it with its own deleter.
template <typename T, GpStatus(WINGDIPAPI* Delete)(T*)>
class CGpObject
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
    GdipDrawImageRectI(fullGraphics.Get(), reduced.Get(), static_cast<int>(offset.dx), static_cast<int>(offset.dy),
                       width, height);
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
    // 1. Font, surface and format.
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
                       static_cast<REAL>(rcText.right - rcText.left), static_cast<REAL>(rcText.bottom - rcText.top));
    const TEffectText effectText = {text.GetData(), gpFont.Get(), format.Get()};

    // 2. Gradient brushes; 0xFFFFFFFF as an end colour means "no gradient".
    const int length = gradientLength != 0 ? gradientLength : rcText.bottom - rcText.top;
    CGpBrush textBrush(CreateGradientBrush(gradientAngle, length, textColor,
                                           textColor1 == 0xFFFFFFFF ? textColor : textColor1));
    CGpBrush shadowBrush(CreateGradientBrush(gradientAngle, length, textShadowColorA,
                                             textShadowColorB == 0xFFFFFFFF ? textShadowColorA : textShadowColorB));

    // 3. Glow under everything.
    if (enableLuminous)
        DrawGlow(graphics.Get(), effectText, rcText, textBrush.Get(), luminousFuzzy, shadowOffset);

    // 4. Outline: the text one pixel off in each of the four directions.
    if (enableStroke && strokeColor != 0)
    {
        CGpBrush strokeBrush(CreateGradientBrush(gradientAngle, rcText.bottom - rcText.top + 2, strokeColor,
                                                 strokeColor));
        DrawEffectText(graphics.Get(), effectText, Moved(layout, -1.0f, 0.0f), strokeBrush.Get());
        DrawEffectText(graphics.Get(), effectText, Moved(layout, 1.0f, 0.0f), strokeBrush.Get());
        DrawEffectText(graphics.Get(), effectText, Moved(layout, 0.0f, -1.0f), strokeBrush.Get());
        DrawEffectText(graphics.Get(), effectText, Moved(layout, 0.0f, 1.0f), strokeBrush.Get());
    }

    // 5. Shadow, unless both its colours are transparent black.
    if (enableShadow && (textShadowColorA != 0 || textShadowColorB != 0))
        DrawEffectText(graphics.Get(), effectText, Moved(layout, shadowOffset.dx, shadowOffset.dy),
                       shadowBrush.Get());

    // 6. The text itself on top.
    DrawEffectText(graphics.Get(), effectText, layout, textBrush.Get());
}

// ---- CTextUI ----

CTextUI::CTextUI() : linkCount(0), linkRects(), hotLink(-1)
{
    textStyle = DT_WORDBREAK;
    textPadding.left = 2;
    textPadding.right = 2;
}

CTextUI::~CTextUI()
{
}

LPCWSTR CTextUI::GetClassName() const
{
    return L"Text";
}

LPVOID CTextUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Text") == 0)
        return this;
    return CLabelUI::FindInterface(pstrName);
}

UINT CTextUI::GetFlags() const
{
    return IsEnabled() && linkCount > 0 ? FlagSetCursor : 0;
}

RECT CTextUI::GetLinkRect(int index) const
{
    if (index < 0 || index >= linkCount)
        return CUIRect();
    return linkRects[index];
}

CUIString CTextUI::GetLinkText(int index) const
{
    if (index < 0 || index >= linkCount)
        return CUIString();
    return linkTexts[index];
}

int CTextUI::LinkAt(POINT pt) const
{
    for (int i = 0; i < linkCount; ++i)
    {
        if (::PtInRect(&linkRects[i], pt))
            return i;
    }
    return -1;
}

bool CTextUI::HandleLinkEvent(TControlEvent& event)
{
    switch (event.kind)
    {
    case EventSetCursor:
        if (LinkAt(event.point) < 0)
            return false;
        ::SetCursor(::LoadCursorW(NULL, IDC_HAND));
        return true;
    case EventButtonDown:
    case EventDoubleClick:
        if (!IsEnabled() || LinkAt(event.point) < 0)
            return false;
        Invalidate();
        return true;
    case EventButtonUp:
    {
        const int link = IsEnabled() ? LinkAt(event.point) : -1;
        if (link < 0)
            return false;
        if (manager != NULL)
            manager->SendNotify(this, NotifyType::Link, static_cast<WPARAM>(link), 0, false);
        return true;
    }
    case EventContextMenu:
        return true;
    case EventMouseMove:
    {
        if (!IsEnabled() || linkCount == 0)
            return false;
        const int link = LinkAt(event.point);
        if (link != hotLink)
        {
            hotLink = link;
            Invalidate();
        }
        return true;
    }
    case EventMouseLeave:
        if (!IsEnabled() || linkCount == 0 || hotLink == -1)
            return false;
        // The manager reports leaving when the pointer moves onto another
        // control drawn over the link; the link stays hot until it is left.
        if (::PtInRect(&linkRects[hotLink], event.point))
        {
            if (manager != NULL)
                manager->AddMouseLeaveNeeded(this);
            return true;
        }
        hotLink = -1;
        Invalidate();
        if (manager != NULL)
            manager->RemoveMouseLeaveNeeded(this);
        return true;
    default:
        return false;
    }
}

void CTextUI::HandleEvent(TControlEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.kind))
    {
        if (parent != NULL)
            parent->HandleEvent(event);
        else
            CLabelUI::HandleEvent(event);
        return;
    }
    if (!HandleLinkEvent(event))
        CLabelUI::HandleEvent(event);
}

void CTextUI::PaintText(HDC hDC)
{
    if (text.IsEmpty())
    {
        linkCount = 0;
        hotLink = -1;
        return;
    }
    FillDefaultColors();
    RECT rc = TextRect();
    if (showHtml)
    {
        linkCount = MaxLinks;
        CRenderer::DrawMarkupText(hDC, manager, rc, text, StateTextColor(), linkRects, linkTexts,
                                  linkCount, font, textStyle);
    }
    else
    {
        CRenderer::DrawText(hDC, manager, rc, text, StateTextColor(), font, textStyle);
        linkCount = 0;
    }
    if (hotLink >= linkCount)
        hotLink = -1;
}
