#include "ui/controls/Label.h"
#include "ui/core/AttributeValues.h"

#include <math.h>
#include <wchar.h>

#include "ui/manager/Manager.h"
#include "ui/render/Color.h"
#include "ui/render/Renderer.h"

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
