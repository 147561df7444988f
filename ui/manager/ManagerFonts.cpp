#include "ui/manager/Manager.h"

#include <wchar.h>

#include "ui/render/GdiScope.h"

namespace
{
// lfFaceName holds 32 characters including the terminator.
const size_t kMaxFaceLength = LF_FACESIZE - 1;

// A font like the stock GUI font with the requested face, size and styles.
HFONT CreateSkinFont(LPCWSTR face, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &lf);
    ::wcsncpy(lf.lfFaceName, face != NULL ? face : L"", kMaxFaceLength);
    lf.lfFaceName[kMaxFaceLength] = L'\0';
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold)
        lf.lfWeight += FW_BOLD;
    if (underline)
        lf.lfUnderline = 1;
    if (italic)
        lf.lfItalic = 1;
    return ::CreateFontIndirectW(&lf);
}

CUIString FontKey(int id)
{
    CUIString key;
    key.Format(L"%d", id);
    return key;
}

void DeleteFontEntry(TFontEntry* entry)
{
    if (entry->font != NULL)
        ::DeleteObject(entry->font);
    delete entry;
}

bool Matches(const TFontEntry& entry, LPCWSTR face, int size, bool bold, bool underline, bool italic)
{
    return entry.faceName == face && entry.size == size && entry.bold == bold &&
           entry.underline == underline && entry.italic == italic;
}

void ReadMetrics(HDC hDC, TFontEntry& entry)
{
    CSelectScope select(hDC, entry.font);
    ::GetTextMetricsW(hDC, &entry.metrics);
}

template <class Predicate> TFontEntry* FindInTable(const CStringMap& fonts, Predicate matches)
{
    for (int i = 0; i < fonts.GetSize(); ++i)
    {
        TFontEntry* entry = static_cast<TFontEntry*>(fonts.Find(fonts.GetAt(i), false));
        if (entry != NULL && matches(*entry))
            return entry;
    }
    return NULL;
}
}  // namespace

TResourceSet& CManagerUI::ChosenSet(bool bShared)
{
    return bShared || forceSharedResources ? SharedResources() : resources;
}

void CManagerUI::MeasureFont(TFontEntry& entry) const
{
    if (paintDC != NULL)
    {
        ReadMetrics(paintDC, entry);
        return;
    }
    // Without a window yet, a screen-compatible memory DC measures the same font.
    CMemoryDC scratch(NULL);
    if (scratch.Get() != NULL)
        ReadMetrics(scratch, entry);
}

HFONT CManagerUI::AddFont(int id, LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                          bool bShared)
{
    HFONT hFont = CreateSkinFont(pStrFontName, ScaleSkin(nSize), bBold, bUnderline, bItalic);
    if (hFont == NULL)
        return NULL;
    TFontEntry* entry = new TFontEntry(hFont, pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (paintDC != NULL)
        MeasureFont(*entry);

    const CUIString key = FontKey(id);
    CStringMap& fonts = ChosenSet(bShared).fonts;
    if (TFontEntry* old = static_cast<TFontEntry*>(fonts.Find(key, false)))
    {
        DeleteFontEntry(old);
        fonts.Remove(key);
    }
    if (!fonts.Insert(key, entry))
    {
        DeleteFontEntry(entry);
        return NULL;
    }
    return hFont;
}

HFONT CManagerUI::FindFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) const
{
    auto matches = [&](const TFontEntry& entry) {
        return Matches(entry, pStrFontName, nSize, bBold, bUnderline, bItalic);
    };
    TFontEntry* entry = FindInTable(resources.fonts, matches);
    if (entry == NULL)
        entry = FindInTable(SharedResources().fonts, matches);
    return entry != NULL ? entry->font : NULL;
}

HFONT CManagerUI::GetFont(int id)
{
    return GetFontInfo(id)->font;
}

TFontEntry* CManagerUI::GetFontInfo(int id)
{
    if (id < 0)
        return GetDefaultFontInfo();
    const CUIString key = FontKey(id);
    TFontEntry* entry = static_cast<TFontEntry*>(resources.fonts.Find(key));
    if (entry == NULL)
        entry = static_cast<TFontEntry*>(SharedResources().fonts.Find(key));
    if (entry == NULL)
        return GetDefaultFontInfo();
    if (entry->metrics.tmHeight == 0)
        MeasureFont(*entry);
    return entry;
}

