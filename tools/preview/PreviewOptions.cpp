#include "PreviewOptions.h"

#include <windows.h>

namespace preview {

namespace {

// The absolute form of `path`; the path itself when the platform cannot say.
std::wstring FullPath(const std::wstring& path)
{
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return path;
    full.resize(length);
    return full;
}

// Splits an absolute path into its folder (with the separator) and file name.
void SplitPath(const std::wstring& path, std::wstring& folder, std::wstring& name)
{
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        folder.clear();
        name = path;
        return;
    }
    folder = path.substr(0, separator + 1);
    name = path.substr(separator + 1);
}

} // namespace

bool ParseOptions(const std::vector<std::wstring>& arguments, PreviewOptions& options, std::wstring& error)
{
    std::vector<std::wstring> positional;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == L"--png") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                error = L"--png needs the name of the PNG file to write";
                return false;
            }
            options.pngPath = FullPath(arguments[++i]);
        } else if (arguments[i].size() > 1 && arguments[i][0] == L'-' && arguments[i][1] == L'-') {
            error = L"unknown option " + arguments[i];
            return false;
        } else {
            positional.push_back(arguments[i]);
        }
    }
    if (positional.size() == 1) {
        SplitPath(FullPath(positional[0]), options.resourceFolder, options.skinName);
    } else if (positional.size() == 2) {
        SplitPath(FullPath(positional[0]), options.resourceFolder, options.zipName);
        options.skinName = positional[1];
    } else {
        error = L"expected a skin file, or an archive and the skin inside it";
        return false;
    }
    if (options.skinName.empty() || (positional.size() == 2 && options.zipName.empty())) {
        error = L"the skin name is empty";
        return false;
    }
    return true;
}

} // namespace preview
