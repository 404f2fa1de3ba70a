// The command line of FacetPreview:
//   FacetPreview [--png out.png] skin.xml
//   FacetPreview [--png out.png] archive.zip skin.xml
#pragma once

#include <string>
#include <vector>

namespace preview {

struct PreviewOptions
{
    // Where to write the PNG; empty to show a window instead.
    std::wstring pngPath;
    // The folder the skin (or its archive) is in, with a trailing "\".
    std::wstring resourceFolder;
    // The archive's file name inside resourceFolder; empty for a skin file.
    std::wstring zipName;
    // The skin's file name inside the folder or its entry name in the archive.
    std::wstring skinName;
};

// Reads the arguments (without the program name). False with `error` set when
// they do not form a command.
bool ParseOptions(const std::vector<std::wstring>& arguments, PreviewOptions& options, std::wstring& error);

} // namespace preview
