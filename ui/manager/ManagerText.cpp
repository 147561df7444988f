#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"
#include "ui/render/TaggedText.h"

// Text drawing reaches a window's fonts, images, colours and mouse position
// through ITextResources; this is the window manager seen that way.

namespace {

void CopyFont(const TFontEntry& entry, TTextFont& font)
{
    font.font = entry.font;
    font.faceName = entry.faceName;
    font.size = entry.size;
    font.bold = entry.bold;
    font.underline = entry.underline;
    font.italic = entry.italic;
    font.metrics = entry.metrics;
}

class CManagerTextResources : public ITextResources
{
public:
    explicit CManagerTextResources(CManagerUI& manager) : m_manager(manager) {}

    TImageEntry* GetImageOrAdd(LPCWSTR name, LPCWSTR type, DWORD mask) override
    {
        return m_manager.GetImageOrAdd(name, type, mask);
    }
    void ResolveTextTokens(CUIString& text) override { CManagerUI::ResolveLanguageTokens(text); }
    HFONT GetFont(int id) override { return m_manager.GetFont(id); }
    void GetTextFont(int id, TTextFont& font) override { CopyFont(*m_manager.GetFontInfo(id), font); }
    void GetTextFontByHandle(HFONT hFont, TTextFont& font) override
    {
        CopyFont(*m_manager.GetFontInfoByHandle(hFont), font);
    }
    // Unknown ids fall back to the default font, which no id is filed under.
    bool HasFontId(int id) override
    {
        return id >= 0 && m_manager.GetFontInfo(id) != m_manager.GetDefaultFontInfo();
    }
    HFONT FindFont(LPCWSTR face, int size, bool bold, bool underline, bool italic) const override
    {
        return m_manager.FindFont(face, size, bold, underline, italic);
    }
    HFONT AddFont(int id, LPCWSTR face, int size, bool bold, bool underline, bool italic,
                  bool shared = false) override
    {
        return m_manager.AddFont(id, face, size, bold, underline, italic, shared);
    }
    DWORD GetDefaultLinkFontColor() const override { return m_manager.GetDefaultLinkFontColor(); }
    DWORD GetDefaultLinkHoverFontColor() const override { return m_manager.GetDefaultLinkHoverFontColor(); }
    DWORD GetDefaultSelectedBkColor() const override { return m_manager.GetDefaultSelectedBkColor(); }
    POINT GetMousePos() const override { return m_manager.GetMousePos(); }

private:
    CManagerUI& m_manager;
};

}  // namespace

void CRenderer::DrawText(HDC hDC, CManagerUI* manager, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor,
                         int iFont, UINT uStyle)
{
    if (manager == NULL)
        return;
    CManagerTextResources resources(*manager);
    DrawText(hDC, &resources, rc, pstrText, dwTextColor, iFont, uStyle);
}

void CRenderer::DrawMarkupText(HDC hDC, CManagerUI* manager, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor,
                               RECT* prcLinks, CUIString* sLinks, int& nLinkRects, int iFont, UINT uStyle)
{
    if (manager == NULL)
    {
        nLinkRects = 0;
        return;
    }
    CManagerTextResources resources(*manager);
    DrawMarkupText(hDC, &resources, rc, pstrText, dwTextColor, prcLinks, sLinks, nLinkRects, iFont, uStyle);
}
