#include "core/DpiManager.h"

#include <gtest/gtest.h>

#include <vector>

using Facet::DpiManager;

namespace {

int g_readingForTest = 96;
int ReadingForTest()
{
    return g_readingForTest;
}

class DpiManagerTest : public ::testing::Test
{
protected:
    void UseDpi(int dpi)
    {
        g_readingForTest = dpi;
        manager->SetDpiSource(&ReadingForTest);
    }
    void TearDown() override
    {
        manager->SetAdaptDPI(false);
        manager->SetDpiSource(nullptr);
        manager->SetDisplayDpi(0);
    }

    DpiManager* manager = DpiManager::GetInstance();
};

TEST_F(DpiManagerTest, FactorFollowsTheDotsPerInch)
{
    const struct
    {
        int dpi;
        double factor;
    } cases[] = {
        {96, 1.0}, {120, 1.25}, {144, 1.5}, {168, 1.75}, {192, 2.0},
    };
    for (const auto& c : cases) {
        UseDpi(c.dpi);
        EXPECT_EQ(c.factor, manager->GetWindowInchPex()) << c.dpi;
    }
    UseDpi(100);
    EXPECT_DOUBLE_EQ(100.0 / 96.0, manager->GetWindowInchPex());
}

TEST_F(DpiManagerTest, SkinSizeIsTruncatedAfterScaling)
{
    UseDpi(120);
    EXPECT_EQ(62, static_cast<int>(50 * manager->GetWindowInchPex()));
}

TEST_F(DpiManagerTest, FailedReadingCountsAsStandardDpi)
{
    UseDpi(0);
    EXPECT_EQ(1.0, manager->GetWindowInchPex());
    UseDpi(-120);
    EXPECT_EQ(1.0, manager->GetWindowInchPex());
}

TEST_F(DpiManagerTest, ReadingIsTakenAfreshAtEveryRequest)
{
    UseDpi(96);
    EXPECT_EQ(1.0, manager->GetWindowInchPex());
    g_readingForTest = 144;
    EXPECT_EQ(1.5, manager->GetWindowInchPex());
}

TEST_F(DpiManagerTest, DesktopReadingGivesAPositiveFactor)
{
    manager->SetDpiSource(nullptr);
    EXPECT_GT(manager->GetWindowInchPex(), 0.0);
}

TEST_F(DpiManagerTest, TheDisplaysReadingStandsForTheDesktopsUntilCleared)
{
    const double desktop = manager->GetWindowInchPex();
    manager->SetDisplayDpi(240);
    EXPECT_EQ(manager->GetWindowInchPex(), 2.5);
    // A source set for tests still comes first.
    UseDpi(120);
    EXPECT_EQ(manager->GetWindowInchPex(), 1.25);
    manager->SetDpiSource(nullptr);
    EXPECT_EQ(manager->GetWindowInchPex(), 2.5);
    // Nonsense clears it, as 0 does.
    manager->SetDisplayDpi(-3);
    EXPECT_EQ(manager->GetDisplayDpi(), 0);
    EXPECT_EQ(manager->GetWindowInchPex(), desktop);
}

TEST_F(DpiManagerTest, AWindowsReadingIsItsMonitorsOrElseTheDesktops)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DpiProbeWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, wc.hInstance,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    HDC desktop = GetDC(nullptr);
    const int desktopDpi = GetDeviceCaps(desktop, LOGPIXELSX);
    ReleaseDC(nullptr, desktop);
    // One monitor here: the window's reading is the desktop's.
    EXPECT_EQ(DpiManager::DpiOfWindow(window), desktopDpi);
    EXPECT_EQ(DpiManager::DpiOfWindow(nullptr), desktopDpi);
    DestroyWindow(window);
}

TEST_F(DpiManagerTest, ScaleOperationsChangeNothingWhenSwitchedOff)
{
    UseDpi(192);
    int number = 37;
    EXPECT_EQ(37, manager->ScaleInt(number));
    EXPECT_EQ(37, number);
    RECT rect = {1, 2, 11, 22};
    manager->ScaleRect(rect);
    EXPECT_EQ(1, rect.left);
    EXPECT_EQ(22, rect.bottom);
    SIZE size = {5, 6};
    manager->ScaleSize(size);
    EXPECT_EQ(5, size.cx);
    POINT point = {7, 8};
    manager->ScalePoint(point);
    EXPECT_EQ(8, point.y);
}