TFontEntry* CManagerUI::GetFontInfoByHandle(HFONT hFont)
{
    auto matches = [hFont](const TFontEntry& entry) { return entry.font == hFont; };
    TFontEntry* entry = FindInTable(resources.fonts, matches);
    if (entry == NULL)
        entry = FindInTable(SharedResources().fonts, matches);
    if (entry == NULL)
        return GetDefaultFontInfo();
    if (entry->metrics.tmHeight == 0)
        MeasureFont(*entry);
    return entry;
}

// Unknown ids fall back to the default font, which no id is filed under.
bool CManagerUI::HasFontId(int id)
{
    return id >= 0 && GetFontInfo(id) != GetDefaultFontInfo();
}

void CManagerUI::SetDefaultFont(LPCWSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                                bool bShared)
{
    HFONT hFont = CreateSkinFont(pStrFontName, ScaleSkin(nSize), bBold, bUnderline, bItalic);
    if (hFont == NULL)
        return;
    TFontEntry& entry = ChosenSet(bShared).defaultFont;
    if (entry.font != NULL)
        ::DeleteObject(entry.font);
    entry = TFontEntry(hFont, pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (paintDC != NULL)
        MeasureFont(entry);
}

TFontEntry* CManagerUI::GetDefaultFontInfo()
{
    TFontEntry* entry = &resources.defaultFont;
    if (entry->faceName.IsEmpty())
        entry = dpi == kSkinDpi ? &SharedResources().defaultFont : ScaledSharedDefault();
    if (entry->metrics.tmHeight == 0)
        MeasureFont(*entry);
    return entry;
}

// The shared default is made for 96 DPI; a window at another DPI draws with
// its own copy at its size, made again when the shared default or the DPI
// changes.
TFontEntry* CManagerUI::ScaledSharedDefault()
{
    const TFontEntry& shared = SharedResources().defaultFont;
    TFontEntry& scaled = scaledDefaultFont;
    const bool current = scaled.font != NULL && scaled.faceName == shared.faceName &&
                         scaled.size == shared.size && scaled.bold == shared.bold &&
                         scaled.underline == shared.underline && scaled.italic == shared.italic &&
                         scaledDefaultDpi == dpi;
    if (current)
        return &scaled;
    HFONT hFont =
        CreateSkinFont(shared.faceName, ScaleSkin(shared.size), shared.bold, shared.underline, shared.italic);
    if (hFont == NULL)
        return &SharedResources().defaultFont;
    if (scaled.font != NULL)
        ::DeleteObject(scaled.font);
    scaled = TFontEntry(hFont, shared.faceName, shared.size, shared.bold, shared.underline, shared.italic);
    scaledDefaultDpi = dpi;
    return &scaled;
}

// Every font of the window's own table, and its own default, made again at
// the present DPI under the same id; the shared table belongs to every window.
void CManagerUI::RecreateFonts()
{
    CStringMap& fonts = resources.fonts;
    for (int i = 0; i < fonts.GetSize(); ++i)
    {
        TFontEntry* entry = static_cast<TFontEntry*>(fonts.Find(fonts.GetAt(i), false));
        if (entry != NULL)
            RecreateFont(*entry);
    }
    if (!resources.defaultFont.faceName.IsEmpty())
        RecreateFont(resources.defaultFont);
}

// The entry keeps its address, so that whoever holds it sees the new font;
// a font that cannot be made keeps the old one.
void CManagerUI::RecreateFont(TFontEntry& entry)
{
    HFONT hFont =
        CreateSkinFont(entry.faceName, ScaleSkin(entry.size), entry.bold, entry.underline, entry.italic);
    if (hFont == NULL)
        return;
    if (entry.font != NULL)
        ::DeleteObject(entry.font);
    entry.font = hFont;
    entry.metrics = TEXTMETRICW();
    MeasureFont(entry);
}

void CManagerUI::RemoveAllFonts(bool bShared)
{
    CStringMap& fonts = bShared ? SharedResources().fonts : resources.fonts;
    for (int i = 0; i < fonts.GetSize(); ++i)
        DeleteFontEntry(static_cast<TFontEntry*>(fonts.Find(fonts.GetAt(i), false)));
    fonts.RemoveAll();
}
