// CLinearLayoutUI: what the horizontal and the vertical layout share. Both
// stack their children one after another along their axis and size them
// across it; children with a size of their own keep it and the others share
// what is left. With a separator, one edge of the layout becomes a strip the
// user drags to resize the layout along its axis. CHorizontalLayoutUI and
// CVerticalLayoutUI only choose the axis and name themselves.
#pragma once

#include "ContainerUI.h"

namespace Facet {

class CLinearLayoutUI : public CContainerUI
{
public:
    // Asks for the set-cursor event while a separator is active.
    UINT GetControlFlags() const override;

    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(TEventUI& event) override;
    // Shades the separator's new place while it is dragged (not in
    // immediate mode).
    void DoPostPaint(HDC hDC, const RECT& rcPaint) override;
    // "sepimm"; the separator size is an attribute of each axis's class.
    const CControlAttributeTable& GetAttributeTable() const override;

    // In immediate mode a drag resizes the layout at every move; otherwise
    // the new place is only shown until the button is released.
    void SetSepImmMode(bool immediately);
    bool IsSepImmMode() const;
    // The separator strip of the item rectangle, or of the dragged new place
    // when `useNew` is set and a drag is running.
    RECT GetThumbRect(bool useNew = false) const;

    // The button-state bit of a running separator drag.
    static const UINT kSeparatorCaptured = 0x40;

protected:
    enum Orientation { kHorizontal, kVertical };

    explicit CLinearLayoutUI(Orientation orientation);

    // Thickness of the draggable strip: along the end edge (right or bottom)
    // when positive, along the start edge (left or top) when negative, none
    // when 0. The public classes expose it as a width or a height.
    void SetSepSize(int size);
    int GetSepSize() const;

private:
    // The two passes of SetPos (defined with it).
    struct Frame;
    struct Measure;
    Frame MakeFrame(const RECT& client) const;
    Measure MeasureChildren(const Frame& frame);
    long PlaceChildren(const Frame& frame, const Measure& measure);

    bool IsVertical() const;
    bool IsSeparatorCaptured() const;
    void BeginSeparatorDrag(POINT mouse);
    void DragSeparatorTo(POINT mouse);
    bool MoveDraggedEdge(RECT& rc, long pointer, long delta) const;
    void EndSeparatorDrag();

    int m_iSepSize;
    UINT m_uButtonState;
    POINT m_ptLastMouse;
    RECT m_rcNewPos;
    bool m_bImmMode;
    const Orientation m_orientation;
};

} // namespace Facet
