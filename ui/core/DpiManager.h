// The window scale factor: how much the pixel sizes written in skins grow on
// screens with more dots per inch than the classic 96.
#pragma once

#include <windows.h>

namespace Facet {

class DpiManager
{
public:
    // Supplies a horizontal dots-per-inch reading in place of the desktop's.
    using DpiSource = int (*)();

    static DpiManager* GetInstance();

    // The factor by which skin sizes are multiplied (dots per inch / 96), read
    // afresh at every call. A missing or nonsensical reading counts as 96.
    double GetWindowInchPex() const;

    // The scale recorded in the user's desktop settings ("AppliedDPI" / 96);
    // 1.0 when the value is absent, not a positive 4-byte number, or unreadable.
    static double GetDPIFromRegistry();

    // Switching adaptation on takes the percentage for the Scale operations from
    // the current dots-per-inch reading (120 dots per inch -> 125 percent).
    void SetAdaptDPI(bool adapt);
    bool IsAdaptDPI() const { return m_bAdaptDPI; }
    double GetScale() const { return m_dScale; }

    // Scale a number, rectangle, size or point in place when adaptation is on.
    int ScaleInt(int& value) const;
    void ScaleRect(RECT& rect) const;
    void ScaleSize(SIZE& size) const;
    void ScalePoint(POINT& point) const;

    // Replaces the desktop reading (tests, callers that know better); null
    // restores the desktop's device context as the source.
    void SetDpiSource(DpiSource source) { m_pDpiSource = source; }

    // The dots per inch of the display the windows are on, for a program that
    // follows each monitor's scale: set when its window learns its display's
    // reading (at creation, and when the platform reports a new one as the
    // window moves to another monitor). 0 returns to the desktop's reading. A
    // source set with SetDpiSource still comes first.
    void SetDisplayDpi(int dpi) { m_nDisplayDpi = dpi > 0 ? dpi : 0; }
    int GetDisplayDpi() const { return m_nDisplayDpi; }

    // The dots per inch of the monitor that shows `window` as the platform
    // reports it to a program aware of each monitor's scale; the desktop's
    // reading on systems without that report (or for a null window).
    static int DpiOfWindow(HWND window);

    // The factor for a given reading; readings of 0 or less count as 96.
    static double FactorForDpi(int dpi);

private:
    DpiManager() = default;
    DpiManager(const DpiManager&) = delete;
    DpiManager& operator=(const DpiManager&) = delete;

    int ReadDpi() const;
    bool ScalesNumbers() const;
    int ScaleNumber(int value) const;

    double m_dScale = 1.0;    // percentage used by the Scale operations
    bool m_bAdaptDPI = false; // whether the Scale operations act at all
    DpiSource m_pDpiSource = nullptr;
    int m_nDisplayDpi = 0; // 0: the desktop's reading
};

} // namespace Facet
