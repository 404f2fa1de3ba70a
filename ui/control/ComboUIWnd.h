// CComboWnd: the pop-up window in which a combo's rows are shown. It has its
// own paint manager whose root is a CComboBodyUI holding the combo's rows for
// as long as it is open; closing gives the rows back to the combo. It closes
// when it loses the focus, on escape (restoring the previous selection), on
// return and after a click on a row. The object deletes itself after its
// window is gone.
#pragma once

#include <windows.h>

#include "../core/PaintManager.h"
#include "../window/WindowWnd.h"

namespace Facet {

class CComboUI;
class CComboBodyUI;

class CComboWnd : public CWindowWnd
{
public:
    CComboWnd();

    // Creates and shows the pop-up under (or, without room, over) the owner.
    // False when the window could not be created; the object has then
    // deleted itself.
    bool Init(CComboUI* owner);
    // The pop-up's rectangle in screen coordinates for the owner.
    RECT CalPos() const;
    // Scrolls the body so that the row is shown.
    void EnsureVisible(int index);
    CComboBodyUI* GetBody() const;
    CPaintManagerUI* GetPaintManager();

    // Called by a dying owner: gives the rows back now and closes the window.
    void OwnerDestroyed();

    // "ComboWnd".
    const wchar_t* GetWndClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    ~CComboWnd() override;

    LRESULT Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam);
    void CreateBody();
    // Takes the rows out of the body and hands them back to the owner (once).
    void ReturnItems();

    CPaintManagerUI m_pm;
    CComboUI* m_pOwner;
    CComboBodyUI* m_pBody;
    int m_iOldSel;
    bool m_bItemsReturned;
    // How many of this window's messages are being handled right now.
    int m_nDepth;
    bool m_bDeletePending;
};

} // namespace Facet
