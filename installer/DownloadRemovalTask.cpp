#include "DownloadRemovalTask.h"

#include "Diagnostics.h"

#include <system_error>
#include <thread>
#include <utility>

namespace {

void RunToEnd(HWND window, UINT doneMessage, const std::function<void()>& body)
{
    try {
        body();
    } catch (...) {
        // The removal reports nothing; whatever stopped it, it has ended.
    }
    // A window that is gone has nothing left to hand over.
    PostMessageW(window, doneMessage, 0, 0);
}

} // namespace

void StartRemoval(HWND window, UINT doneMessage, std::function<void()> body)
{
    try {
        std::thread([window, doneMessage, body] { RunToEnd(window, doneMessage, body); }).detach();
    } catch (const std::system_error& error) {
        WriteDiagnosticLine(stdout, std::string("removal thread not started: ") + error.what());
        RunToEnd(window, doneMessage, body);
    }
}
