#pragma once

#include <windows.h>

#include "ui/controls/Control.h"
#include "ui/controls/ControlTag.h"
#include "ui/controls/LinkFocus.h"
#include "ui/render/GdiplusSession.h"

// Displacement of a label's shadow and glow, in pixels.
struct TShadowOffset
{
    float dx;
    float dy;
};

// A caption: one line or a wrapped block of plain or tagged text inside the
// control's rectangle less its text padding, in a font of the window's table.
// Layouts size it through EstimateSize, whose result is cached until the
// text, font, padding, markup or line mode, fixed size or (for wrapped text)
// the available width changes. With "enabledeffect" the text is drawn with
// GDI+ instead, with glow, outline, shadow and a gradient fill.
class CLabelUI : public CControlUI
{
public:
    CLabelUI();
    ~CLabelUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetText(LPCWSTR pstrText) override;
    DWORD GetAccessibleRole() override;
    // Tagged text without its tags, a line break read as a blank.
    CUIString GetAccessibleText() override;
    void SetFixedWidth(int cx) override;
    void SetFixedHeight(int cy) override;
    // Focus changes only set the flag: a plain label has no focused look.
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ScaleGeometry(int fromDpi, int toDpi) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintText(HDC hDC) override;

    // ---- Operations ----
    // Index into the window's font table; -1 is the default font.
    void SetFont(int index);
    int GetFont() const { return font; }
    // 0 takes the window's default colour at the first paint.
    void SetTextColor(DWORD dwTextColor);
    DWORD GetTextColor() const { return textColor; }
    void SetDisabledTextColor(DWORD dwTextColor);
    DWORD GetDisabledTextColor() const { return disabledTextColor; }
    // DrawText style bits (DT_*).
    void SetTextStyle(UINT uStyle);
    UINT GetTextStyle() const { return textStyle; }
    void SetTextPadding(RECT rc);
    RECT GetTextPadding() const { return textPadding; }
    void SetShowHtml(bool bShowHtml = true);
    bool IsShowHtml() const { return showHtml; }
    // Wrapped text, or a single line; no repaint until something else asks.
    void SetMultiLine(bool bMultiLine = true);
    bool IsMultiLine() const { return (textStyle & DT_SINGLELINE) == 0; }

    // ---- Text effects ----
    // The shadow (and glow) moves offset pixels away from the light, which
    // comes from angle degrees (-180..180; others are ignored).
    void SetShadowOffset(int offset, int angle);
    TShadowOffset GetShadowOffset() const { return shadowOffset; }
    // How much the glow is blurred; values below 0.0001 are ignored.
    void SetLuminousFuzzy(float fuzzy);
    float GetLuminousFuzzy() const { return luminousFuzzy; }
    // Length of the colour gradient; 0 spans the text rectangle's height.
    void SetGradientLength(int length);
    int GetGradientLength() const { return gradientLength; }
    // Horizontal start of the colour gradient.
    void SetGradientAngle(int angle);
    int GetGradientAngle() const { return gradientAngle; }
    void SetEnabledEffect(bool enable);
    bool IsEnabledEffect() const { return enableEffect; }
    void SetEnabledLuminous(bool enable);
    bool IsEnabledLuminous() const { return enableLuminous; }
    void SetEnabledStroke(bool enable);
    bool IsEnabledStroke() const { return enableStroke; }
    void SetEnabledShadow(bool enable);
    bool IsEnabledShadow() const { return enableShadow; }
    // 0xFFFFFFFF: no gradient, the text is drawn in the text colour alone.
    void SetTextColor1(DWORD color);
    DWORD GetTextColor1() const { return textColor1; }
    void SetTextShadowColorA(DWORD color);
    DWORD GetTextShadowColorA() const { return textShadowColorA; }
    // 0xFFFFFFFF: the shadow is drawn in colour A alone.
    void SetTextShadowColorB(DWORD color);
    DWORD GetTextShadowColorB() const { return textShadowColorB; }
    // 0: no outline.
    void SetStrokeColor(DWORD color);
    DWORD GetStrokeColor() const { return strokeColor; }
    // The reduced copy of a text rectangle of this size that the glow is
    // blurred through: at least one pixel, never larger than the text.
    static SIZE GlowReducedSize(SIZE text, float fuzzy);

protected:
    // ---- Implementation ----
    // Zero colours take the window's defaults, once and for good.
    void FillDefaultColors();
    // Enabled or disabled colour, as the state asks.
    DWORD StateTextColor() const;
    RECT TextRect() const;
    // Plain or tagged text in the label's font, without link bookkeeping.
    void DrawCaption(HDC hDC, RECT& rc, DWORD color, UINT style);
    void MeasureInto(RECT& rc);
    void PaintTextWithEffects(HDC hDC);

