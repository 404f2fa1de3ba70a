// WindowImplBase: a ready-made skinned top-level window. It owns a paint
// manager, builds its control tree from a skin when the window is created (from
// a folder, a zip file, a compiled resource or a zip compiled in as a
// resource), has no native frame: its caption, size box, rounded corners and
// system buttons ("closebtn", "minbtn", "maxbtn", "restorebtn") come from the
// skin. Notifications reach handlers through its message map; "click" goes to
// OnClick.
#pragma once

#include <windows.h>

#include "../core/DialogBuilder.h"
#include "../core/FacetString.h"
#include "../core/PaintManager.h"
#include "../core/PaintManagerTypes.h"
#include "NotifyPump.h"
#include "WindowWnd.h"

namespace Facet {

// Where GetSkinFileName is read from.
enum FacetSkinResourceType {
    FACET_SKIN_FILE = 1,        // a file under the resource folder
    FACET_SKIN_ZIP = 2,         // an entry of the zip file GetZIPFileName() in the resource folder
    FACET_SKIN_RESOURCE = 3,    // a compiled resource of type "xml" numbered GetSkinFileName()
    FACET_SKIN_ZIPRESOURCE = 4, // an entry of the zip compiled in as resource GetResourceID() of type "ZIPRES"
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback
{
public:
    WindowImplBase();

    // -- Native window --
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;
    ~WindowImplBase() override;

    // -- Template operations, in the order of the window's table --

    // Runs once the control tree is attached.
    virtual void InitWindow();
    // "click" notifications: the system buttons by name.
    virtual void OnClick(TNotifyUI& msg);
    // The skin folder below the instance's folder (used when no resource path is set).
    virtual CFacetString GetSkinDirectory() = 0;
    // The skin file name, or for FACET_SKIN_RESOURCE the resource number as decimal text.
    virtual CFacetString GetSkinFileName() = 0;
    // Return and Escape reaching the window: Escape closes it (result 1).
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);
    virtual FacetSkinResourceType GetResourceType() const;
    virtual CFacetString GetZIPFileName() const;
    virtual CFacetString GetResourceID() const;

    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    // Messages the table above does not name; the default leaves them alone.
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    // The window's style without the caption bits.
    virtual LONG GetStyle();

    // -- Listener interfaces --

    // Passes the notification to the message map.
    void Notify(TNotifyUI& msg) override;
    // Pre-message filter: Return and Escape key-downs go to ResponseDefaultKeyEvent.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    // No controls of its own beyond the factory's.
    CControlUI* CreateControl(const wchar_t* className) override;

    CPaintManagerUI& GetPaintManager() { return m_pm; }

    // The hit-test answer for a point in client coordinates (what
    // WM_NCHITTEST answers): size-box bands unless maximised, then the caption.
    LRESULT HitTest(POINT ptClient);

protected:
    // Sets the resource zip to the zip compiled in as `resourceId` (type
    // "ZIPRES") of the resource module. The bytes are read once and kept for
    // the process; a different id replaces them. False when the resource is
    // missing, unreadable or empty.
    static bool UseEmbeddedZip(const CFacetString& resourceId);
    // The bytes of the embedded zip kept for the process, or null.
    static const BYTE* GetResourceZipBuffer();

    CPaintManagerUI m_pm;

private:
    // The bytes of the last embedded skin zip, kept for the process.
    struct TResourceZipBuffer
    {
        BYTE* pBytes;
        DWORD dwSize;
        CFacetString sResourceId;
    };
    static TResourceZipBuffer m_ResourceZipBuffer;

    // Shows "maxbtn" and hides "restorebtn" (or the reverse) for the window state.
    void ShowSizingButtons(bool maximised);

    FACET_DECLARE_MESSAGE_MAP()
};

} // namespace Facet
