#include "tests/support/text_support.h"

#include <vector>

CTestTextResources::CTestTextResources(bool realFonts)
    : m_realFonts(realFonts),
      m_measureDC(realFonts ? CreateCompatibleDC(NULL) : NULL),
      m_nextFakeHandle(0x1000)
{
    m_mouse.x = -1;
    m_mouse.y = -1;
    MakeFont(realFonts ? L"Tahoma" : L"Default", 12, false, false, false, m_default);
}

CTestTextResources::~CTestTextResources()
{
    for (auto& entry : m_fonts)
        FreeFont(entry.second);
    FreeFont(m_default);
    for (auto& image : m_images)
        CImageLoader::Free(image.second, true);
    if (m_measureDC != NULL)
        DeleteDC(m_measureDC);
}

bool CTestTextResources::MakeFont(LPCWSTR face, int size, bool bold, bool underline, bool italic,
                                  TFontEntry& font)
{
    font = TFontEntry(NULL, face, size, bold, underline, italic);
    if (!m_realFonts)
    {
        font.font = reinterpret_cast<HFONT>(static_cast<INT_PTR>(m_nextFakeHandle++));
        font.metrics.tmHeight = size + 1;
        font.metrics.tmExternalLeading = 1;
        font.metrics.tmMaxCharWidth = CRecordingCanvas::CharWidth(font);
        font.metrics.tmAveCharWidth = font.metrics.tmMaxCharWidth;
        font.metrics.tmItalic = italic ? 1 : 0;
        return true;
    }
    font.font =
        CreateFontW(-size, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face);
    if (font.font == NULL)
        return false;
    HGDIOBJ old = SelectObject(m_measureDC, font.font);
    GetTextMetricsW(m_measureDC, &font.metrics);
    SelectObject(m_measureDC, old);
    return true;
}

void CTestTextResources::FreeFont(TFontEntry& font)
{
    if (m_realFonts && font.font != NULL)
        DeleteObject(font.font);
    font.font = NULL;
}

HFONT CTestTextResources::AddSkinFont(int id, LPCWSTR face, int size, bool bold, bool underline, bool italic)
{
    TFontEntry font;
    if (!MakeFont(face, size, bold, underline, italic, font))
        return NULL;
    auto found = m_fonts.find(id);
    if (found != m_fonts.end())
        FreeFont(found->second);
    m_fonts[id] = font;
    return font.font;
}

void CTestTextResources::AddTestImage(LPCWSTR name, int width, int height, DWORD argb)
{
    std::vector<BYTE> rgba(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
    {
        rgba[i] = static_cast<BYTE>(argb >> 16);
        rgba[i + 1] = static_cast<BYTE>(argb >> 8);
        rgba[i + 2] = static_cast<BYTE>(argb);
        rgba[i + 3] = static_cast<BYTE>(argb >> 24);
    }
    m_images[name] = CImageLoader::FromRgba(rgba.data(), width, height, 0);
}

TImageEntry* CTestTextResources::GetImageOrAdd(LPCWSTR name, LPCWSTR type, DWORD)
{
    std::wstring request = name;
    if (type != NULL)
        request += std::wstring(L"|") + type;
    imageRequests.push_back(request);
    auto found = m_images.find(name);
    return found == m_images.end() ? NULL : found->second;
}

void CTestTextResources::ResolveTextTokens(CUIString& text)
{
    for (auto& token : m_tokens)
        text.Replace(token.first.c_str(), token.second.c_str());
}

HFONT CTestTextResources::GetFont(int id)
{
    return GetFontInfo(id)->font;
}

TFontEntry* CTestTextResources::GetFontInfo(int id)
{
    auto found = m_fonts.find(id);
    return found == m_fonts.end() ? &m_default : &found->second;
}

TFontEntry* CTestTextResources::GetFontInfoByHandle(HFONT hFont)
{
    for (auto& entry : m_fonts)
    {
        if (entry.second.font == hFont)
            return &entry.second;
    }
    return &m_default;
}

bool CTestTextResources::HasFontId(int id)
{
    probedIds.push_back(id);
    if (reportInUse > 0)
    {
        --reportInUse;
        return true;
    }
    return m_fonts.count(id) != 0;
}

HFONT CTestTextResources::FindFont(LPCWSTR face, int size, bool bold, bool underline, bool italic) const
{
    for (auto& entry : m_fonts)
    {
        const TFontEntry& f = entry.second;
        if (f.faceName == face && f.size == size && f.bold == bold && f.underline == underline &&
            f.italic == italic)
            return f.font;
    }
    return NULL;
}

HFONT CTestTextResources::AddFont(int id, LPCWSTR face, int size, bool bold, bool underline, bool italic,
                                  bool)
{
    addedIds.push_back(id);
    return AddSkinFont(id, face, size, bold, underline, italic);
}

void CRecordingCanvas::DrawRun(int x, int y, LPCWSTR text, int length)
{
    TRun run = {x,
                y,
                std::wstring(text, length),
                m_color & 0xFFFFFF,
                m_font.faceName.GetData(),
                m_font.bold,
                m_font.underline,
                m_font.italic,
                m_opaque};
    runs.push_back(run);
}

void CRecordingCanvas::DrawImage(const TImageEntry& image, const RECT& dest, const RECT& source)
{
    TImage drawn = {&image, dest, source};
    images.push_back(drawn);
}

std::wstring CRecordingCanvas::Text() const
{
    std::wstring all;
    for (const TRun& run : runs)
        all += run.text;
    return all;
}

std::wstring CRecordingCanvas::LineAt(int y) const
{
    std::wstring line;
    for (const TRun& run : runs)
        if (run.y == y)
            line += run.text;
    return line;
}
