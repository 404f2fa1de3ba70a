// CUIAnimation: frame animations of one control, driven by that control's
// timers (the timer number is the animation's number). A derived control
// passes its timer events to OnTimer and receives the start, each step and
// the stop.
//
// CAnimationPaneUI ("AnimationPane"): a container that shows and hides itself
// by growing from 0 to its size, or shrinking back, over "framecount" frames
// "framedelay" milliseconds apart, along its width ("horizontal") and/or its
// height ("vertical", the default). With "animation" off (or outside a
// window) it shows and hides at once. "panevisible" is the state it starts in.
#pragma once

#include <windows.h>

#include <vector>

#include "ContainerUI.h"

namespace Facet {

class CUIAnimation
{
public:
    explicit CUIAnimation(CControlUI* owner);
    virtual ~CUIAnimation();
    CUIAnimation(const CUIAnimation&) = delete;
    CUIAnimation& operator=(const CUIAnimation&) = delete;

    // Starts (or restarts) animation `id`: OnAnimationStart, then one step
    // every `elapse` milliseconds for frames 1..totalFrames, then
    // OnAnimationStop (a looping animation starts over instead). False when
    // the owner has no manager or the timer cannot be set.
    bool StartAnimation(UINT elapse, int totalFrames, UINT id = 0, bool loop = false);
    // Ends the animation without its stop call.
    void StopAnimation(UINT id = 0);
    bool IsAnimationRunning(UINT id = 0) const;
    // The last frame stepped to (0 before the first step); -1 when not running.
    int GetCurrentFrame(UINT id = 0) const;
    bool SetCurrentFrame(int frame, UINT id = 0);

    // Steps the animation whose number is `id`; false when no such animation
    // runs (the timer belongs to someone else).
    bool OnTimer(UINT id);

    virtual void OnAnimationStart(UINT id, bool firstLoop) = 0;
    virtual void OnAnimationStep(int totalFrames, int currentFrame, UINT id) = 0;
    virtual void OnAnimationStop(UINT id) = 0;

private:
    struct Job
    {
        UINT id;
        UINT elapse;
        int totalFrames;
        int currentFrame;
        bool loop;
        bool firstLoop;
    };
    // Null when animation `id` does not run.
    Job* FindJob(UINT id);
    const Job* FindJob(UINT id) const;
    void RemoveJob(UINT id);

    CControlUI* m_pOwner;
    std::vector<Job> m_jobs;
};

class CAnimationPaneUI : public CContainerUI, public CUIAnimation
{
public:
    // The number of the pane's animation (its control timer).
    static const UINT kPaneAnimationId = 1;

    CAnimationPaneUI();

    // "AnimationPane".
    const wchar_t* GetClass() const override;
    // This control for "AnimationPane", the animation part for "UIAnimation",
    // else the container's answer.
    LPVOID GetInterface(const wchar_t* name) override;

    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    // Shows or hides the pane, animated when animation is on and the pane is
    // in a window. A change of direction during an animation goes back from
    // where the pane is.
    void SetPaneVisible(bool visible);
    // The state the pane is in or on its way to.
    bool IsPaneVisible() const;
    bool IsAnimating() const;

    void SetAnimationEnabled(bool enabled);
    bool IsAnimationEnabled() const;
    // Values below 1 are stored as 1.
    void SetFrameCount(int frames);
    int GetFrameCount() const;
    // Milliseconds between frames; values below 1 are stored as 1.
    void SetFrameDelay(int milliseconds);
    int GetFrameDelay() const;
    void SetHorizontal(bool horizontal);
    bool IsHorizontal() const;
    void SetVertical(bool vertical);
    bool IsVertical() const;

    void OnAnimationStart(UINT id, bool firstLoop) override;
    void OnAnimationStep(int totalFrames, int currentFrame, UINT id) override;
    void OnAnimationStop(UINT id) override;

private:
    // Sets the animated sides to `fraction` of the full size.
    void ApplyFraction(double fraction);
    // Puts the fixed size the skin gave back in place.
    void RestoreFullSize();

    bool m_bPaneVisible;
    bool m_bAnimation;
    int m_nFrameCount;
    int m_nFrameDelay;
    bool m_bHorizontal;
    bool m_bVertical;
    bool m_bAnimating;
    // The fixed size to restore after an animation, and the extent animated
    // (the fixed size, or the laid-out size of a side without one).
    SIZE m_szRestore;
    SIZE m_szFull;
    // The part of the full size shown now, and when the animation started
    // (so that a reversal goes back from where the pane is).
    double m_fShown;
    double m_fStart;
};

} // namespace Facet
