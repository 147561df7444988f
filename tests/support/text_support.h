#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "ui/render/TaggedText.h"

// A window's fonts, images and colours as tagged text sees them, without a
// window. Fonts are either fixed-width stand-ins with made-up handles, whose
// characters are as wide as their size (bold two pixels wider), or real GDI
// fonts measured on a memory DC.
class CTestTextResources : public ITextResources
{
public:
    explicit CTestTextResources(bool realFonts = false);
    ~CTestTextResources();

    // ---- Set-up ----
    // Files a font under id as a skin would; index 0 is the usual base font.
    HFONT AddSkinFont(int id, LPCWSTR face, int size, bool bold = false, bool underline = false,
                      bool italic = false);
    void SetMouse(int x, int y)
    {
        m_mouse.x = x;
        m_mouse.y = y;
    }
    // An image of the given size (pixels of one colour when fonts are real).
    void AddTestImage(LPCWSTR name, int width, int height, DWORD argb = 0xFF00FF00);
    void SetLanguageString(LPCWSTR token, LPCWSTR text) { m_tokens[token] = text; }

    // ---- What the layout asked ----
    std::vector<int> addedIds;                // ids passed to AddFont, in order
    std::vector<int> probedIds;               // ids passed to HasFontId, in order
    std::vector<std::wstring> imageRequests;  // names asked for; "name|type" with a type
    // Makes HasFontId answer "in use" for the next n ids it is asked about.
    int reportInUse = 0;

    // ---- ITextResources ----
    TImageEntry* GetImageOrAdd(LPCWSTR name, LPCWSTR type, DWORD mask) override;
    void ResolveTextTokens(CUIString& text) override;
    HFONT GetFont(int id) override;
    TFontEntry* GetFontInfo(int id) override;
    TFontEntry* GetFontInfoByHandle(HFONT hFont) override;
    bool HasFontId(int id) override;
    HFONT FindFont(LPCWSTR face, int size, bool bold, bool underline, bool italic) const override;
    HFONT AddFont(int id, LPCWSTR face, int size, bool bold, bool underline, bool italic,
                  bool shared = false) override;
    DWORD GetDefaultLinkFontColor() const override { return 0xFF0000FF; }
    DWORD GetDefaultLinkHoverFontColor() const override { return 0xFFD3215F; }
    DWORD GetDefaultSelectedBkColor() const override { return 0xFFBAE4FF; }
    POINT GetMousePos() const override { return m_mouse; }

    const TFontEntry& DefaultFont() const { return m_default; }

private:
    bool MakeFont(LPCWSTR face, int size, bool bold, bool underline, bool italic, TFontEntry& font);
    void FreeFont(TFontEntry& font);

    bool m_realFonts;
    HDC m_measureDC;
    int m_nextFakeHandle;
    POINT m_mouse;
    TFontEntry m_default;
    std::map<int, TFontEntry> m_fonts;
    std::map<std::wstring, TImageEntry*> m_images;
    std::map<std::wstring, std::wstring> m_tokens;
};

// Records what tagged text draws, measuring every character of a font as
// wide as the font's size (two more when bold).
class CRecordingCanvas : public ITextCanvas
{
public:
    struct TRun
    {
        int x, y;
        std::wstring text;
        DWORD color;
        std::wstring face;
        bool bold, underline, italic;
        bool opaque;
    };
    struct TImage
    {
        const TImageEntry* image;
        RECT dest, source;
    };

    static int CharWidth(const TFontEntry& font) { return font.size + (font.bold ? 2 : 0); }

    void SelectFont(const TFontEntry& font) override { m_font = font; }
    int MeasureText(LPCWSTR, int length) override { return length * CharWidth(m_font); }
    int SpaceTrailingWidth() override { return spaceTrailing; }
    void SetTextColor(DWORD argb) override { m_color = argb; }
    void SetOpaqueBackground(bool opaque) override { m_opaque = opaque; }
    void DrawRun(int x, int y, LPCWSTR text, int length) override;
    void DrawImage(const TImageEntry& image, const RECT& dest, const RECT& source) override;

    // Everything drawn, in order, as one text.
    std::wstring Text() const;
    // The runs drawn on the line whose text starts at y.
    std::wstring LineAt(int y) const;

    std::vector<TRun> runs;
    std::vector<TImage> images;
    int spaceTrailing = 0;

private:
    TFontEntry m_font;
    DWORD m_color = 0;
    bool m_opaque = false;
};
