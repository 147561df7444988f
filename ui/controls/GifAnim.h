#pragma once

#include <windows.h>

#include <vector>

#include "ui/controls/Control.h"
#include "ui/controls/ControlTag.h"
#include "ui/render/GdiplusSession.h"

namespace Gdiplus
{
class GpImage;
}
struct IStream;

// An animated picture stretched over the control, played frame by frame
// with the delays stored in the file. Unlike the other images of the
// framework it is not an image descriptor: "bkimage" names a GIF file, which
// GDI+ decodes, and a manager timer advances the frames. The control holds
// its own reference to the process's GDI+ session while it has an image.
class CGifAnimUI : public CControlUI
{
public:
    // The manager timer that advances the frames.
    static const UINT kFrameTimerId = 100;
    // A frame without a delay of its own, or with a zero delay, stays this long.
    static const UINT kDefaultFrameDelay = 100;

    CGifAnimUI();
    ~CGifAnimUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    DWORD GetAccessibleRole() override;
    void SetVisible(bool bVisible = true) override;
    void InitSelf() override;
    // Only the frame timer is used; no event reaches the base.
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    // Loads the image when there is none yet, then draws the current frame.
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

    // ---- Operations ----
    // A new name stops the animation and drops the image; the next paint loads it.
    void SetGifFile(LPCWSTR pstrName);
    const CUIString& GetGifFile() const { return gifFile; }
    void SetAutoPlay(bool bAutoPlay) { autoPlay = bAutoPlay; }
    bool IsAutoPlay() const { return autoPlay; }
    // With auto size the image's size becomes the control's fixed size when it loads.
    void SetAutoSize(bool bAutoSize) { autoSize = bAutoSize; }
    bool IsAutoSize() const { return autoSize; }
    // Starts the frame timer; nothing when already playing or not playable.
    void PlayGif();
    // Stops the frame timer and goes back to the first frame.
    void StopGif();

    bool HasImage() const { return gifImage != NULL; }
    bool IsPlaying() const { return playing; }
    int GetFrameCount() const { return frameCount; }
    int GetCurrentFrame() const { return currentFrame; }
    // How long the frame is shown, in milliseconds.
    UINT GetFrameDelay(int frame) const;
    // The period the frame timer was last started with; 0 before the first start.
    UINT GetTimerPeriod() const { return timerPeriod; }

private:
    // Decodes gifFile; false, and no image, when it cannot be read or decoded.
    bool InitGifImage();
    // Releases the image, then the stream under it.
    void DeleteGif();
    void OnTimer(UINT_PTR timerId);
    // Animation needs frames and the delays stored with them.
    bool IsPlayable() const { return gifImage != NULL && frameCount > 0 && !frameDelays.empty(); }
    bool StartFrameTimer();

    CGdiplusUse gdiplus;
    Gdiplus::GpImage* gifImage;
    int frameCount;
    int currentFrame;
    std::vector<UINT> frameDelays;  // as stored, hundredths of a second
    CUIString gifFile;
    bool autoPlay;
    bool autoSize;
    bool playing;
    UINT timerPeriod;
    IStream* gifStream;  // backs gifImage; released after it
};

// The element name that makes this control in skins, spelt exactly so.
inline constexpr TControlTag kGifAnimTags[] = {
    {L"GifAnim", ExactCase, MakeControl<CGifAnimUI>},
};
