// Watching the files of a skin: their last-write times and sizes, and a
// message loop that looks at them a few times a second.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace preview {

// The state of a set of files at one moment.
class FileStamps
{
public:
    FileStamps() = default;
    explicit FileStamps(const std::vector<std::wstring>& paths);

    // Whether the files now differ from these stamps (written, resized,
    // created or removed).
    bool Changed() const;
    bool operator==(const FileStamps& other) const;

private:
    struct Stamp
    {
        std::wstring path;
        bool exists = false;
        FILETIME written = {};
        ULONGLONG size = 0;
    };
    static Stamp Take(const std::wstring& path);
    static bool Same(const Stamp& a, const Stamp& b);

    std::vector<Stamp> m_stamps;
};

// Runs the message loop of the thread until WM_QUIT (whose code it answers).
// `watched` gives the files to look at; when they change and then stay
// unchanged for one more look (so that a file is not read half written),
// `changed` runs and the files are taken from `watched` again.
int WatchingMessageLoop(const std::function<FileStamps()>& watched, const std::function<void()>& changed);

} // namespace preview
