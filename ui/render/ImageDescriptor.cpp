#include "ui/render/ImageDescriptor.h"

#include <wchar.h>

#include "ui/core/AttributeValues.h"
#include "ui/render/Color.h"

namespace
{

bool IsBlank(WCHAR ch)
{
    return ch != L'\0' && ch <= L' ';
}

LPCWSTR SkipBlanks(LPCWSTR p)
{
    while (IsBlank(*p))
        ++p;
    return p;
}

// One key='value' pair, read from p. Fails at a missing "=", a missing
// opening quote or an unterminated value.
struct TPair
{
    CUIString key;
    CUIString value;
};

bool ReadPair(LPCWSTR& p, TPair& pair)
{
    p = SkipBlanks(p);
    LPCWSTR keyStart = p;
    while (*p != L'\0' && *p != L'=' && !IsBlank(*p))
        ++p;
    pair.key.Assign(keyStart, static_cast<int>(p - keyStart));
    p = SkipBlanks(p);
    if (*p != L'=')
        return false;
    p = SkipBlanks(p + 1);
    if (*p != L'\'')
        return false;
    LPCWSTR valueStart = ++p;
    while (*p != L'\0' && *p != L'\'')
        ++p;
    if (*p != L'\'')
        return false;
    pair.value.Assign(valueStart, static_cast<int>(p - valueStart));
    ++p;
    return true;
}

// After a value the pairs go on only past exactly one space that is not the
// end of the text; a comma or the end stops the descriptor there.
bool HasNextPair(LPCWSTR p)
{
    return p[0] == L' ' && p[1] != L'\0';
}

void ApplyPair(const TPair& pair, TDrawSpec& descriptor, TImageRequest& request)
{
    const CUIString& key = pair.key;
    const CUIString& value = pair.value;
    if (key == L"file")
        request.name = value;
    else if (key == L"res")
    {
        request.name = value;
        request.hasType = true;
    }
    else if (key == L"restype")
        request.type = value;
    else if (key == L"color")
    {
        request.name = value;
        request.type = kColorImageType;
        request.hasType = true;
    }
    else if (key == L"dest")
        descriptor.dest = ParseIntRect(value);
    else if (key == L"source")
        descriptor.source = ParseIntRect(value);
    else if (key == L"corner" || key == L"scale9")
        descriptor.corner = ParseIntRect(value);
    else if (key == L"mask")
        request.mask = ParseColorValue(value);
    else if (key == L"fade")
        descriptor.fade = static_cast<BYTE>(wcstol(value, NULL, 10));
    else if (key == L"hole")
        descriptor.hole = ParseBool(value);
    else if (key == L"xtiled")
        descriptor.xtiled = ParseBool(value);
    else if (key == L"ytiled")
        descriptor.ytiled = ParseBool(value);
    // "hsl" and unknown keys change nothing.
}

}  // namespace

void TDrawSpec::Clear()
{
    drawString.Empty();
    imageName.Empty();
    parsed = false;
    image = NULL;
    SetRectEmpty(&dest);
    SetRectEmpty(&source);
    SetRectEmpty(&corner);
    fade = 255;
    hole = false;
    xtiled = false;
    ytiled = false;
    dpi = 96;
}

bool TDrawSpec::Assign(LPCWSTR text)
{
    if (image != NULL && drawString == text)
        return false;
    Clear();
    drawString = text;
    return true;
}

TImageRequest TDrawSpec::Parse()
{
    TImageRequest request;
    request.name = drawString;
    LPCWSTR p = drawString;
    TPair pair;
    while (*p != L'\0' && ReadPair(p, pair))
    {
        if (!pair.value.IsEmpty())
            ApplyPair(pair, *this, request);
        if (!HasNextPair(p))
            break;
    }
    return request;
}
