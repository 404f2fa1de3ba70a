#include "DpiManager.h"

#include "SystemLibrary.h"
#include "UniqueHandle.h"

namespace Facet {

namespace {

const int kStandardDpi = 96;

int DesktopDpi()
{
    const UniqueWindowDC dc = GetUniqueWindowDC(::GetDesktopWindow());
    if (dc.Get() == nullptr)
        return 0;
    return ::GetDeviceCaps(dc.Get(), LOGPIXELSX);
}

typedef UINT(WINAPI* GetDpiForWindowFunction)(HWND);

// Present from Windows 10 (version 1607); user32 is always loaded.
GetDpiForWindowFunction PlatformDpiForWindow()
{
    static const GetDpiForWindowFunction function = SystemProcedure<GetDpiForWindowFunction>(
        ::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    return function;
}

} // namespace

DpiManager* DpiManager::GetInstance()
{
    // A function-local static is created once even when first calls race.
    static DpiManager instance;
    return &instance;
}

double DpiManager::FactorForDpi(int dpi)
{
    // A failed reading must never turn every skin size into 0.
    if (dpi <= 0)
        dpi = kStandardDpi;
    return dpi / static_cast<double>(kStandardDpi);
}

int DpiManager::ReadDpi() const
{
    if (m_pDpiSource != nullptr)
        return m_pDpiSource();
    return m_nDisplayDpi > 0 ? m_nDisplayDpi : DesktopDpi();
}

int DpiManager::DpiOfWindow(HWND window)
{
    const GetDpiForWindowFunction dpiForWindow = PlatformDpiForWindow();
    const int dpi = (window != nullptr && dpiForWindow != nullptr) ? static_cast<int>(dpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : DesktopDpi();
}

double DpiManager::GetWindowInchPex() const
{
    return FactorForDpi(ReadDpi());
}

double DpiManager::GetDPIFromRegistry()
{
    int dpi = kStandardDpi;
    UniqueRegistryKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"CONTROL PANEL\\DESKTOP\\WINDOWMETRICS", 0, KEY_QUERY_VALUE,
                        key.Receive()) == ERROR_SUCCESS) {
        DWORD type = REG_NONE;
        DWORD value = 0;
        DWORD size = sizeof(value);
        const LONG result = ::RegQueryValueExW(key.Get(), L"AppliedDPI", nullptr, &type,
                                               reinterpret_cast<BYTE*>(&value), &size);
        if (result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value) && static_cast<int>(value) > 0)
            dpi = static_cast<int>(value);
    }
    return dpi / static_cast<double>(kStandardDpi);
}

void DpiManager::SetAdaptDPI(bool adapt)
{
    m_bAdaptDPI = adapt;
    if (adapt) {
        // The percentage starts at 1.0, which would shrink everything to a
        // hundredth; adaptation follows the display instead.
        m_dScale = FactorForDpi(ReadDpi()) * 100.0;
    }
}

bool DpiManager::ScalesNumbers() const
{
    return m_bAdaptDPI && m_dScale != 100.0;
}

int DpiManager::ScaleNumber(int value) const
{
    const int percent = static_cast<int>(m_dScale);
    return ::MulDiv(value, percent, 100);
}

int DpiManager::ScaleInt(int& value) const
{
    if (ScalesNumbers())
        value = ScaleNumber(value);
    return value;
}

void DpiManager::ScaleRect(RECT& rect) const
{
    if (!ScalesNumbers())
        return;
    const int width = ScaleNumber(rect.right - rect.left);
    const int height = ScaleNumber(rect.bottom - rect.top);
    rect.left = ScaleNumber(rect.left);
    rect.top = ScaleNumber(rect.top);
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
}

void DpiManager::ScaleSize(SIZE& size) const
{
    if (!ScalesNumbers())
        return;
    size.cx = ScaleNumber(size.cx);
    size.cy = ScaleNumber(size.cy);
}

void DpiManager::ScalePoint(POINT& point) const
{
    if (!ScalesNumbers())
        return;
    point.x = ScaleNumber(point.x);
    point.y = ScaleNumber(point.y);
}

} // namespace Facet