TEST_F(DpiManagerTest, ScaleOperationsFollowTheDisplayWhenSwitchedOn)
{
    UseDpi(120);
    manager->SetAdaptDPI(true);
    EXPECT_EQ(125.0, manager->GetScale());

    int number = 50;
    EXPECT_EQ(63, manager->ScaleInt(number)); // 62.5 rounded to nearest
    EXPECT_EQ(63, number);

    // Width and height are scaled on their own, then the corner is moved.
    RECT rect = {10, 20, 13, 27}; // width 3, height 7
    manager->ScaleRect(rect);
    EXPECT_EQ(13, rect.left); // 12.5 -> 13
    EXPECT_EQ(25, rect.top);
    EXPECT_EQ(13 + 4, rect.right);  // width 3.75 -> 4
    EXPECT_EQ(25 + 9, rect.bottom); // height 8.75 -> 9

    SIZE size = {8, -8};
    manager->ScaleSize(size);
    EXPECT_EQ(10, size.cx);
    EXPECT_EQ(-10, size.cy);
    POINT point = {4, 100};
    manager->ScalePoint(point);
    EXPECT_EQ(5, point.x);
    EXPECT_EQ(125, point.y);
}

TEST_F(DpiManagerTest, SwitchedOnAtStandardDpiChangesNothing)
{
    UseDpi(96);
    manager->SetAdaptDPI(true);
    int number = 37;
    EXPECT_EQ(37, manager->ScaleInt(number));
}

// Writes "AppliedDPI" under the user's desktop window metrics for one test and
// puts back what was there before.
class AppliedDpiValue
{
public:
    AppliedDpiValue()
    {
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                            &disposition) != ERROR_SUCCESS)
            return;
        m_createdKey = disposition == REG_CREATED_NEW_KEY;
        DWORD size = 0;
        if (RegQueryValueExW(m_key, kValueName, nullptr, &m_savedType, nullptr, &size) == ERROR_SUCCESS) {
            m_saved.resize(size);
            m_hadValue = RegQueryValueExW(m_key, kValueName, nullptr, &m_savedType, m_saved.data(), &size) ==
                         ERROR_SUCCESS;
        }
    }
    ~AppliedDpiValue()
    {
        if (m_key == nullptr)
            return;
        if (m_hadValue)
            RegSetValueExW(m_key, kValueName, 0, m_savedType, m_saved.data(), static_cast<DWORD>(m_saved.size()));
        else
            RegDeleteValueW(m_key, kValueName);
        RegCloseKey(m_key);
        if (m_createdKey)
            RegDeleteKeyW(HKEY_CURRENT_USER, kKeyPath);
    }
    bool IsOpen() const { return m_key != nullptr; }
    void Remove() { RegDeleteValueW(m_key, kValueName); }
    void SetDword(DWORD value) { Set(REG_DWORD, &value, sizeof(value)); }
    void Set(DWORD type, const void* data, DWORD size)
    {
        RegSetValueExW(m_key, kValueName, 0, type, static_cast<const BYTE*>(data), size);
    }

private:
    static constexpr const wchar_t* kKeyPath = L"Control Panel\\Desktop\\WindowMetrics";
    static constexpr const wchar_t* kValueName = L"AppliedDPI";
    HKEY m_key = nullptr;
    bool m_createdKey = false;
    bool m_hadValue = false;
    DWORD m_savedType = REG_NONE;
    std::vector<BYTE> m_saved;
};

TEST(DpiFromRegistryTest, RecordedValueGivesTheScale)
{
    AppliedDpiValue value;
    ASSERT_TRUE(value.IsOpen());
    value.SetDword(120);
    EXPECT_EQ(1.25, DpiManager::GetDPIFromRegistry());
    value.SetDword(192);
    EXPECT_EQ(2.0, DpiManager::GetDPIFromRegistry());
}

TEST(DpiFromRegistryTest, MissingOrNonPositiveValueGivesOne)
{
    AppliedDpiValue value;
    ASSERT_TRUE(value.IsOpen());
    value.Remove();
    EXPECT_EQ(1.0, DpiManager::GetDPIFromRegistry());
    value.SetDword(0);
    EXPECT_EQ(1.0, DpiManager::GetDPIFromRegistry());
    value.SetDword(static_cast<DWORD>(-120));
    EXPECT_EQ(1.0, DpiManager::GetDPIFromRegistry());
}

TEST(DpiFromRegistryTest, ValueOfAnotherShapeIsIgnored)
{
    AppliedDpiValue value;
    ASSERT_TRUE(value.IsOpen());
    const wchar_t text[] = L"120";
    value.Set(REG_SZ, text, sizeof(text));
    EXPECT_EQ(1.0, DpiManager::GetDPIFromRegistry());
    const BYTE shortNumber[2] = {120, 0};
    value.Set(REG_BINARY, shortNumber, sizeof(shortNumber));
    EXPECT_EQ(1.0, DpiManager::GetDPIFromRegistry());
    const ULONGLONG wideNumber = 120;
    value.Set(REG_QWORD, &wideNumber, sizeof(wideNumber));
    EXPECT_EQ(1.0, DpiManager::GetDPIFromRegistry());
}

} // namespace
