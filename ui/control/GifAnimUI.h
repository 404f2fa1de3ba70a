// CGifAnimUI ("GifAnim"): an animated image. The "bkimage" names a GIF (or
// any image GDI+ decodes; one frame then stands still), decoded through GDI+
// when the control joins a window. Its frames are shown in turn, each for
// its own delay, by a control timer; "autoplay" (on by default) starts them
// at once, "autosize" gives the control the image's size. The current frame
// is stretched over the control.
#pragma once

#include <windows.h>

#include <memory>

#include "ControlUI.h"

namespace Facet {

class CGifFrames;

class CGifAnimUI : public CControlUI
{
public:
    // The control timer that advances the frames.
    static const UINT kFrameTimerId = 10;
    // The delay of a frame that gives none (or one below 20 ms).
    static const UINT kDefaultFrameDelay = 100;

    CGifAnimUI();
    ~CGifAnimUI() override;

    // "GifAnim".
    const wchar_t* GetClass() const override;
    // This control for "GifAnim", else the base's answer.
    LPVOID GetInterface(const wchar_t* name) override;

    // Decodes the image and starts it when autoplay is on.
    void DoInit() override;
    // Hidden, the animation stops (back to the first frame); shown again it
    // starts when autoplay is on.
    void SetVisible(bool visible = true) override;
    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    // The current frame over the control's rectangle.
    void PaintBkImage(HDC hDC) override;

    // The image description of the animation; a new one is decoded at once
    // in a window.
    void SetBkImage(const wchar_t* description);
    const wchar_t* GetBkImage() const;
    void SetAutoPlay(bool autoPlay = true);
    bool IsAutoPlay() const;
    void SetAutoSize(bool autoSize = true);
    bool IsAutoSize() const;

    // Starts (or resumes) the frames; nothing for an image of one frame.
    void PlayGif();
    // Stops at the current frame.
    void PauseGif();
    // Stops and goes back to the first frame.
    void StopGif();
    bool IsPlaying() const;

    // 0 when nothing is decoded.
    UINT GetFrameCount() const;
    UINT GetCurrentFrame() const;
    // The delay of frame `index` in milliseconds (0 outside the frames).
    UINT GetFrameDelay(UINT index) const;
    // Shows the next frame (the first after the last), as the timer does.
    void AdvanceFrame();

private:
    // Decodes the image if that has not been tried since it was named; true
    // when an image was decoded by this call.
    bool EnsureDecoded();
    void ScheduleNextFrame();

    CFacetString m_sBkImage;
    bool m_bAutoPlay;
    bool m_bAutoSize;
    bool m_bPlaying;
    bool m_bDecodeTried;
    UINT m_nFramePosition;
    std::unique_ptr<CGifFrames> m_pFrames;
};

} // namespace Facet
