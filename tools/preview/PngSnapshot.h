// Renders a window's control tree offscreen and writes it as a PNG file.
#pragma once

#include <windows.h>

#include <string>

namespace Facet {
class CPaintManagerUI;
}

namespace preview {

// Lays the tree of `manager` out over the client area of its window, paints it
// offscreen and writes the pixels to `path` as RGBA PNG. Pixels outside the
// window's region (round corners) are transparent, all others opaque. False
// with `error` set on failure.
bool WriteWindowPng(Facet::CPaintManagerUI& manager, const std::wstring& path, std::wstring& error);

} // namespace preview
