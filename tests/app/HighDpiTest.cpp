// The real MevraUpdater.exe on a display scaled as the registry of the Wine
// prefix says (the way Wine takes the display scale). high_dpi_pages.sh runs
// this program once per scale, 96 DPI first, in a prefix of its own:
//   FACET_DPI_RUN        the dots per inch the prefix is set to
//   FACET_DPI_ARTIFACTS  the folder for the screenshots and the 96-DPI layout
// The 96-DPI run records where the buttons stand and what each page looks
// like; the scaled runs check that the window, the buttons' places and hit
// areas, and the pictures of the pages are those of 96 DPI in proportion.
#include "StallingProxy.h"

#include "ConfigStore.h"
#include "PreviousInstallation.h"
#include "TextConvert.h"
#include "UpdaterDriver.h"
#include "UpdaterProcess.h"

#include "render/GdiObjects.h"

#include "../support/AccessibleClient.h"
#include "../support/TestFiles.h"
#include "../support/TestImages.h"

#include <gtest/gtest.h>

#define STBI_NO_STDIO
#include <stb_image.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testsupport;
using namespace updaterdriver;

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

int RunDpi()
{
    return _wtoi(Environment(L"FACET_DPI_RUN").c_str());
}

double RunScale()
{
    return RunDpi() / 96.0;
}

std::wstring Artifact(const std::wstring& name)
{
    return Environment(L"FACET_DPI_ARTIFACTS") + L"\\" + name;
}

// -- Pictures of the screen --

// What the screen shows inside `rect`, read back from the display.
Picture ScreenShot(const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    Picture picture(width, height, 0);
    HDC screen = GetDC(nullptr);
    {
        Facet::ScopedDibSurface surface(screen, width, height);
        if (surface.Valid() && BitBlt(surface.Dc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
            GdiFlush();
            const auto* pixels = reinterpret_cast<const uint32_t*>(surface.Bits());
            for (size_t i = 0; i < picture.argb.size(); ++i)
                picture.argb[i] = pixels[i] | 0xFF000000u;
        }
    }
    ReleaseDC(nullptr, screen);
    return picture;
}

void SavePng(const Picture& picture, const std::wstring& path)
{
    const std::vector<unsigned char> png = EncodePng(picture);
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
}

bool LoadPng(const std::wstring& path, Picture& picture)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int width = 0, height = 0, channels = 0;
    unsigned char* rgba = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height,
                                                &channels, 4);
    if (rgba == nullptr)
        return false;
    picture = Picture(width, height, 0);
    for (size_t i = 0; i < picture.argb.size(); ++i) {
        const unsigned char* p = rgba + i * 4;
        picture.argb[i] = (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }
    stbi_image_free(rgba);
    return true;
}

// `picture` brought to width x height by averaging the pixels each target
// pixel covers.
Picture Shrunk(const Picture& picture, int width, int height)
{
    Picture out(width, height, 0);
    for (int y = 0; y < height; ++y) {
        const int top = y * picture.height / height;
        const int bottom = std::max(top + 1, (y + 1) * picture.height / height);
        for (int x = 0; x < width; ++x) {
            const int left = x * picture.width / width;
            const int right = std::max(left + 1, (x + 1) * picture.width / width);
            unsigned sum[3] = {0, 0, 0};
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx) {
                    const uint32_t c = picture.argb[static_cast<size_t>(sy) * picture.width + sx];
                    sum[0] += (c >> 16) & 0xFF;
                    sum[1] += (c >> 8) & 0xFF;
                    sum[2] += c & 0xFF;
                }
            const unsigned count = static_cast<unsigned>((bottom - top) * (right - left));
            out.At(x, y) = 0xFF000000u | ((sum[0] / count) << 16) | ((sum[1] / count) << 8) | (sum[2] / count);
        }
    }
    return out;
}

// The mean difference of two pictures of one size, per colour channel (0..255).
double MeanDifference(const Picture& a, const Picture& b)
{
    double total = 0;
    for (size_t i = 0; i < a.argb.size(); ++i)
        for (int shift : {0, 8, 16})
            total += std::abs(static_cast<int>((a.argb[i] >> shift) & 0xFF) -
                              static_cast<int>((b.argb[i] >> shift) & 0xFF));
    return total / (a.argb.size() * 3.0);
}

// -- The layout at 96 DPI --

using Layout = std::map<std::wstring, RECT>;

