// The removal of the previous installation during the hand-off: once the new
// installer has fully arrived, before it is started. It runs on a thread of its
// own, so the window stays responsive (and its close button works) however long
// the removal takes, and tells the window when it has ended.
#pragma once

#include <windows.h>

#include <functional>

// Starts `body` on a detached thread and posts `doneMessage` to `window` once it
// has ended, whatever it threw. When no thread can be started the body runs here,
// and the message is posted before the call returns.
void StartRemoval(HWND window, UINT doneMessage, std::function<void()> body);
