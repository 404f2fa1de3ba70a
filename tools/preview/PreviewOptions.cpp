#include "PreviewOptions.h"

#include <windows.h>

#include <cwchar>

namespace preview {

namespace {

// The scales a display can have, with some room either side.
const double kMinScale = 0.5;
const double kMaxScale = 4.0;

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

// Splits a path into its folder (with the separator) and file name.
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

bool ReadScale(const std::wstring& text, double& scale)
{
    wchar_t* end = nullptr;
    scale = wcstod(text.c_str(), &end);
    return !text.empty() && *end == L'\0' && scale >= kMinScale && scale <= kMaxScale;
}

// "name=page" with a non-empty name and a page number of 0 or more.
bool ReadSelection(const std::wstring& text, TabSelection& selection)
{
    const size_t equals = text.rfind(L'=');
    if (equals == std::wstring::npos || equals == 0 || equals + 1 >= text.size())
        return false;
    wchar_t* end = nullptr;
    const long page = wcstol(text.c_str() + equals + 1, &end, 10);
    if (*end != L'\0' || page < 0 || page > 0xFFFF)
        return false;
    selection.layoutName = text.substr(0, equals);
    selection.page = static_cast<int>(page);
    return true;
}

// The value after an option, or false with `error` set.
bool TakeValue(const std::vector<std::wstring>& arguments, size_t& i, std::wstring& value, const wchar_t* what,
               std::wstring& error)
{
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        error = arguments[i] + L" needs " + what;
        return false;
    }
    value = arguments[++i];
    return true;
}

bool ReadOption(const std::vector<std::wstring>& arguments, size_t& i, PreviewOptions& options, std::wstring& error)
{
    const std::wstring& option = arguments[i];
    std::wstring value;
    if (option == L"--check") {
        options.check = true;
    } else if (option == L"--watch") {
        options.watch = true;
    } else if (option == L"--png") {
        if (!TakeValue(arguments, i, value, L"the name of the PNG file to write", error))
            return false;
        options.pngPath = FullPath(value);
    } else if (option == L"--scale") {
        if (!TakeValue(arguments, i, value, L"a scale factor such as 1.5", error))
            return false;
        if (!ReadScale(value, options.scale)) {
            error = L"--scale takes a factor from 0.5 to 4, not " + value;
            return false;
        }
    } else if (option == L"--select") {
        if (!TakeValue(arguments, i, value, L"a tab layout's name and a page, such as tabs=2", error))
            return false;
        TabSelection selection;
        if (!ReadSelection(value, selection)) {
            error = L"--select takes name=page with a page number from 0, not " + value;
            return false;
        }
        options.selections.push_back(selection);
    } else {
        error = L"unknown option " + option;
        return false;
    }
    return true;
}

bool CombinationIsValid(const PreviewOptions& options, std::wstring& error)
{
    if (options.check && (!options.pngPath.empty() || options.watch)) {
        error = L"--check goes with neither --png nor --watch";
        return false;
    }
    if (options.watch && !options.pngPath.empty()) {
        error = L"--watch is for the window, not for --png";
        return false;
    }
    return true;
}

} // namespace

bool ParseOptions(const std::vector<std::wstring>& arguments, PreviewOptions& options, std::wstring& error)
{
    std::vector<std::wstring> positional;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i].size() > 1 && arguments[i][0] == L'-' && arguments[i][1] == L'-') {
            if (!ReadOption(arguments, i, options, error))
                return false;
        } else {
            positional.push_back(arguments[i]);
        }
    }
    if (!CombinationIsValid(options, error))
        return false;
    std::wstring shownName;
    if (positional.size() == 1) {
        SplitPath(FullPath(positional[0]), options.resourceFolder, options.skinName);
        SplitPath(positional[0], options.shownFolder, shownName);
    } else if (positional.size() == 2) {
        SplitPath(FullPath(positional[0]), options.resourceFolder, options.zipName);
        SplitPath(positional[0], options.shownFolder, shownName);
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
