#pragma once

#include <windows.h>

#include "ui/core/UIString.h"
#include "ui/render/FontEntry.h"
#include "ui/render/ImageDescriptor.h"
#include "ui/render/ImageLoader.h"

// What text drawing asks of the window that owns fonts, images and colours.
// The window manager implements it with operations of its own; tests stand
// in for a window with fixed-width fonts.
class ITextResources : public IImageLookup
{
public:
    // Replaces the multi-language tokens of text in place.
    virtual void ResolveTextTokens(CUIString& text) = 0;
    // The font of an index; unknown and negative indexes give the default font.
    virtual HFONT GetFont(int id) = 0;
    // The entry of a font index, by the same rule; never null.
    virtual TFontEntry* GetFontInfo(int id) = 0;
    // The entry of the font with this handle; the default font's when none has it.
    virtual TFontEntry* GetFontInfoByHandle(HFONT hFont) = 0;
    // True when a font is filed under id (in the window's or the shared table).
    virtual bool HasFontId(int id) = 0;
    virtual HFONT FindFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                           bool bItalic) const = 0;
    // Files a new font under id; null when it cannot be created.
    virtual HFONT AddFont(int id, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                          bool bShared = false) = 0;
    virtual DWORD GetDefaultLinkFontColor() const = 0;
    virtual DWORD GetDefaultLinkHoverFontColor() const = 0;
    virtual DWORD GetDefaultSelectedBkColor() const = 0;
    // The last mouse position in client coordinates.
    virtual POINT GetMousePos() const = 0;

protected:
    ~ITextResources() {}
};

// A window's text resources with links in other colours, for text drawn on a
// background that the window's link colours do not read on (a selected row).
// Everything else is the window's.
class CLinkColorResources : public ITextResources
{
public:
    CLinkColorResources(ITextResources& window, DWORD link, DWORD linkHover)
        : m_window(window), m_link(link), m_linkHover(linkHover)
    {
    }

    TImageEntry* GetImageOrAdd(LPCWSTR name, LPCWSTR type, DWORD mask) override
    {
        return m_window.GetImageOrAdd(name, type, mask);
    }
    int GetDpi() const override { return m_window.GetDpi(); }
    void ResolveTextTokens(CUIString& text) override { m_window.ResolveTextTokens(text); }
    HFONT GetFont(int id) override { return m_window.GetFont(id); }
    TFontEntry* GetFontInfo(int id) override { return m_window.GetFontInfo(id); }
    TFontEntry* GetFontInfoByHandle(HFONT hFont) override { return m_window.GetFontInfoByHandle(hFont); }
    bool HasFontId(int id) override { return m_window.HasFontId(id); }
    HFONT FindFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) const override
    {
        return m_window.FindFont(pStrFontName, nSize, bBold, bUnderline, bItalic);
    }
    HFONT AddFont(int id, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                  bool bShared = false) override
    {
        return m_window.AddFont(id, pStrFontName, nSize, bBold, bUnderline, bItalic, bShared);
    }
    DWORD GetDefaultLinkFontColor() const override { return m_link; }
    DWORD GetDefaultLinkHoverFontColor() const override { return m_linkHover; }
    DWORD GetDefaultSelectedBkColor() const override { return m_window.GetDefaultSelectedBkColor(); }
    POINT GetMousePos() const override { return m_window.GetMousePos(); }

private:
    ITextResources& m_window;
    DWORD m_link;
    DWORD m_linkHover;
};

// Where tagged text measures and draws. The GDI form draws into a DC; tests
// measure with fixed widths and record what would be drawn.
class ITextCanvas
{
public:
    virtual void SelectFont(const TFontEntry& font) = 0;
    // Extent of length characters in the selected font.
    virtual int MeasureText(LPCWSTR text, int length) = 0;
    // The abcC width of a space in the selected font; 0 when it cannot be had.
    virtual int SpaceTrailingWidth() = 0;
    virtual void SetTextColor(DWORD argb) = 0;
    // Selected text is drawn on the window's selection colour.
    virtual void SetOpaqueBackground(bool opaque) = 0;
    virtual void DrawRun(int x, int y, LPCWSTR text, int length) = 0;
    virtual void DrawImage(const TImageEntry& image, const RECT& dest, const RECT& source) = 0;

protected:
    ~ITextCanvas() {}
};

// Tagged text measured and drawn with GDI on one DC.
class CGdiTextCanvas : public ITextCanvas
{
public:
    explicit CGdiTextCanvas(HDC hDC) : m_hDC(hDC) {}

    void SelectFont(const TFontEntry& font) override;
    int MeasureText(LPCWSTR text, int length) override;
    int SpaceTrailingWidth() override;
    void SetTextColor(DWORD argb) override;
    void SetOpaqueBackground(bool opaque) override;
    void DrawRun(int x, int y, LPCWSTR text, int length) override;
    void DrawImage(const TImageEntry& image, const RECT& dest, const RECT& source) override;

private:
    HDC m_hDC;
};

// The caller's link arrays: rectangles and texts of equal capacity, filled
// with one entry per laid-out line of each link.
struct TTextLinks
{
    RECT* rects;
    CUIString* texts;
    int capacity;  // on entry, what the arrays hold; also how many rects are valid for hover
    int count;     // on return, entries filled

    TTextLinks() : rects(NULL), texts(NULL), capacity(0), count(0) {}
    TTextLinks(RECT* r, CUIString* t, int cap)
        : rects(r),
          texts(t),
          capacity(r != NULL && t != NULL && cap > 0 ? cap : 0),
          count(0)
    {
    }
};

// Lays out text with one-letter tags in angle brackets or braces inside rc,
// measuring or drawing (style DT_CALCRECT measures, and rc receives the size).
// text must already have its language tokens resolved. Link entries are filled
// while measuring; the hover colour uses the rectangles the caller passes in.
void LayoutTaggedText(ITextResources& resources, ITextCanvas& canvas, RECT& rc, LPCWSTR text, DWORD color,
                      TTextLinks& links, int font, UINT style);

// The next number under which a font variant is registered: process-wide,
// from 30000 upwards, passing over numbers the window already uses.
int NextFontVariantId(ITextResources& resources);