    // Colours of the label family: an optional "#", then hexadecimal digits; a leading blank reads as 0.
    static DWORD ReadColor(LPCWSTR value);

    // ---- Data ----
    DWORD textColor;
    DWORD disabledTextColor;
    int font;
    UINT textStyle;
    CUIRect textPadding;
    bool showHtml;
    CUISize lastAvailable;
    CUISize estimatedSize;
    bool needEstimate;
    float luminousFuzzy;
    int gradientLength;
    int gradientAngle;
    bool enableEffect;
    bool enableLuminous;
    bool enableStroke;
    bool enableShadow;
    DWORD textColor1;
    DWORD textShadowColorA;
    DWORD textShadowColorB;
    DWORD strokeColor;
    TShadowOffset shadowOffset;
    CGdiplusUse gdiplus;  // taken at the first effect paint

    static const TAttributeRow<CLabelUI> attributeTable[];
};

// Running text: wraps by default and, with tagged text, remembers where its
// links were drawn so that it can show the hand pointer over them, colour the
// one under the pointer and report a click on one as "link" with its index.
// Text with links is a tab stop: Tab visits its links in turn before it
// leaves, and Return or Space reports the focused one as a click does.
class CTextUI : public CLabelUI, public ITabLinksUI
{
public:
    enum
    {
        MaxLinks = 8
    };

    CTextUI();
    ~CTextUI() override;

    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    UINT GetFlags() const override;
    void HandleEvent(TControlEvent& event) override;
    void PaintText(HDC hDC) override;
    // A focused link shows the focus in place of the whole control.
    bool HasFocusedLook() const override;

    // ---- ITabLinksUI ----
    bool MoveLinkFocus(bool bForward) override;
    void EnterByTab(bool bForward) override;

    // The link the keyboard is on (the first entry of it), -1 for none.
    int GetFocusedLink() const { return focusedLink; }

    // Links drawn at the last paint: their count, rectangles and texts.
    int GetLinkCount() const { return linkCount; }
    RECT GetLinkRect(int index) const;
    CUIString GetLinkText(int index) const;
    // The link under the pointer, -1 for none.
    int GetHotLink() const { return hotLink; }

protected:
    // The link containing pt, -1 when none does.
    int LinkAt(POINT pt) const;
    // Mouse events over a link, in the order they are tried; false when the
    // event is not one of theirs and goes to the label.
    bool HandleLinkEvent(TControlEvent& event);
    // Focus changes and the keys that follow the focused link.
    bool HandleLinkKey(TControlEvent& event);
    TLinkEntries Entries() const;
    void SetFocusedLink(int link);

    int linkCount;
    RECT linkRects[MaxLinks];
    CUIString linkTexts[MaxLinks];
    int hotLink;
    int focusedLink;
};

// The element names that make these controls in skins.
inline constexpr TControlTag kLabelTags[] = {
    {L"Label", AnyCase, MakeControl<CLabelUI>},
    {L"Text", AnyCase, MakeControl<CTextUI>},
};
