#include "ui/controls/GifAnim.h"

#include <string.h>

// Lean Windows headers leave out the COM types the GDI+ headers use.
#include <objidl.h>
#include <gdiplus.h>

#include "ui/controls/ControlAttributes.h"
#include "ui/markup/ResourceLocations.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace
{
// The frame dimension of animations (FrameDimensionTime).
const GUID kFrameDimensionTime = {
    0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
const PROPID kPropertyFrameDelay = 0x5100;

// A stream over a copy of the bytes that frees its memory when released; null
// when memory is short.
IStream* StreamOnCopy(const BYTE* data, DWORD size)
{
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == NULL)
        return NULL;
    void* target = ::GlobalLock(block);
    if (target == NULL)
    {
        ::GlobalFree(block);
        return NULL;
    }
    memcpy(target, data, size);
    ::GlobalUnlock(block);
    IStream* stream = NULL;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream)))
    {
        ::GlobalFree(block);
        return NULL;
    }
    return stream;
}

int CountFrames(GpImage* image)
{
    UINT dimensions = 0;
    if (GdipImageGetFrameDimensionsCount(image, &dimensions) != Ok || dimensions == 0)
        return 0;
    std::vector<GUID> ids(dimensions);
    if (GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) != Ok)
        return 0;
    UINT frames = 0;
    if (GdipImageGetFrameCount(image, &ids[0], &frames) != Ok)
        return 0;
    return static_cast<int>(frames);
}

// The stored per-frame delays, in hundredths of a second; empty when the
// image has none.
std::vector<UINT> ReadFrameDelays(GpImage* image)
{
    std::vector<UINT> delays;
    UINT size = 0;
    if (GdipGetPropertyItemSize(image, kPropertyFrameDelay, &size) != Ok || size < sizeof(PropertyItem))
        return delays;
    std::vector<BYTE> buffer(size);
    PropertyItem* item = reinterpret_cast<PropertyItem*>(buffer.data());
    if (GdipGetPropertyItem(image, kPropertyFrameDelay, size, item) != Ok || item->value == NULL)
        return delays;
    // The value must lie inside the buffer GDI+ filled.
    const BYTE* value = static_cast<const BYTE*>(item->value);
    const size_t available = buffer.data() + size - value;
    if (value < buffer.data() || value > buffer.data() + size)
        return delays;
    const size_t count = (item->length < available ? item->length : available) / sizeof(UINT);
    delays.resize(count);
    memcpy(delays.data(), value, count * sizeof(UINT));
    return delays;
}

const TAttributeRow<CGifAnimUI> kGifAttributes[] = {
    {L"bkimage", [](CGifAnimUI& c, LPCWSTR v) { c.SetGifFile(v); }},
    {L"autoplay", [](CGifAnimUI& c, LPCWSTR v) { c.SetAutoPlay(ParseBool(v)); }},
    {L"autosize", [](CGifAnimUI& c, LPCWSTR v) { c.SetAutoSize(ParseBool(v)); }},
};
}  // namespace

CGifAnimUI::CGifAnimUI()
    : gifImage(NULL),
      frameCount(0),
      currentFrame(0),
      autoPlay(true),
      autoSize(false),
      playing(false),
      timerPeriod(0),
      gifStream(NULL)
{
}

CGifAnimUI::~CGifAnimUI()
{
    if (playing && manager != NULL)
        manager->KillTimer(this, kFrameTimerId);
    playing = false;
    DeleteGif();
}

LPCWSTR CGifAnimUI::GetClassName() const
{
    return L"GifAnim";
}

LPVOID CGifAnimUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"GifAnim") == 0)
        return this;
    return CControlUI::FindInterface(pstrName);
}

void CGifAnimUI::SetVisible(bool bVisible)
{
    CControlUI::SetVisible(bVisible);
    if (bVisible)
        PlayGif();
    else
        StopGif();
}

void CGifAnimUI::InitSelf()
{
    if (gifImage == NULL)
        InitGifImage();
}

void CGifAnimUI::HandleEvent(TControlEvent& event)
{
    if (event.kind == EventTimer)
        OnTimer(event.wParam);
}

void CGifAnimUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(kGifAttributes, *this, pstrName, pstrValue))
        CControlUI::SetAttribute(pstrName, pstrValue);
}

