#include "SkinWatch.h"

#include "core/PaintManager.h"

namespace preview {

namespace {

// How often the files are looked at.
const DWORD kLookIntervalMs = 200;

} // namespace

FileStamps::FileStamps(const std::vector<std::wstring>& paths)
{
    for (const std::wstring& path : paths)
        m_stamps.push_back(Take(path));
}

FileStamps::Stamp FileStamps::Take(const std::wstring& path)
{
    Stamp stamp;
    stamp.path = path;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        stamp.exists = true;
        stamp.written = data.ftLastWriteTime;
        stamp.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return stamp;
}

bool FileStamps::Same(const Stamp& a, const Stamp& b)
{
    return a.path == b.path && a.exists == b.exists && a.size == b.size &&
           ::CompareFileTime(&a.written, &b.written) == 0;
}

bool FileStamps::Changed() const
{
    for (const Stamp& stamp : m_stamps) {
        if (!Same(stamp, Take(stamp.path)))
            return true;
    }
    return false;
}

bool FileStamps::operator==(const FileStamps& other) const
{
    if (m_stamps.size() != other.m_stamps.size())
        return false;
    for (size_t i = 0; i < m_stamps.size(); ++i) {
        if (!Same(m_stamps[i], other.m_stamps[i]))
            return false;
    }
    return true;
}

int WatchingMessageLoop(const std::function<FileStamps()>& watched, const std::function<void()>& changed)
{
    FileStamps shown = watched();
    bool settling = false;
    FileStamps seen;
    for (;;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kLookIntervalMs, QS_ALLINPUT);
        MSG msg = {};
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
            if (!Facet::CPaintManagerUI::TranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (!settling) {
            settling = shown.Changed();
            if (settling)
                seen = watched();
            continue;
        }
        // Changed at the last look: shown again once the files hold still.
        const FileStamps now = watched();
        if (!(now == seen)) {
            seen = now;
            continue;
        }
        settling = false;
        changed();
        shown = watched();
    }
}

} // namespace preview
