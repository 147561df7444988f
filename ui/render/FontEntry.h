#pragma once

#include <windows.h>

#include "ui/core/UIString.h"

// A font of a window's font tables: what identifies it (face, size, flags)
// and its metrics. The table that files the entry owns the handle; copies
// only borrow it.
struct TFontEntry
{
    HFONT font;
    CUIString faceName;  // as requested
    int size;  // pixels of the skin (96 DPI); the font is created with height -size scaled to the window's DPI
    bool bold;
    bool underline;
    bool italic;
    TEXTMETRICW metrics;  // tmHeight 0: not measured yet

    TFontEntry() : font(NULL), size(0), bold(false), underline(false), italic(false), metrics() {}
    // A font as requested, not measured yet.
    TFontEntry(HFONT hFont, LPCWSTR face, int pixels, bool isBold, bool isUnderline, bool isItalic)
        : font(hFont),
          faceName(face),
          size(pixels),
          bold(isBold),
          underline(isUnderline),
          italic(isItalic),
          metrics()
    {
    }
    // Height plus external leading: the height of one line of this font.
    int LineHeight() const { return metrics.tmHeight + metrics.tmExternalLeading; }
};
