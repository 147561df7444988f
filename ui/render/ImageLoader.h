#pragma once

#include <windows.h>
#include <stddef.h>

#include "ui/core/UIString.h"

// A decoded picture: a 32-bit top-down DIB section whose blue, green and red
// are premultiplied by alpha, ready for AlphaBlend without further work. Rows
// are exactly width * 4 bytes, so pixel (x, y) is ((DWORD*)bits)[y * width + x],
// read as 0xAARRGGBB.
struct TImageEntry
{
    HBITMAP bitmap;  // owns the pixels; selected into a memory DC to draw
    LPBYTE bits;     // the DIB section's own memory, valid while bitmap exists
    int width;
    int height;
    bool hasAlpha;      // some pixel is not opaque, or was cleared by the mask
    CUIString resType;  // the type the owner asked for; empty for plain files
    DWORD mask;         // the mask colour the owner asked for
    int dpi;            // the display DPI the pixels were made for; 0 means 96, the skin's own
};

// How a picture is resized for a display scale.
enum TImageScaling
{
    ImageScalingSmooth,   // bilinear when enlarging, the average of the covered area when shrinking
    ImageScalingNearest,  // every pixel copied from the nearest source pixel: for pixel art
};

// The resource type that makes an image name a colour text ("#AARRGGBB").
extern const WCHAR kColorImageType[];

// Turns bytes (or a colour text) into a TImageEntry. Knows nothing of where the
// bytes come from; callers own the returned entry and release it with Free.
// The mask colour is compared with each finished, premultiplied pixel read as
// 0xAARRGGBB; a match is cleared to fully transparent. An opaque magenta pixel
// is therefore 0xFFFF00FF: a mask without an alpha byte never matches it.
class CImageLoader
{
public:
    // Decodes PNG, JPEG, BMP, GIF (first frame), PSD, PIC, PNM or TGA, told
    // apart by content. Null for empty or undecodable bytes or when the bitmap
    // cannot be created; error (optional) then says why.
    static TImageEntry* Decode(const void* data, size_t size, DWORD mask, CUIString* error = NULL);
    // Builds an entry from straight (not premultiplied) RGBA rows, top first.
    static TImageEntry* FromRgba(const BYTE* rgba, int width, int height, DWORD mask,
                                 CUIString* error = NULL);
    // A 1x1 image of the colour text: optional "#", then hexadecimal AARRGGBB.
    // Six digits leave alpha 0, so "#FF0000" is a fully transparent pixel.
    static TImageEntry* FromColorText(LPCWSTR text, DWORD mask);

    static bool IsColorType(LPCWSTR type);

    // A new entry of width x height holding source resized with the given
    // filter (same alpha flag and mask); null when either size is not positive
    // or the bitmap cannot be created. The caller owns it.
    static TImageEntry* Resample(const TImageEntry& source, int width, int height, TImageScaling scaling);

    // Deletes the bitmap (the entry keeps null handles); with deleteEntry set
    // also destroys the record. Null does nothing.
    static void Free(TImageEntry* entry, bool deleteEntry);

    // Premultiplies one straight RGBA pixel into 0xAARRGGBB, truncating.
    static DWORD PremultiplyPixel(BYTE red, BYTE green, BYTE blue, BYTE alpha);
};
