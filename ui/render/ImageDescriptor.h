#pragma once

#include <windows.h>

#include "ui/core/UIString.h"
#include "ui/render/ImageLoader.h"

// What a parsed descriptor asks of whoever owns the images.
struct TImageRequest
{
    CUIString name;
    CUIString type;
    bool hasType;  // "res" or "color" was seen: pass type, even when empty
    DWORD mask;

    TImageRequest() : hasType(false), mask(0) {}
};

// An image descriptor, such as a bare "bk.png" or
// file='button.png' source='0,0,80,24' corner='4,4,4,4', with its parsed
// rectangles and the image it found. Parsed once, on first draw; a failed
// parse or load is remembered until Clear.
struct TDrawSpec
{
    CUIString drawString;  // as set from the attribute
    CUIString imageName;   // chosen by the last parse
    bool parsed;
    TImageEntry* image;  // not owned: an entry of the manager's tables
    RECT dest;           // relative to the control; all zero = whole control
    RECT source;         // inside the image; all zero at parse = whole image
    RECT corner;         // insets never stretched: left, top, right, bottom
    BYTE fade;           // constant opacity, 255 = opaque
    bool hole;           // the centre is not drawn
    bool xtiled;
    bool ytiled;
    int dpi;  // the display DPI the rectangles were scaled for at the last parse

    TDrawSpec() { Clear(); }
    void Clear();
    // What a control's image setter does: the same text with its image already
    // found changes nothing (false); anything else clears the record and takes
    // the text, to be parsed on the next draw (true: invalidate).
    bool Assign(LPCWSTR text);

    // Reads drawString into the rectangles and flags, and returns what image
    // it names. Never fails: parsing stops at the first malformed pair and
    // a string without any valid pair names an image as a whole.
    TImageRequest Parse();
};

// The image tables a descriptor is resolved against.
class IImageLookup
{
public:
    // The image already filed under name, else one loaded and filed; null
    // when it cannot be loaded. type is null for a plain file.
    virtual TImageEntry* GetImageOrAdd(LPCWSTR name, LPCWSTR type, DWORD mask) = 0;
    // The DPI images are drawn for. Descriptors are written in pixels of a
    // 96-DPI display and scaled to this one.
    virtual int GetDpi() const { return 96; }

protected:
    ~IImageLookup() {}
};
