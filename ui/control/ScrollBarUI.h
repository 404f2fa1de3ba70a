// CScrollBarUI: a vertical or horizontal scroll bar made of two arrow buttons,
// a track between them and a thumb that slides in the track. It keeps a range
// (0..range) and a position; clicking a button steps by a line, clicking the
// track steps by a page towards the pointer, and dragging the thumb follows
// the pointer. A bar owned by a container scrolls the container (which moves
// the bar's position); a bar without an owner moves only its own position.
// Every change made by the user is announced with the "scroll" notification
// (wParam: new position, lParam: previous position).
#pragma once

#include <windows.h>

#include "ControlUI.h"

namespace Facet {

class CContainerUI;

class CScrollBarUI : public CControlUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"ScrollBar";
    CScrollBarUI();

    // "ScrollBar".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    CContainerUI* GetOwner() const;
    void SetOwner(CContainerUI* owner);

    bool IsHorizontal() const;
    // A horizontal bar keeps its thickness as fixed height, a vertical one as
    // fixed width.
    void SetHorizontal(bool horizontal = true);

    int GetScrollRange() const;
    // Negative ranges count as 0; the position is clamped into the new range.
    void SetScrollRange(int range);
    int GetScrollPos() const;
    // Clamped into 0..range.
    void SetScrollPos(int pos);
    // The step of one button click for a bar without an owner (default 8).
    int GetLineSize() const;
    void SetLineSize(int size);
    // A container scrolls by this many pixels per line when it is above 1.
    int GetScrollUnit() const;
    void SetScrollUnit(int unit);

    bool GetShowButton1() const;
    void SetShowButton1(bool show);
    bool GetShowButton2() const;
    void SetShowButton2(bool show);

    // Rectangles of the parts after the last SetPos (window coordinates).
    const RECT& GetButton1Rect() const;
    const RECT& GetButton2Rect() const;
    const RECT& GetThumbRect() const;
    // The track: the space between the two buttons.
    RECT GetTrackRect() const;

    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    // Background images by state, then the track, buttons and thumb.
    void PaintBkImage(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

    // The timer that repeats a held button or track click.
    static const UINT kRepeatTimerId = 10;

    // Bits of the part states.
    enum PartState : UINT {
        kHot = 0x1,
        kPushed = 0x2,
        kCaptured = 0x4,
    };

private:
    // The images of one part in its four states.
    struct PartImages
    {
        TDrawInfo normal;
        TDrawInfo hot;
        TDrawInfo pushed;
        TDrawInfo disabled;
    };

    // Recomputes the buttons and the thumb from the item rectangle, range and
    // position.
    void UpdateParts();
    // Length of the bar along its axis, and its thickness.
    int Length() const;
    int Thickness() const;
    // The coordinate of `pt` along the bar's axis.
    long Along(POINT pt) const;
    // How far the thumb can travel in pixels.
    int ThumbTravel() const;

    // One user step: through the owner when there is one, else on the bar;
    // announces a change of position.
    void StepLine(bool forward);
    void StepPage(bool forward);
    void ScrollTo(int pos);
    void Announce(int oldPos);
    // Updates the hot bits of the parts from the pointer; invalidates when
    // one changed.
    void TrackHover(POINT pt);
    void ClearPressed();

    // DoEvent's cases; each answers whether the event stops at the bar.
    bool HandleBarEvent(TEventUI& event);
    bool OnButtonDown(const TEventUI& event);
    bool OnMouseMove(const TEventUI& event);
    bool OnMouseLeave();
    bool OnRepeatTick();
    bool OnScrollWheel(TEventUI& event);

    void PaintPart(HDC hDC, const RECT& rc, DWORD color, PartImages& images, UINT state);
    // An image or colour of a part set from the skin; the bar is painted again.
    void SetPartImage(TDrawInfo& info, const wchar_t* description);
    void SetPartColor(DWORD& color, DWORD value);
    // Whether a colour or an image of the bar or of any part is set.
    bool HasOwnLook() const;
    // The look of a bar that has none of its own: a track, two buttons and a
    // thumb in shades of grey.
    void PaintPlainLook(HDC hDC);

    CContainerUI* m_pOwner;
    bool m_bHorizontal;
    int m_nRange;
    int m_nScrollPos;
    int m_nLineSize;
    int m_nScrollUnit;
    bool m_bShowButton1;
    bool m_bShowButton2;

    RECT m_rcButton1;
    RECT m_rcButton2;
    RECT m_rcThumb;
    UINT m_uButton1State;
    UINT m_uButton2State;
    UINT m_uThumbState;
    UINT m_uTrackState; // pushed while a track click repeats

    // Thumb drag: the pointer and the position when the drag started.
    POINT m_ptDragStart;
    int m_nDragStartPos;
    // Ticks of the repeat timer since the button went down.
    int m_nRepeatTicks;
    // The pointer while a button or the track is held.
    POINT m_ptLastMouse;

    DWORD m_dwButton1Color;
    DWORD m_dwButton2Color;
    DWORD m_dwThumbColor;
    PartImages m_button1;
    PartImages m_button2;
    PartImages m_thumb;
    PartImages m_rail;
    PartImages m_bk;
};

} // namespace Facet
