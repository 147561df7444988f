#include "ui/controls/Label.h"
#include "ui/core/AttributeValues.h"

#include <math.h>
#include <wchar.h>

#include "ui/manager/Manager.h"
#include "ui/render/Color.h"
#include "ui/render/GdiScope.h"
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
    SetAndInvalidate(textColor, dwTextColor);
}
void CLabelUI::SetDisabledTextColor(DWORD dwTextColor)
{
    SetAndInvalidate(disabledTextColor, dwTextColor);
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
    SetAndInvalidate(gradientLength, length);
}
void CLabelUI::SetGradientAngle(int angle)
{
    SetAndInvalidate(gradientAngle, angle);
}
void CLabelUI::SetEnabledEffect(bool enable)
{
    SetAndInvalidate(enableEffect, enable);
}
void CLabelUI::SetEnabledLuminous(bool enable)
{
    SetAndInvalidate(enableLuminous, enable);
}
void CLabelUI::SetEnabledStroke(bool enable)
{
    SetAndInvalidate(enableStroke, enable);
}
void CLabelUI::SetEnabledShadow(bool enable)
{
    SetAndInvalidate(enableShadow, enable);
}
void CLabelUI::SetTextColor1(DWORD color)
{
    SetAndInvalidate(textColor1, color);
}
void CLabelUI::SetTextShadowColorA(DWORD color)
{
    SetAndInvalidate(textShadowColorA, color);
}
void CLabelUI::SetTextShadowColorB(DWORD color)
{
    SetAndInvalidate(textShadowColorB, color);
}
void CLabelUI::SetStrokeColor(DWORD color)
{
    SetAndInvalidate(strokeColor, color);
}

// ---- Attributes ----

namespace
{
// Alignment words are looked for anywhere in the value and applied in table
// order, so "left right" ends right-aligned.
struct TStyleWord
{
    LPCWSTR word;
    UINT on;
    UINT off;
};

const TStyleWord kAlignWords[] = {
    {L"left", 0, DT_CENTER | DT_RIGHT}, {L"center", DT_CENTER, DT_RIGHT}, {L"right", DT_RIGHT, DT_CENTER}};
const TStyleWord kVAlignWords[] = {{L"top", 0, DT_VCENTER | DT_BOTTOM},
                                   {L"vcenter", DT_VCENTER, DT_BOTTOM},
                                   {L"bottom", DT_BOTTOM, DT_VCENTER}};

template <size_t N> void ReadStyleWords(UINT& style, LPCWSTR value, const TStyleWord (&words)[N])
{
    for (const TStyleWord& word : words)
    {
        if (Contains(value, word.word))
            ChangeBits(style, word.on, word.off);
    }
}
}  // namespace

// The alignment words and "endellipsis" change the text style without a repaint.
const TAttributeRow<CLabelUI> CLabelUI::attributeTable[] = {
    {L"align", [](CLabelUI& c, LPCWSTR v) { ReadStyleWords(c.textStyle, v, kAlignWords); }},
    {L"valign", [](CLabelUI& c, LPCWSTR v) { ReadStyleWords(c.textStyle, v, kVAlignWords); }},
    {L"endellipsis",
     [](CLabelUI& c, LPCWSTR v) {
         ChangeBits(c.textStyle, ParseBool(v) ? DT_END_ELLIPSIS : 0, DT_END_ELLIPSIS);
     }},
    {L"font", [](CLabelUI& c, LPCWSTR v) { c.SetFont(ParseInt(v)); }},
    {L"textcolor", [](CLabelUI& c, LPCWSTR v) { c.SetTextColor(ReadColor(v)); }},
    {L"disabledtextcolor", [](CLabelUI& c, LPCWSTR v) { c.SetDisabledTextColor(ReadColor(v)); }},
    {L"textpadding", [](CLabelUI& c, LPCWSTR v) { c.SetTextPadding(c.ScaleSkin(ParseIntRect(v))); }},
    {L"multiline", [](CLabelUI& c, LPCWSTR v) { c.SetMultiLine(ParseBool(v)); }},
    {L"showhtml", [](CLabelUI& c, LPCWSTR v) { c.SetShowHtml(ParseBool(v)); }},
    {L"enabledeffect", [](CLabelUI& c, LPCWSTR v) { c.SetEnabledEffect(ParseBool(v)); }},
    {L"enabledluminous", [](CLabelUI& c, LPCWSTR v) { c.SetEnabledLuminous(ParseBool(v)); }},
    {L"luminousfuzzy",
     [](CLabelUI& c, LPCWSTR v) { c.SetLuminousFuzzy(static_cast<float>(wcstod(v, NULL))); }},
    {L"gradientangle", [](CLabelUI& c, LPCWSTR v) { c.SetGradientAngle(ParseInt(v)); }},
    {L"enabledstroke", [](CLabelUI& c, LPCWSTR v) { c.SetEnabledStroke(ParseBool(v)); }},
    {L"enabledshadow", [](CLabelUI& c, LPCWSTR v) { c.SetEnabledShadow(ParseBool(v)); }},
    {L"gradientlength", [](CLabelUI& c, LPCWSTR v) { c.SetGradientLength(ParseInt(v)); }},
    {L"shadowoffset",
     [](CLabelUI& c, LPCWSTR v) {
         int o[2];
         ParseIntList(v, o, 2);
         c.SetShadowOffset(c.ScaleSkin(o[0]), o[1]);
     }},
    {L"textcolor1", [](CLabelUI& c, LPCWSTR v) { c.SetTextColor1(ReadColor(v)); }},
    {L"textshadowcolora", [](CLabelUI& c, LPCWSTR v) { c.SetTextShadowColorA(ReadColor(v)); }},
    {L"textshadowcolorb", [](CLabelUI& c, LPCWSTR v) { c.SetTextShadowColorB(ReadColor(v)); }},
    {L"strokecolor", [](CLabelUI& c, LPCWSTR v) { c.SetStrokeColor(ReadColor(v)); }},
};

void CLabelUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CControlUI::SetAttribute(pstrName, pstrValue);
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
    // A DC of its own to measure on when the window has none yet.
    CMemoryDC scratch(NULL);
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

    // Wrapped text depends on the width it is given; one line does not.
    const bool singleLine = !IsMultiLine();
    if (!singleLine && (szAvailable.cx != lastAvailable.cx || szAvailable.cy != lastAvailable.cy))
        needEstimate = true;
    if (!needEstimate)
        return estimatedSize;

    // Only the dimensions without a fixed value follow the text.
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
            estimatedSize.cy = padY + textHeight + manager->ScaleSkin(8);
        }
        if (estimatedSize.cx == 0)
        {
            RECT rc = {0, 0, MeasureExtent, estimatedSize.cy};
            MeasureInto(rc);
            estimatedSize.cx = padX + (rc.right - rc.left);
        }
        return estimatedSize;
    }

    // Wrapped text takes the height its lines need, fixed height or not.
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

void CLabelUI::ScaleGeometry(int fromDpi, int toDpi)
{
    textPadding = Rescale(textPadding, fromDpi, toDpi);
    const float ratio = static_cast<float>(toDpi) / static_cast<float>(fromDpi > 0 ? fromDpi : toDpi);
    shadowOffset = {shadowOffset.dx * ratio, shadowOffset.dy * ratio};
    needEstimate = true;  // the fonts changed size too
    CControlUI::ScaleGeometry(fromDpi, toDpi);
}
