#pragma once

#include <windows.h>

#include "ui/render/ImageDescriptor.h"
#include "ui/render/ImageLoader.h"

class CControlUI;
class ITextResources;
class IWindowPicture;

// The framework's drawing operations. Stateless apart from the msimg32
// lookups; every operation draws into the DC it is given.
//
// <windows.h> maps LoadImage to LoadImageW; every file that sees this class
// sees the same mapping, so the member keeps working under either name.
class CRenderer
{
public:
    // --- Images ---------------------------------------------------------
    // Decodes an image's encoded bytes (see CImageLoader::Decode); where the
    // bytes come from is the caller's business. Null on any failure. The
    // caller owns the entry and fills resType and mask.
    static TImageEntry* LoadImage(const void* data, size_t size, DWORD mask = 0);
    static void FreeImage(TImageEntry* entry, bool deleteEntry = true);

    // --- Image descriptors and image drawing --------------------------------
    // Parses and loads the descriptor on first use, then draws it inside rcItem.
    // images is the window's manager; without one nothing is drawn. With no DC
    // it only parses and loads. False when the image cannot be had (never
    // retried until the descriptor is cleared); true otherwise, drawn or not.
    static bool DrawImageSpec(HDC hDC, IImageLookup* images, const RECT& rcItem, const RECT& rcPaint,
                              TDrawSpec& descriptor);
    // Draws rcSource of a bitmap into rc with nine-part stretching: the corner
    // insets keep their size, the edges stretch along one axis, the centre
    // stretches (or tiles). Premultiplied alpha when alpha is set or fade < 255.
    static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcSource,
                          const RECT& rcCorner, bool alpha, BYTE fade = 255, bool hole = false,
                          bool xtiled = false, bool ytiled = false);
    // Stands in for AlphaBlend (same arguments) where msimg32 lacks it; the
    // same premultiplied source-over formula, alpha byte included.
    static BOOL WINAPI BlendFallback(HDC hDest, int x, int y, int cx, int cy, HDC hSrc, int sx, int sy,
                                     int scx, int scy, BLENDFUNCTION blend);
    // source × sourceFactor + destination × destinationFactor, truncated to 0..255.
    static BYTE MixColor(BYTE source, BYTE destination, double sourceFactor, double destinationFactor);

    // --- Text ---------------------------------------------------------------
    // Plain text through DrawTextW with the window's font of iFont (never
    // prefix processing). Only a null text or window draws nothing: an empty
    // text still measures, as nothing.
    static void DrawText(HDC hDC, ITextResources* resources, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor,
                         int iFont, UINT uStyle);
    // Text with one-letter tags (fonts, colours, links, images, alignment,
    // selection, spacing) laid out inside rc. With DT_CALCRECT nothing is
    // drawn and rc receives the size. nLinkRects holds the capacity of the
    // link arrays on entry (whose rectangles of the last paint decide the
    // hover colour) and the number of entries filled on return.
    static void DrawMarkupText(HDC hDC, ITextResources* resources, RECT& rc, LPCWSTR pstrText,
                               DWORD dwTextColor, RECT* prcLinks, CUIString* sLinks, int& nLinkRects,
                               int iFont, UINT uStyle);

    // --- Colours and primitives -------------------------------------------------
    // Alpha 0 draws nothing, alpha 255 fills opaquely, anything between blends.
    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    // From first (left or top) to second (right or bottom), at the average of
    // the two alphas. Without GradientFill, 2 to 64 solid bands by steps.
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);
    // From rc's left-top to its right-bottom corner.
    static void DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
    // Outlines inside rc; the inside is left alone.
    static void DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color,
                              int style = PS_SOLID);
    // A 32-bit DIB section with rows bottom-up (height as passed), or null.
    static HBITMAP CreateDib32(HDC hDC, int width, int height, LPBYTE* bits);
    // What the window shows in rc (client coordinates), as a new 32-bit DIB
    // section of rc's size that the caller owns. With a control, the window
    // paints up to that control, so the picture is what lies behind it. A
    // filter colour with alpha is blended over the whole picture. Null
    // without a window, for an empty rectangle or when GDI refuses.
    static HBITMAP GenerateBitmap(IWindowPicture* window, const RECT& rc, CControlUI* control = NULL,
                                  DWORD filterColor = 0);
};
