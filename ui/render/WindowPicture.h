#pragma once

#include <windows.h>

class CControlUI;

// What a snapshot of a window needs of it (CRenderer::GenerateBitmap): the
// renderer paints no controls itself, so the window paints them for it.
class IWindowPicture
{
public:
    // A DC compatible with the window's surfaces; null without a window.
    virtual HDC GetPictureDC() = 0;
    // The bitmap holding the window's finished picture, to be borrowed
    // between paints; null when there is none that can stand for the
    // window (not painted yet, or painted with per-pixel alpha).
    virtual HBITMAP GetFinishedPicture() = 0;
    // Paints the window's controls inside rc into hDC. With a stop control
    // the painting ends where that control would be painted, so the picture
    // shows what lies behind it.
    virtual void PaintPicture(HDC hDC, const RECT& rc, CControlUI* stop) = 0;

protected:
    ~IWindowPicture() = default;
};
