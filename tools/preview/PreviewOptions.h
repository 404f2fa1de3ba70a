// The command line of FacetPreview:
//   FacetPreview [options] skin.xml
//   FacetPreview [options] archive.zip skin.xml
// with the options --check, --png out.png, --scale factor, --select name=page
// (repeatable) and --watch.
#pragma once

#include <string>
#include <vector>

namespace preview {

// A page of a tab layout to show: the layout's "name" and the page's index.
struct TabSelection
{
    std::wstring layoutName;
    int page = 0;
};

struct PreviewOptions
{
    // Only check the skin and report its mistakes.
    bool check = false;
    // Where to write the PNG; empty to show a window instead.
    std::wstring pngPath;
    // The display scale to render at (1.5 = 144 dots per inch); 0 for the
    // display's own.
    double scale = 0.0;
    // Pages to select before rendering, in order.
    std::vector<TabSelection> selections;
    // Show the skin again whenever one of its files changes (window mode).
    bool watch = false;
    // The folder the skin (or its archive) is in, with a trailing "\".
    std::wstring resourceFolder;
    // The archive's file name inside resourceFolder; empty for a skin file.
    std::wstring zipName;
    // The skin's file name inside the folder or its entry name in the archive.
    std::wstring skinName;
    // The folder as written on the command line (empty or with its trailing
    // separator), so that reports name files as the user wrote them.
    std::wstring shownFolder;
};

// Reads the arguments (without the program name). False with `error` set when
// they do not form a command.
bool ParseOptions(const std::vector<std::wstring>& arguments, PreviewOptions& options, std::wstring& error);

} // namespace preview
