#include "ui/render/TaggedText.h"

#include <limits.h>

#include <algorithm>
#include <vector>

namespace
{

const int kFontVariantFirstId = 30000;
// Enough to pass over any run of numbers a skin may have taken; a table that
// full gets no further variants rather than a long search on every tag.
const int kFontIdProbeLimit = 4096;
// Numbers in tags are pixel offsets and heights; beyond this they only
// threaten the pixel arithmetic with overflow.
const int kArgumentNumberLimit = 1000000;
// Ellipsis drawn after a cut run.
const WCHAR kEllipsis[] = L"...";

const int kAlignTop = 0;
const int kAlignCenter = 4;
const int kAlignBottom = 8;

int g_nextFontVariantId = kFontVariantFirstId;

bool IsBlank(WCHAR c)
{
    return c == L' ' || c == L'\t';
}
bool IsOpenBracket(WCHAR c)
{
    return c == L'<' || c == L'{';
}
bool IsCloseBracket(WCHAR c)
{
    return c == L'>' || c == L'}';
}
bool IsDigit(WCHAR c)
{
    return c >= L'0' && c <= L'9';
}
bool IsAsciiLetter(WCHAR c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
bool IsTagLetter(WCHAR c)
{
    return c >= L'a' && c <= L'z';
}

int HexValue(WCHAR c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// The layout stacks that tags push and pop; copied at every line start so
// that the drawing pass of a line replays what its measuring pass saw.
struct TStacks
{
    std::vector<TFontEntry> fonts;
    std::vector<DWORD> colors;
    std::vector<int> spacings;
    std::vector<int> aligns;
};

struct TLineStart
{
    TStacks stacks;
    int pos;
    bool raw;
    bool selected;
    int linkIndex;
    bool inLink;
};

enum EFontFlag
{
    FontBold,
    FontUnderline,
    FontItalic
};

// One layout of one text. Every read of the text goes through At(), which
// gives 0 past the end, so that no unterminated tag, raw section or argument
// is scanned beyond the text.
class CTaggedLayout
{
public:
    CTaggedLayout(ITextResources& resources, ITextCanvas& canvas, RECT& rc, LPCWSTR text, DWORD color,
                  TTextLinks& links, int font, UINT style)
        : m_res(resources),
          m_canvas(canvas),
          m_rc(rc),
          m_text(text),
          m_length(lstrlenW(text)),
          m_color(color),
          m_links(links),
          m_fontIndex(font),
          m_style(style),
          m_drawing((style & DT_CALCRECT) == 0),
          m_drawPass(false),
          m_lineEnded(false),
          m_inLink(false),
          m_raw(false),
          m_selected(false),
          m_hasHover(false),
          m_pos(0),
          m_linkIndex(0),
          m_cyLine(0),
          m_maxX(rc.left),
          m_minBottom(rc.top),
          m_measuredHeight(0),
          m_offset(0),
          m_extentFont(NULL),
          m_extentStart(-1),
          m_extentCount(0),
          m_extent(0)
    {
        m_baseFont = *m_res.GetFontInfo(font);
        m_pt.x = rc.left;
        m_pt.y = rc.top;
        m_linkStart = m_pt;
    }

    void Run();

private:
    // ---- Text access ----
    WCHAR At(int i) const { return i >= 0 && i < m_length ? m_text[i] : L'\0'; }
    bool IsOpeningTag(int i) const
    {
        WCHAR after = At(i + 2);
        return IsOpenBracket(At(i)) && IsTagLetter(At(i + 1)) && (after == L' ' || IsCloseBracket(after));
    }
    bool IsClosingTag(int i) const { return IsOpenBracket(At(i)) && At(i + 1) == L'/'; }
    bool IsRawEnd(int i) const
    {
        return IsOpenBracket(At(i)) && At(i + 1) == L'/' && At(i + 2) == L'r' && IsCloseBracket(At(i + 3));
    }
    WCHAR EscapedChar(int i) const;
    // Index of the bracket that closes a tag whose argument starts at i, or the text end.
    int ArgumentEnd(int i) const;
    int SkipBlanks(int i, int end) const;
    bool ReadNumber(int& i, int end, int& value) const;
    DWORD ReadColor(int i, int end) const;

    // ---- Layout ----
    void SelectLinkHover();
    void AlignWholeText();
    void RunLine();
    void ProcessToken();
    bool OpenTag(WCHAR letter, int argBegin, int argEnd);
    void CloseTag(WCHAR letter);
    void DrawSingle(WCHAR ch);
    void TextRun();
    // The extent of count characters from start; the last one is remembered,
    // so that a run that fits is measured once.
    int RunExtent(int start, int count);
    bool Overflows(int start, int count);
    int FittingCount(int start, int total);
    bool InlineImage(int argBegin, int argEnd);
    void OpenLink(int argBegin, int argEnd);
    void CloseLink();
    void CloseLineLinks(int firstIndex);
    void ShiftLinks(int first, int end, int dx);
    int LineOffset(int lineWidth) const;
    int TextTop() const;
    void Finish();

    // ---- Stacks ----
    const TFontEntry& CurrentFont() const
    {
        return m_stacks.fonts.empty() ? m_baseFont : m_stacks.fonts.back();
    }
    int SpacingTop() const { return m_stacks.spacings.empty() ? 0 : m_stacks.spacings.back(); }
    int AlignTop() const { return m_stacks.aligns.empty() ? kAlignBottom : m_stacks.aligns.back(); }
    int FreshLineHeight() const { return SpacingTop() + CurrentFont().LineHeight(); }
    void RaiseLineHeight(int height) { m_cyLine = std::max(m_cyLine, height); }
    void PushFont(const TFontEntry& font);
    void PushFontVariant(EFontFlag flag);
    void PushNamedFont(int argBegin, int argEnd);
    void PopFont();
    void PushColor(DWORD color);
    void PopColor();
    void ApplyColor() { m_canvas.SetTextColor(m_stacks.colors.empty() ? m_color : m_stacks.colors.back()); }
    HFONT FindOrRegisterFont(LPCWSTR face, int size, bool bold, bool underline, bool italic);

    TLineStart SnapshotLine() const;
    void RestoreLine(const TLineStart& start);

    ITextResources& m_res;
    ITextCanvas& m_canvas;
    RECT& m_rc;
    LPCWSTR m_text;
    int m_length;
    DWORD m_color;
    TTextLinks& m_links;
    int m_fontIndex;
    UINT m_style;
    TFontEntry m_baseFont;

    bool m_drawing;   // the call draws (else it only measures)
    bool m_drawPass;  // the present pass of the line draws
    bool m_lineEnded;
    bool m_inLink;
    bool m_raw;
    bool m_selected;
    bool m_hasHover;
    CUIString m_hoverText;
    int m_pos;
    int m_linkIndex;
    POINT m_pt;
    POINT m_linkStart;
    int m_cyLine;
    int m_maxX;
    int m_minBottom;
    int m_measuredHeight;  // of the line, by its measuring pass
    int m_offset;          // horizontal alignment of the line in its drawing pass
    HFONT m_extentFont;
    int m_extentStart;
    int m_extentCount;
    int m_extent;
    TStacks m_stacks;
};

WCHAR CTaggedLayout::EscapedChar(int i) const
{
    WCHAR open = At(i);
    WCHAR mid = At(i + 1);
    WCHAR close = At(i + 2);
    if (open == L'<' && close == L'>' && (mid == L'{' || mid == L'}'))
        return mid;
    if (open == L'{' && close == L'}' && (mid == L'<' || mid == L'>'))
        return mid;
    return L'\0';
}

int CTaggedLayout::ArgumentEnd(int i) const
{
    while (i < m_length && !IsCloseBracket(m_text[i]))
        ++i;
    return std::min(i, m_length);
}

int CTaggedLayout::SkipBlanks(int i, int end) const
{
    while (i < end && IsBlank(At(i)))
        ++i;
    return i;
}

// A decimal integer after blanks, as far as it goes; false when there is no digit.
bool CTaggedLayout::ReadNumber(int& i, int end, int& value) const
{
    int p = SkipBlanks(i, end);
    bool negative = false;
    if (p < end && (At(p) == L'-' || At(p) == L'+'))
    {
        negative = At(p) == L'-';
        ++p;
    }
    if (p >= end || !IsDigit(At(p)))
        return false;
    long long n = 0;
    for (; p < end && IsDigit(At(p)); ++p)
        n = std::min<long long>(n * 10 + (At(p) - L'0'), kArgumentNumberLimit);
    value = static_cast<int>(negative ? -n : n);
    i = p;
    return true;
}

// Blanks, an optional "#", then hexadecimal digits read as an unsigned
// 0xAARRGGBB; only red, green and blue reach the text.
DWORD CTaggedLayout::ReadColor(int i, int end) const
{
    int p = SkipBlanks(i, end);
    if (p < end && At(p) == L'#')
        ++p;
    DWORD value = 0;
    for (; p < end && HexValue(At(p)) >= 0; ++p)
        value = (value << 4) | static_cast<DWORD>(HexValue(At(p)));
    return value;
}

TLineStart CTaggedLayout::SnapshotLine() const
{
    TLineStart start;
    start.stacks = m_stacks;
    start.pos = m_pos;
    start.raw = m_raw;
    start.selected = m_selected;
    start.linkIndex = m_linkIndex;
    start.inLink = m_inLink;
    return start;
}

void CTaggedLayout::RestoreLine(const TLineStart& start)
{
    m_stacks = start.stacks;
    m_pos = start.pos;
    m_raw = start.raw;
    m_selected = start.selected;
    m_linkIndex = start.linkIndex;
    m_inLink = start.inLink;
    ApplyColor();
    m_canvas.SelectFont(CurrentFont());
    m_canvas.SetOpaqueBackground(m_selected);
}

void CTaggedLayout::PushFont(const TFontEntry& font)
{
    m_stacks.fonts.push_back(font);
    m_canvas.SelectFont(font);
    RaiseLineHeight(FreshLineHeight());
}

// A style already present pushes the current font again, so that the closing
// tag pops what its opening tag pushed and outer styles survive it.
void CTaggedLayout::PushFontVariant(EFontFlag flag)
{
    TFontEntry current = CurrentFont();
    bool* wanted = flag == FontBold        ? &current.bold
                   : flag == FontUnderline ? &current.underline
                                           : &current.italic;
    if (*wanted)
    {
        PushFont(current);
        return;
    }
    *wanted = true;
    HFONT variant =
        FindOrRegisterFont(current.faceName, current.size, current.bold, current.underline, current.italic);
    if (variant == NULL)
    {
        PushFont(CurrentFont());
        return;
    }
    PushFont(*m_res.GetFontInfoByHandle(variant));
}

// "f" with a font index, or with a face name, an optional size and style words.
void CTaggedLayout::PushNamedFont(int argBegin, int argEnd)
{
    int p = SkipBlanks(argBegin, argEnd);
    int id = 0;
    if (IsDigit(At(p)) && ReadNumber(p, argEnd, id))
    {
        PushFont(*m_res.GetFontInfo(id));
        return;
    }
    int faceEnd = p;
    while (faceEnd < argEnd && !IsBlank(At(faceEnd)))
        ++faceEnd;
    CUIString face(m_text + p, faceEnd - p);
    p = SkipBlanks(faceEnd, argEnd);
    int size = 10;
    if (IsDigit(At(p)))
        ReadNumber(p, argEnd, size);
    CUIString styles(m_text + p, std::max(0, argEnd - p));
    styles.MakeLower();
    HFONT font = FindOrRegisterFont(face, size, styles.Find(L"bold") >= 0, styles.Find(L"underline") >= 0,
                                    styles.Find(L"italic") >= 0);
    PushFont(font != NULL ? *m_res.GetFontInfoByHandle(font) : CurrentFont());
}

HFONT CTaggedLayout::FindOrRegisterFont(LPCWSTR face, int size, bool bold, bool underline, bool italic)
{
    HFONT font = m_res.FindFont(face, size, bold, underline, italic);
    if (font != NULL)
        return font;
    int id = NextFontVariantId(m_res);
    if (id < 0)
        return NULL;
    return m_res.AddFont(id, face, size, bold, underline, italic, false);
}

// Leaving italic text for upright text moves the pen by half the space's
// trailing width in the italic font, so the slant does not run into what follows.
void CTaggedLayout::PopFont()
{
    if (m_stacks.fonts.empty())
        return;
    bool leavingItalic = CurrentFont().metrics.tmItalic != 0;
    m_stacks.fonts.pop_back();
    if (leavingItalic && CurrentFont().metrics.tmItalic == 0)
        m_pt.x += m_canvas.SpaceTrailingWidth() / 2;
    m_canvas.SelectFont(CurrentFont());
    RaiseLineHeight(FreshLineHeight());
}

void CTaggedLayout::PushColor(DWORD color)
{
    m_stacks.colors.push_back(color);
    ApplyColor();
}

void CTaggedLayout::PopColor()
{
    if (!m_stacks.colors.empty())
        m_stacks.colors.pop_back();
    ApplyColor();
}

// The link under the mouse, by the rectangles of the previous paint.
void CTaggedLayout::SelectLinkHover()
{
    if (m_links.rects == NULL || m_links.texts == NULL)
        return;
    POINT mouse = m_res.GetMousePos();
    for (int i = 0; i < m_links.capacity; ++i)
    {
        if (PtInRect(&m_links.rects[i], mouse))
        {
            m_hoverText = m_links.texts[i];
            m_hasHover = true;
            return;
        }
    }
}

// Moves the rectangle to where the measured text sits: single lines are
// aligned horizontally here, every text vertically.
void CTaggedLayout::AlignWholeText()
{
    const UINT aligning = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
    if (!m_drawing || (m_style & aligning) == 0)
        return;
    const bool singleLine = (m_style & DT_SINGLELINE) != 0;
    int width = m_rc.right - m_rc.left;
    int height = m_rc.bottom - m_rc.top;
    RECT measured = {0, 0, singleLine ? 9999 : width, singleLine ? 100 : height};
    TTextLinks none;
    LayoutTaggedText(m_res, m_canvas, measured, m_text, m_color, none, m_fontIndex, m_style | DT_CALCRECT);
    int w = measured.right - measured.left;
    int h = measured.bottom - measured.top;
    if (singleLine && (m_style & DT_CENTER) != 0)
    {
        m_rc.left = m_rc.left + width / 2 - w / 2;
        m_rc.right = m_rc.left + w;
    }
    if (singleLine && (m_style & DT_RIGHT) != 0)
        m_rc.left = m_rc.right - w;
    if ((m_style & DT_VCENTER) != 0)
    {
        m_rc.top = m_rc.top + height / 2 - h / 2;
        m_rc.bottom = m_rc.top + h;
    }
    if ((m_style & DT_BOTTOM) != 0)
        m_rc.top = m_rc.bottom - h;
}

int CTaggedLayout::LineOffset(int lineWidth) const
{
    if ((m_style & DT_SINGLELINE) != 0)
        return 0;
    int width = m_rc.right - m_rc.left;
    if ((m_style & DT_CENTER) != 0)
        return (width - lineWidth) / 2;
    if ((m_style & DT_RIGHT) != 0)
        return width - lineWidth;
    return 0;
}

int CTaggedLayout::TextTop() const
{
    int fontHeight = CurrentFont().LineHeight();
    switch (AlignTop())
    {
    case kAlignTop:
        return m_pt.y;
    case kAlignCenter:
        return m_pt.y + (m_measuredHeight - fontHeight) / 2;
    default:
        return m_pt.y + m_measuredHeight - fontHeight;
    }
}

void CTaggedLayout::Run()
{
    SelectLinkHover();
    AlignWholeText();
    m_pt.x = m_rc.left;
    m_pt.y = m_rc.top;
    m_maxX = m_rc.left;
    m_minBottom = m_rc.top;
    m_canvas.SelectFont(m_baseFont);
    m_canvas.SetTextColor(m_color);
    m_canvas.SetOpaqueBackground(false);
    m_cyLine = FreshLineHeight();

    const bool singleLine = (m_style & DT_SINGLELINE) != 0;
    // Every line consumes at least one character or ends the layout.
    for (int guard = 0; guard <= m_length; ++guard)
    {
        TLineStart start = SnapshotLine();
        m_linkStart = m_pt;
        m_drawPass = false;
        m_lineEnded = false;
        RunLine();
        int lineWidth = m_pt.x - m_rc.left;
        m_measuredHeight = m_cyLine;
        CloseLineLinks(start.linkIndex);
        int measuredLinkEnd = m_linkIndex;

        if (m_drawing)
        {
            RestoreLine(start);
            m_pt.x = m_rc.left;
            m_cyLine = FreshLineHeight();
            m_offset = LineOffset(lineWidth);
            ShiftLinks(start.linkIndex, measuredLinkEnd, m_offset);
            m_linkStart = m_pt;
            m_drawPass = true;
            m_lineEnded = false;
            RunLine();
            m_linkIndex = measuredLinkEnd;
            m_drawPass = false;
            m_offset = 0;
        }

        if (singleLine || m_pos >= m_length)
            break;
        // A line that consumed nothing (the first glyph cannot be placed)
        // would repeat for ever.
        if (m_pos == start.pos && At(m_pos) != L'\n')
            break;
        if (At(m_pos) == L'\n')
            ++m_pos;
        m_pt.x = m_rc.left;
        m_pt.y += m_cyLine;
        if (m_drawing && m_pt.y >= m_rc.bottom)
            break;
        m_cyLine = FreshLineHeight();
    }
    Finish();
}

void CTaggedLayout::Finish()
{
    m_links.count = std::min(m_linkIndex, m_links.capacity);
    if (!m_drawing)
    {
        m_rc.bottom = std::max<int>(m_pt.y + m_cyLine, m_minBottom);
        m_rc.right = std::min<LONG>(m_rc.right, m_maxX);
    }
}

void CTaggedLayout::RunLine()
{
    // Each token consumes at least one character or ends the line.
    for (int guard = 0; guard <= m_length; ++guard)
    {
        if (m_lineEnded || m_pt.x >= m_rc.right || m_pos >= m_length || At(m_pos) == L'\n')
            return;
        ProcessToken();
    }
}

void CTaggedLayout::ProcessToken()
{
    if (m_raw)
    {
        TextRun();
        return;
    }
    if (IsOpeningTag(m_pos))
    {
        int argEnd = ArgumentEnd(m_pos + 2);
        if (OpenTag(At(m_pos + 1), m_pos + 2, argEnd))
            m_pos = std::min(argEnd + 1, m_length);
        return;
    }
    if (IsClosingTag(m_pos))
    {
        CloseTag(At(m_pos + 2));
        m_pos = std::min(ArgumentEnd(m_pos + 2) + 1, m_length);
        return;
    }
    WCHAR escaped = EscapedChar(m_pos);
    if (escaped != L'\0')
    {
        DrawSingle(escaped);
        m_pos += 3;
        return;
    }
    if (At(m_pos) == L' ')
    {
        DrawSingle(L' ');
        m_pos += 1;
        return;
    }
    TextRun();
}

// False when the tag must be read again at the start of the next line.
bool CTaggedLayout::OpenTag(WCHAR letter, int argBegin, int argEnd)
{
    int value = 0;
    int p = argBegin;
    switch (letter)
    {
    case L'a':
        OpenLink(argBegin, argEnd);
        break;
    case L'b':
        PushFontVariant(FontBold);
        break;
    case L'c':
        PushColor(ReadColor(argBegin, argEnd));
        break;
    case L'f':
        PushNamedFont(argBegin, argEnd);
        break;
    case L'i':
        if (SkipBlanks(argBegin, argEnd) < argEnd)
            return InlineImage(argBegin, argEnd);
        PushFontVariant(FontItalic);
        break;
    case L'n':
        if ((m_style & DT_SINGLELINE) == 0)
            m_lineEnded = true;
        break;
    case L'p':
        if (m_pt.x > m_rc.left)
            m_lineEnded = true;
        ReadNumber(p, argEnd, value);
        m_stacks.spacings.push_back(value);
        RaiseLineHeight(value + CurrentFont().LineHeight());
        break;
    case L'r':
        m_raw = true;
        break;
    case L's':
        m_selected = !m_selected;
        m_canvas.SetOpaqueBackground(m_selected);
        break;
    case L'u':
        PushFontVariant(FontUnderline);
        break;
    case L'v':
    {
        p = SkipBlanks(argBegin, argEnd);
        int wordEnd = p;
        while (wordEnd < argEnd && !IsBlank(At(wordEnd)))
            ++wordEnd;
        CUIString word(m_text + p, wordEnd - p);
        m_stacks.aligns.push_back(word.CompareNoCase(L"center") == 0 ? kAlignCenter
                                  : word.CompareNoCase(L"top") == 0  ? kAlignTop
                                                                     : kAlignBottom);
        break;
    }
    case L'x':
        if (ReadNumber(p, argEnd, value))
            m_pt.x += value;
        break;
    case L'y':
        if (ReadNumber(p, argEnd, value))
            m_cyLine = std::max(0, value);
        break;
    default:
        break;
    }
    return true;
}

void CTaggedLayout::CloseTag(WCHAR letter)
{
    switch (letter)
    {
    case L'a':
        CloseLink();
        break;
    case L'b':
    case L'f':
    case L'i':
    case L'u':
        PopFont();
        break;
    case L'c':
        PopColor();
        break;
    case L'p':
        if (m_pt.x > m_rc.left)
            m_lineEnded = true;
        if (!m_stacks.spacings.empty())
            m_stacks.spacings.pop_back();
        RaiseLineHeight(FreshLineHeight());
        break;
    case L's':
        m_selected = !m_selected;
        m_canvas.SetOpaqueBackground(m_selected);
        break;
    case L'v':
        if (!m_stacks.aligns.empty())
            m_stacks.aligns.pop_back();
        break;
    default:
        break;
    }
}

void CTaggedLayout::OpenLink(int argBegin, int argEnd)
{
    int p = SkipBlanks(argBegin, argEnd);
    CUIString linkText(m_text + p, argEnd - p);
    m_linkStart = m_pt;
    m_inLink = true;
    bool hovered = m_hasHover && m_hoverText == linkText.GetData();
    PushColor(hovered ? m_res.GetDefaultLinkHoverFontColor() : m_res.GetDefaultLinkFontColor());
    PushFontVariant(FontUnderline);
    if (!m_drawPass && m_linkIndex < m_links.capacity)
        m_links.texts[m_linkIndex] = linkText;
}

// Both passes advance the index, so that the drawing pass walks the entries
// its measuring pass filled. A stray closing tag records nothing.
void CTaggedLayout::CloseLink()
{
    if (m_inLink && m_linkIndex < m_links.capacity)
    {
        if (!m_drawPass)
        {
            RECT& entry = m_links.rects[m_linkIndex];
            entry.left = m_linkStart.x;
            entry.top = m_linkStart.y;
            entry.right = std::min<LONG>(m_pt.x, m_rc.right);
            entry.bottom = m_pt.y + m_cyLine;
        }
        ++m_linkIndex;
    }
    PopColor();
    m_inLink = false;
    PopFont();
}

// After a measuring pass: a link still open is closed at the line end and
// continues, with the same text, in the next entry; every entry of the line
// reaches down to the line's bottom.
void CTaggedLayout::CloseLineLinks(int firstIndex)
{
    if (m_inLink && m_linkIndex < m_links.capacity)
    {
        RECT& entry = m_links.rects[m_linkIndex];
        entry.left = m_linkStart.x;
        entry.top = m_linkStart.y;
        entry.right = std::min<LONG>(m_pt.x, m_rc.right);
        ++m_linkIndex;
        if (m_linkIndex < m_links.capacity)
            m_links.texts[m_linkIndex] = m_links.texts[m_linkIndex - 1];
    }
    for (int i = firstIndex; i < m_linkIndex && i < m_links.capacity; ++i)
        m_links.rects[i].bottom = m_pt.y + m_cyLine;
}

// Link rectangles are where the links are drawn: with the line's offset.
void CTaggedLayout::ShiftLinks(int first, int end, int dx)
{
    for (int i = first; i < end && i < m_links.capacity; ++i)
    {
        m_links.rects[i].left += dx;
        m_links.rects[i].right += dx;
    }
}

void CTaggedLayout::DrawSingle(WCHAR ch)
{
    int cx = m_canvas.MeasureText(&ch, 1);
    if (m_drawPass)
        m_canvas.DrawRun(m_pt.x + m_offset, TextTop(), &ch, 1);
    m_pt.x += cx;
    m_maxX = std::max<int>(m_maxX, m_pt.x);
}

void CTaggedLayout::TextRun()
{
    const int start = m_pos;
    int end = start;
    bool reachesRawEnd = false;
    if (m_raw)
    {
        while (end < m_length && m_text[end] != L'\n' && !IsRawEnd(end))
            ++end;
        reachesRawEnd = IsRawEnd(end);
    }
    else
    {
        // The first character is taken as it is, even a bracket that starts no tag.
        end = start + 1;
        while (end < m_length && m_text[end] != L'\n' && !IsOpenBracket(m_text[end]))
            ++end;
    }

    const int total = end - start;
    const int fitting = FittingCount(start, total);
    const bool cut = fitting < total;
    // At least one character, so that every line makes progress.
    int kept = cut ? std::max(fitting, 1) : total;
    int lastBreak = 0;
    for (int n = 1; n <= fitting; ++n)
    {
        if (!IsAsciiLetter(m_text[start + n - 1]))
            lastBreak = n;
    }
    const bool ellipsis = cut && (m_style & DT_END_ELLIPSIS) != 0;
    if (cut)
    {
        if ((m_style & DT_WORDBREAK) != 0 && lastBreak > 0)
            kept = std::min(kept, lastBreak);
        if (ellipsis)
        {
            --kept;
            if (kept >= 2)
                --kept;
        }
        m_lineEnded = true;
        m_maxX = std::max<int>(m_maxX, m_pt.x);
    }

    int cx = kept > 0 ? RunExtent(start, kept) : 0;
    if (m_drawPass)
    {
        int top = TextTop();
        if (kept > 0)
            m_canvas.DrawRun(m_pt.x + m_offset, top, m_text + start, kept);
        if (ellipsis)
            m_canvas.DrawRun(m_pt.x + m_offset + cx, top, kEllipsis, 3);
    }
    m_pos = start + kept;
    if (!cut && reachesRawEnd)
    {
        m_pos = end + 4;
        m_raw = false;
    }
    m_pt.x = ellipsis ? m_rc.right : m_pt.x + cx;
    m_maxX = std::max<int>(m_maxX, m_pt.x);
}

int CTaggedLayout::RunExtent(int start, int count)
{
    HFONT font = CurrentFont().font;
    if (start != m_extentStart || count != m_extentCount || font != m_extentFont)
    {
        m_extentFont = font;
        m_extentStart = start;
        m_extentCount = count;
        m_extent = m_canvas.MeasureText(m_text + start, count);
    }
    return m_extent;
}

bool CTaggedLayout::Overflows(int start, int count)
{
    return m_pt.x + RunExtent(start, count) > m_rc.right;
}

// How many characters of the run fit before the right edge (all of them when
// the run fits). Exact extents are asked for only from the count at which the
// cheap bound, characters x widest character, reaches the edge; a run that
// fits is measured once, and one that does not is cut by halving.
int CTaggedLayout::FittingCount(int start, int total)
{
    const int room = m_rc.right - m_pt.x;
    const int widest = CurrentFont().metrics.tmMaxCharWidth;
    const int first = widest > 0 ? std::max(1, (room + widest - 1) / widest) : 1;
    if (first > total || !Overflows(start, total))
        return total;
    int low = first;
    int high = total;  // overflows
    while (low < high)
    {
        int mid = low + (high - low) / 2;
        if (Overflows(start, mid))
            high = mid;
        else
            low = mid + 1;
    }
    return low - 1;
}

// "i" with an argument: a name, an optional frame count and frame index; or
// key='value' pairs naming a file or resource.
bool CTaggedLayout::InlineImage(int argBegin, int argEnd)
{
    CUIString argument(m_text + argBegin, argEnd - argBegin);
    CUIString name;
    CUIString type;
    bool hasType = false;
    int count = 1;
    int index = 0;
    if (argument.Find(L"file='") >= 0 || argument.Find(L"res='") >= 0)
    {
        TDrawSpec descriptor;
        descriptor.drawString = argument;
        TImageRequest request = descriptor.Parse();
        name = request.name;
        type = request.type;
        hasType = request.hasType && !request.type.IsEmpty();
    }
    else
    {
        int p = SkipBlanks(argBegin, argEnd);
        int nameEnd = p;
        while (nameEnd < argEnd && !IsBlank(At(nameEnd)))
            ++nameEnd;
        name.Assign(m_text + p, nameEnd - p);
        p = nameEnd;
        if (ReadNumber(p, argEnd, count))
            ReadNumber(p, argEnd, index);
    }
    if (count < 1)
        count = 1;
    if (index < 0 || index >= count)
        index = 0;

    TImageEntry* image =
        name.IsEmpty() ? NULL : m_res.GetImageOrAdd(name, hasType ? type.GetData() : NULL, 0);
    if (image == NULL)
        return true;
    const int frameWidth = count > 1 ? image->width / count : image->width;
    const int frameHeight = image->height;
    bool fits = m_pt.x + frameWidth <= m_rc.right || m_pt.x <= m_rc.left || (m_style & DT_SINGLELINE) != 0;
    if (!fits)
    {
        m_lineEnded = true;
        return false;
    }
    if (m_drawPass)
    {
        RECT dest;
        dest.left = m_pt.x + m_offset;
        dest.right = dest.left + frameWidth;
        dest.bottom = m_pt.y + m_measuredHeight;
        dest.top = dest.bottom - frameHeight;
        if (frameHeight < m_measuredHeight && AlignTop() == kAlignCenter)
            OffsetRect(&dest, 0, -(m_measuredHeight - frameHeight) / 2);
        else if (frameHeight < m_measuredHeight && AlignTop() == kAlignTop)
            OffsetRect(&dest, 0, m_pt.y - dest.top);
        RECT source = {frameWidth * index, 0, frameWidth * (index + 1), frameHeight};
        m_canvas.DrawImage(*image, dest, source);
    }
    m_minBottom = std::max<int>(m_minBottom, m_pt.y + frameHeight);
    m_pt.x += frameWidth;
    m_maxX = std::max<int>(m_maxX, m_pt.x);
    RaiseLineHeight(frameHeight);
    return true;
}

}  // namespace

int NextFontVariantId(ITextResources& resources)
{
    for (int probe = 0; probe < kFontIdProbeLimit; ++probe)
    {
        if (g_nextFontVariantId >= INT_MAX - 1)
            g_nextFontVariantId = kFontVariantFirstId;
        int id = g_nextFontVariantId++;
        if (!resources.HasFontId(id))
            return id;
    }
    return -1;
}

void LayoutTaggedText(ITextResources& resources, ITextCanvas& canvas, RECT& rc, LPCWSTR text, DWORD color,
                      TTextLinks& links, int font, UINT style)
{
    links.count = 0;
    if (text == NULL || IsRectEmpty(&rc))
    {
        // Nothing is laid out, so a measurement is empty too.
        if ((style & DT_CALCRECT) != 0)
        {
            rc.right = rc.left;
            rc.bottom = rc.top;
        }
        return;
    }
    CTaggedLayout layout(resources, canvas, rc, text, color, links, font, style);
    layout.Run();
}