void SaveLayout(const Layout& layout, const std::wstring& path)
{
    std::wofstream out(path.c_str());
    // The name last: it may hold blanks.
    for (const auto& entry : layout)
        out << entry.second.left << L' ' << entry.second.top << L' ' << entry.second.right << L' '
            << entry.second.bottom << L' ' << entry.first << L'\n';
}

Layout LoadLayout(const std::wstring& path)
{
    Layout layout;
    std::wifstream in(path.c_str());
    std::wstring name;
    RECT rect;
    while (in >> rect.left >> rect.top >> rect.right >> rect.bottom && std::getline(in, name))
        layout[name.substr(1)] = rect;
    return layout;
}

SIZE SizeOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

class HighDpiTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (RunDpi() <= 0)
            GTEST_SKIP() << "run by high_dpi_pages.sh, which sets the prefix's scale";
    }

    // The named buttons of the page showing, where the accessible objects say
    // they stand, relative to the main window.
    Layout ButtonsOf(HWND main, const std::vector<std::wstring>& names, const std::wstring& page) const
    {
        Layout layout;
        const std::vector<AccessibleNode> shown = ShownNodesOf(ClientObjectOf(main));
        RECT origin = {};
        GetWindowRect(main, &origin);
        for (const std::wstring& name : names) {
            const Accessible button = FindIn(shown, name, ROLE_SYSTEM_PUSHBUTTON);
            if (!button)
                continue;
            RECT rect = LocationOf(button);
            OffsetRect(&rect, -origin.left, -origin.top);
            layout[page + L":" + name] = rect;
        }
        return layout;
    }
};

TEST_F(HighDpiTest, TheManifestAsksForEachMonitorsScaleWithTheSystemScaleBeforeIt)
{
    const std::wstring updater = ProgramFolder() + L"\\MevraUpdater.exe";
    ACTCTXW request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = updater.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE);
    wchar_t value[100] = {};
    SIZE_T written = 0;
    ASSERT_TRUE(QueryActCtxSettingsW(0, context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                     L"dpiAwareness", value, 100, &written));
    EXPECT_EQ(std::wstring(value).rfind(L"PerMonitorV2", 0), 0u) << value;
    ASSERT_TRUE(QueryActCtxSettingsW(0, context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware",
                                     value, 100, &written));
    EXPECT_EQ(std::wstring(value), L"true");
    ReleaseActCtx(context);
}

TEST_F(HighDpiTest, ThePlatformReportsTheScaleOfTheRun)
{
    HDC desktop = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(desktop, LOGPIXELSX), RunDpi());
    ReleaseDC(nullptr, desktop);
}

