// CUIAnimation: timer-driven frame counting. CAnimationPaneUI: growing and
// shrinking the pane frame by frame.
#include "AnimationPaneUI.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "../core/AttributeValues.h"
#include "../core/PaintManager.h"

namespace Facet {

using namespace attribute_values;

// -- CUIAnimation --

CUIAnimation::CUIAnimation(CControlUI* owner) : m_pOwner(owner)
{
}

CUIAnimation::~CUIAnimation()
{
    CPaintManagerUI* manager = m_pOwner != nullptr ? m_pOwner->GetManager() : nullptr;
    if (manager == nullptr)
        return;
    for (const Job& job : m_jobs)
        manager->KillTimer(m_pOwner, job.id);
}

CUIAnimation::Job* CUIAnimation::FindJob(UINT id)
{
    for (Job& job : m_jobs) {
        if (job.id == id)
            return &job;
    }
    return nullptr;
}

const CUIAnimation::Job* CUIAnimation::FindJob(UINT id) const
{
    for (const Job& job : m_jobs) {
        if (job.id == id)
            return &job;
    }
    return nullptr;
}

void CUIAnimation::RemoveJob(UINT id)
{
    for (size_t i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs[i].id == id) {
            m_jobs.erase(m_jobs.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

bool CUIAnimation::StartAnimation(UINT elapse, int totalFrames, UINT id, bool loop)
{
    StopAnimation(id);
    CPaintManagerUI* manager = m_pOwner != nullptr ? m_pOwner->GetManager() : nullptr;
    if (manager == nullptr || totalFrames < 1)
        return false;
    if (!manager->SetTimer(m_pOwner, id, (std::max)(elapse, 1u)))
        return false;
    m_jobs.push_back(Job{id, elapse, totalFrames, 0, loop, true});
    OnAnimationStart(id, true);
    return true;
}

void CUIAnimation::StopAnimation(UINT id)
{
    if (FindJob(id) == nullptr)
        return;
    if (CPaintManagerUI* manager = m_pOwner->GetManager())
        manager->KillTimer(m_pOwner, id);
    RemoveJob(id);
}

bool CUIAnimation::IsAnimationRunning(UINT id) const
{
    return FindJob(id) != nullptr;
}

int CUIAnimation::GetCurrentFrame(UINT id) const
{
    const Job* job = FindJob(id);
    return job != nullptr ? job->currentFrame : -1;
}

bool CUIAnimation::SetCurrentFrame(int frame, UINT id)
{
    Job* job = FindJob(id);
    if (job == nullptr || frame < 0 || frame > job->totalFrames)
        return false;
    job->currentFrame = frame;
    return true;
}

bool CUIAnimation::OnTimer(UINT id)
{
    Job* job = FindJob(id);
    if (job == nullptr)
        return false;
    const int total = job->totalFrames;
    const int frame = ++job->currentFrame;
    OnAnimationStep(total, frame, id);
    // The step may have stopped or restarted the animation.
    job = FindJob(id);
    if (job == nullptr || job->currentFrame < job->totalFrames)
        return true;
    if (job->loop) {
        job->currentFrame = 0;
        job->firstLoop = false;
        OnAnimationStart(id, false);
        return true;
    }
    StopAnimation(id);
    OnAnimationStop(id);
    return true;
}

// -- CAnimationPaneUI --

namespace {

const int kDefaultFrameCount = 24;
const int kDefaultFrameDelay = 5;

} // namespace

CAnimationPaneUI::CAnimationPaneUI()
    : CUIAnimation(this),
      m_bPaneVisible(true),
      m_bAnimation(true),
      m_nFrameCount(kDefaultFrameCount),
      m_nFrameDelay(kDefaultFrameDelay),
      m_bHorizontal(false),
      m_bVertical(true),
      m_bAnimating(false),
      m_szRestore{0, 0},
      m_szFull{0, 0},
      m_fShown(1.0),
      m_fStart(1.0)
{
}

const wchar_t* CAnimationPaneUI::GetClass() const
{
    return L"AnimationPane";
}

LPVOID CAnimationPaneUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"AnimationPane") == 0)
        return static_cast<CAnimationPaneUI*>(this);
    if (name != nullptr && wcscmp(name, L"UIAnimation") == 0)
        return static_cast<CUIAnimation*>(this);
    return CContainerUI::GetInterface(name);
}

void CAnimationPaneUI::DoEvent(TEventUI& event)
{
    if (event.Type == UIEVENT_TIMER && OnTimer(static_cast<UINT>(event.wParam)))
        return;
    CContainerUI::DoEvent(event);
}

const CControlAttributeTable& CAnimationPaneUI::GetAttributeTable() const
{
    using C = CAnimationPaneUI;
    static const TAttribute<CAnimationPaneUI> kAttributes[] = {
        {L"animation", kValueFlag, [](C& c, const wchar_t* v) { c.SetAnimationEnabled(IsTrue(v)); }, kNameAnyCase},
        {L"panevisible", kValueFlag, [](C& c, const wchar_t* v) { c.SetPaneVisible(IsTrue(v)); }, kNameAnyCase},
        {L"framecount", kValueNumber, [](C& c, const wchar_t* v) { c.SetFrameCount(ReadInt(v)); }, kNameAnyCase},
        {L"framedelay", kValueNumber, [](C& c, const wchar_t* v) { c.SetFrameDelay(ReadInt(v)); }, kNameAnyCase},
        {L"horizontal", kValueFlag, [](C& c, const wchar_t* v) { c.SetHorizontal(IsTrue(v)); }, kNameAnyCase},
        {L"vertical", kValueFlag, [](C& c, const wchar_t* v) { c.SetVertical(IsTrue(v)); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CContainerUI::GetAttributeTable());
    return table;
}

void CAnimationPaneUI::SetAnimationEnabled(bool enabled)
{
    m_bAnimation = enabled;
}

bool CAnimationPaneUI::IsAnimationEnabled() const
{
    return m_bAnimation;
}

void CAnimationPaneUI::SetFrameCount(int frames)
{
    m_nFrameCount = (std::max)(frames, 1);
}

int CAnimationPaneUI::GetFrameCount() const
{
    return m_nFrameCount;
}

void CAnimationPaneUI::SetFrameDelay(int milliseconds)
{
    m_nFrameDelay = (std::max)(milliseconds, 1);
}

int CAnimationPaneUI::GetFrameDelay() const
{
    return m_nFrameDelay;
}

void CAnimationPaneUI::SetHorizontal(bool horizontal)
{
    m_bHorizontal = horizontal;
}

bool CAnimationPaneUI::IsHorizontal() const
{
    return m_bHorizontal;
}

void CAnimationPaneUI::SetVertical(bool vertical)
{
    m_bVertical = vertical;
}

bool CAnimationPaneUI::IsVertical() const
{
    return m_bVertical;
}

bool CAnimationPaneUI::IsPaneVisible() const
{
    return m_bPaneVisible;
}

bool CAnimationPaneUI::IsAnimating() const
{
    return m_bAnimating;
}

void CAnimationPaneUI::SetPaneVisible(bool visible)
{
    if (visible == m_bPaneVisible && (m_bAnimating || m_bVisible == visible))
        return;
    m_bPaneVisible = visible;

    const bool animate = m_bAnimation && m_pManager != nullptr && (m_bHorizontal || m_bVertical);
    if (!animate) {
        if (m_bAnimating) {
            StopAnimation(kPaneAnimationId);
            m_bAnimating = false;
            RestoreFullSize();
        }
        m_fShown = visible ? 1.0 : 0.0;
        SetVisible(visible);
        return;
    }

    if (!m_bAnimating) {
        // The size the skin gave, and the extent to animate: a side without
        // a fixed size animates over its laid-out size.
        m_szRestore = m_cxyFixed;
        m_szFull.cx = m_cxyFixed.cx > 0 ? m_cxyFixed.cx : GetWidth();
        m_szFull.cy = m_cxyFixed.cy > 0 ? m_cxyFixed.cy : GetHeight();
        m_fShown = m_bVisible ? 1.0 : 0.0;
    }
    m_fStart = m_fShown;
    m_bAnimating = true;
    if (!StartAnimation(static_cast<UINT>(m_nFrameDelay), m_nFrameCount, kPaneAnimationId)) {
        m_bAnimating = false;
        RestoreFullSize();
        m_fShown = visible ? 1.0 : 0.0;
        SetVisible(visible);
    }
}

void CAnimationPaneUI::ApplyFraction(double fraction)
{
    m_fShown = fraction;
    const LONG cx = static_cast<LONG>(std::lround(m_szFull.cx * fraction));
    const LONG cy = static_cast<LONG>(std::lround(m_szFull.cy * fraction));
    if (m_bHorizontal)
        m_cxyFixed.cx = cx;
    if (m_bVertical)
        m_cxyFixed.cy = cy;
    // A fixed size of 0 would let a layout stretch the pane: with nothing
    // to show the pane is hidden instead.
    const bool empty = (m_bHorizontal && cx < 1) || (m_bVertical && cy < 1);
    SetVisible(!empty);
    NeedParentUpdate();
}

void CAnimationPaneUI::RestoreFullSize()
{
    m_cxyFixed = m_szRestore;
    NeedParentUpdate();
}

void CAnimationPaneUI::OnAnimationStart(UINT /*id*/, bool /*firstLoop*/)
{
}

void CAnimationPaneUI::OnAnimationStep(int totalFrames, int currentFrame, UINT /*id*/)
{
    const double target = m_bPaneVisible ? 1.0 : 0.0;
    ApplyFraction(m_fStart + (target - m_fStart) * currentFrame / totalFrames);
}

void CAnimationPaneUI::OnAnimationStop(UINT /*id*/)
{
    m_bAnimating = false;
    // A hidden pane keeps the skin's size for the next time it shows.
    SetVisible(m_bPaneVisible);
    RestoreFullSize();
    m_fShown = m_bPaneVisible ? 1.0 : 0.0;
}

} // namespace Facet
