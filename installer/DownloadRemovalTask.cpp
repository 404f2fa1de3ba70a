#include "DownloadRemovalTask.h"

#include "Diagnostics.h"
#include "PreviousInstallation.h"

#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace {

void RunToEnd(const std::function<void()>& body, std::promise<void>& finished)
{
    try {
        body();
    } catch (...) {
        // The removal reports nothing; whatever stopped it, it has ended.
    }
    finished.set_value();
}

} // namespace

RemovalTask::RemovalTask(std::function<void()> body)
{
    if (!body)
        body = RemovePreviousInstallation;
    auto finished = std::make_shared<std::promise<void>>();
    finished_ = finished->get_future().share();
    try {
        std::thread([body, finished] { RunToEnd(body, *finished); }).detach();
    } catch (const std::system_error& error) {
        WriteDiagnosticLine(stdout, std::string("removal thread not started: ") + error.what());
        RunToEnd(body, *finished);
    }
}

bool RemovalTask::WaitFor(std::chrono::milliseconds limit) const
{
    return finished_.wait_for(limit) == std::future_status::ready;
}