bool CGifAnimUI::PaintContent(HDC hDC, const RECT&, CControlUI*)
{
    if (gifImage == NULL)
        InitGifImage();
    PaintBkColor(hDC);
    if (hDC != NULL && gifImage != NULL)
    {
        GpGraphics* graphics = NULL;
        if (GdipCreateFromHDC(hDC, &graphics) == Ok && graphics != NULL)
        {
            GdipImageSelectActiveFrame(gifImage, &kFrameDimensionTime, static_cast<UINT>(currentFrame));
            GdipDrawImageRectI(graphics, gifImage, itemRect.left, itemRect.top,
                               itemRect.right - itemRect.left, itemRect.bottom - itemRect.top);
            GdipDeleteGraphics(graphics);
        }
    }
    PaintBorder(hDC);
    return true;
}

void CGifAnimUI::SetGifFile(LPCWSTR pstrName)
{
    if (pstrName == NULL || gifFile == pstrName)
        return;
    gifFile = pstrName;
    StopGif();
    DeleteGif();
    Invalidate();
}

UINT CGifAnimUI::GetFrameDelay(int frame) const
{
    if (frame < 0 || static_cast<size_t>(frame) >= frameDelays.size() || frameDelays[frame] == 0)
        return kDefaultFrameDelay;
    // Stored in hundredths of a second; a delay beyond 49 days is not an animation.
    const UINT hundredths = frameDelays[frame];
    return hundredths > 0xFFFFFFFFu / 10 ? 0xFFFFFFFFu : hundredths * 10;
}

bool CGifAnimUI::StartFrameTimer()
{
    if (manager == NULL)
        return false;
    timerPeriod = GetFrameDelay(currentFrame);
    return manager->SetTimer(this, kFrameTimerId, timerPeriod);
}

void CGifAnimUI::PlayGif()
{
    if (playing || !IsPlayable())
        return;
    playing = StartFrameTimer();
}

void CGifAnimUI::StopGif()
{
    if (!playing)
        return;
    if (manager != NULL)
        manager->KillTimer(this, kFrameTimerId);
    currentFrame = 0;
    Invalidate();
    playing = false;
}

bool CGifAnimUI::InitGifImage()
{
    if (gifFile.IsEmpty())
        return false;
    CSkinData bytes;
    if (!FetchSkinData(gifFile, SkinDataAnimation, bytes) || bytes.IsEmpty())
        return false;
    // Without a GDI+ session nothing can be decoded; the next paint tries again.
    if (!gdiplus.Ensure())
        return false;
    IStream* stream = StreamOnCopy(bytes.GetData(), bytes.GetSize());
    if (stream == NULL)
        return false;
    GpImage* image = NULL;
    if (GdipLoadImageFromStream(stream, &image) != Ok || image == NULL)
    {
        if (image != NULL)
            GdipDisposeImage(image);
        stream->Release();
        return false;
    }
    gifStream = stream;
    gifImage = image;
    frameCount = CountFrames(image);
    currentFrame = 0;
    frameDelays = ReadFrameDelays(image);

    if (autoSize)
    {
        UINT width = 0;
        UINT height = 0;
        GdipGetImageWidth(image, &width);
        GdipGetImageHeight(image, &height);
        SetFixedWidth(static_cast<int>(width));
        SetFixedHeight(static_cast<int>(height));
    }
    if (autoPlay && IsVisible())
        PlayGif();
    return true;
}

void CGifAnimUI::DeleteGif()
{
    // The image reads from the stream until it is disposed.
    if (gifImage != NULL)
    {
        GdipDisposeImage(gifImage);
        gifImage = NULL;
    }
    if (gifStream != NULL)
    {
        gifStream->Release();
        gifStream = NULL;
    }
    frameDelays.clear();
    frameCount = 0;
    currentFrame = 0;
}

void CGifAnimUI::OnTimer(UINT_PTR timerId)
{
    if (timerId != kFrameTimerId || manager == NULL)
        return;
    manager->KillTimer(this, kFrameTimerId);
    if (!IsPlayable())
    {
        playing = false;
        return;
    }
    Invalidate();
    currentFrame = (currentFrame + 1) % frameCount;
    playing = StartFrameTimer();
}