TEST_F(HighDpiTest, WindowButtonsAndPagesAreThoseOf96DpiInProportion)
{
    const double scale = RunScale();
    const bool reference = RunDpi() == 96;
    const ComApartment apartment;
    StallingProxy proxy;
    ASSERT_NE(proxy.Port(), 0);
    SetEnvironmentVariableW(L"LC_ALL", L"en_US.UTF-8");
    ProxySettings settings;
    settings.useProxy = true;
    settings.ip = L"127.0.0.1";
    settings.port = std::to_wstring(proxy.Port());
    const std::wstring settingsFile = GetTargetFolder() + L"\\installer.ini";
    WriteProxySettingsFile(settingsFile, settings);

    UpdaterProcess updater;
    ASSERT_TRUE(updater.WaitForPage(kDownloadPage, kWaitMs));
    ASSERT_TRUE(proxy.WaitForConnections(1, kWaitMs));
    const HWND main = updater.MainWindow();
    const HWND host = updater.HostWindow();

    // The window: the skin's 680 x 440 times the scale, each side truncated.
    const SIZE expected = {static_cast<LONG>(680 * scale), static_cast<LONG>(440 * scale)};
    EXPECT_EQ(SizeOf(main).cx, expected.cx);
    EXPECT_EQ(SizeOf(main).cy, expected.cy);
    EXPECT_EQ(SizeOf(host).cx, std::max(expected.cx, 680L));
    EXPECT_EQ(SizeOf(host).cy, std::max(expected.cy, 443L));

    // Pictures and button places of the three pages. The hit areas: presses
    // at the 96-DPI points times the scale reach the buttons.
    std::map<std::wstring, Picture> shots;
    Layout layout = ButtonsOf(main, {L"Settings", L"Minimize", L"Close"}, L"download");
    auto shoot = [&](const std::wstring& page) {
        Sleep(700); // the page paints
        RECT rect = {};
        GetWindowRect(main, &rect);
        const Picture shot = ScreenShot(rect);
        SavePng(shot, Artifact(std::to_wstring(RunDpi()) + L"-" + page + L".png"));
        shots.emplace(page, shot);
    };
    shoot(L"0-download");
    const POINT settingsPoint = {static_cast<LONG>(kSettingsButton.x * scale),
                                 static_cast<LONG>(kSettingsButton.y * scale)};
    Click(main, settingsPoint);
    ASSERT_TRUE(updater.WaitForPage(kProxyPage, kWaitMs)) << "the settings button missed at its scaled point";
    const Layout proxyButtons = ButtonsOf(main, {L"Back", L"Minimize", L"Close", L"Save"}, L"proxy");
    layout.insert(proxyButtons.begin(), proxyButtons.end());
    shoot(L"2-proxy");
    Click(main, POINT{static_cast<LONG>(kReturnButton.x * scale), static_cast<LONG>(kReturnButton.y * scale)});
    ASSERT_TRUE(updater.WaitForPage(kDownloadPage, kWaitMs)) << "the return button missed at its scaled point";
    proxy.DropAll();
    ASSERT_TRUE(updater.WaitForPage(kRetryPage, kWaitMs));
    const Layout retryButtons = ButtonsOf(main, {L"Retry", L"Download Directly"}, L"retry");
    layout.insert(retryButtons.begin(), retryButtons.end());
    shoot(L"1-retry");
    const int before = proxy.Connections(); // the failed attempt's automatic retries among them
    Click(main, POINT{static_cast<LONG>(kRetryButton.x * scale), static_cast<LONG>(kRetryButton.y * scale)});
    EXPECT_TRUE(updater.WaitForPage(kDownloadPage, kWaitMs)) << "the retry button missed at its scaled point";
    EXPECT_TRUE(proxy.WaitForConnections(before + 1, kWaitMs));
    PostMessageW(host, WM_CLOSE, 0, 0);
    EXPECT_EQ(updater.WaitForExit(kWaitMs), 0u);
    DeleteFileW(settingsFile.c_str());
    EXPECT_EQ(layout.size(), 9u);

    if (reference) {
        SaveLayout(layout, Artifact(L"layout-96.txt"));
        return;
    }
    // Every button where it stood at 96 DPI, times the scale (a pixel or two
    // apart where sizes were truncated on the way).
    const Layout base = LoadLayout(Artifact(L"layout-96.txt"));
    ASSERT_EQ(base.size(), layout.size()) << "no 96-DPI run before this one";
    const double slack = 2 + scale;
    for (const auto& entry : base) {
        const RECT& was = entry.second;
        const RECT& is = layout[entry.first];
        const std::string name(entry.first.begin(), entry.first.end());
        EXPECT_NEAR(is.left, was.left * scale, slack) << name;
        EXPECT_NEAR(is.top, was.top * scale, slack) << name;
        EXPECT_NEAR(is.right, was.right * scale, slack) << name;
        EXPECT_NEAR(is.bottom, was.bottom * scale, slack) << name;
    }
    // Each page, brought back to the size of its 96-DPI picture, is that
    // picture; and it is closer to it than to another page's (which shows the
    // comparison tells pages apart).
    std::map<std::wstring, Picture> base96;
    for (const auto& shot : shots) {
        Picture picture(0, 0, 0);
        ASSERT_TRUE(LoadPng(Artifact(L"96-" + shot.first + L".png"), picture)) << "no 96-DPI picture";
        base96.emplace(shot.first, picture);
    }
    for (const auto& shot : shots) {
        const Picture& was = base96.at(shot.first);
        const Picture shrunk = Shrunk(shot.second, was.width, was.height);
        const double same = MeanDifference(shrunk, was);
        const double other = MeanDifference(shrunk, base96.at(shot.first == L"2-proxy" ? L"0-download" : L"2-proxy"));
        std::printf("%ls at %d DPI: mean difference %.2f from its 96-DPI picture, %.2f from another page's\n",
                    shot.first.c_str(), RunDpi(), same, other);
        EXPECT_LT(same, 4.0) << std::string(shot.first.begin(), shot.first.end());
        EXPECT_LT(same * 10, other) << std::string(shot.first.begin(), shot.first.end());
    }
}

} // namespace
