#pragma once

#include <windows.h>

#include "ui/core/Geometry.h"

// Narrows a DC's clip region to a rectangle or a rounded rectangle for the
// life of the scope, then gives the DC back exactly the clip it had before
// (no clip region at all, or the region it was, rounded corners included).
// Coordinates are those of the DC's device space: painting here never moves
// the origin.
class CClipScope
{
public:
    CClipScope();
    ~CClipScope();
    CClipScope(const CClipScope&) = delete;
    CClipScope& operator=(const CClipScope&) = delete;

    // Begin a scope; a scope already begun is ended first.
    static void ClipRect(HDC hDC, const RECT& rc, CClipScope& scope);
    // rc intersected with the rounded outline of rcItem (ellipse width × height).
    static void ClipRoundRect(HDC hDC, const RECT& rc, const RECT& rcItem, int width, int height,
                              CClipScope& scope);
    // Paint outside the scope for a while (the clip of before), then return.
    static void UseOldClip(HDC hDC, CClipScope& scope);
    static void UseNewClip(HDC hDC, CClipScope& scope);

    CUIRect rect;
    HDC dc;
    HRGN newRgn;
    HRGN oldRgn;  // the clip of before; null when the DC had none

private:
    // Takes the DC's present clip as oldRgn and sets dc; false when GDI fails.
    bool Begin(HDC hDC, const RECT& rc);
    void SelectOld() const;
    void End();
};
