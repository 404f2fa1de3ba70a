// The removal of the previous installation, run beside a download attempt on a
// thread of its own. The hand-off to the new installer waits for it (bounded),
// so the removal can never delete what the new installer installs.
#pragma once

#include <chrono>
#include <functional>
#include <future>

// How long the hand-off waits for the removal before it goes on regardless.
constexpr std::chrono::seconds kRemovalWaitLimit(30);

class RemovalTask {
public:
    // Starts `body` (RemovePreviousInstallation unless given) on a detached thread.
    // When no thread can be started the body runs here, before the constructor returns.
    explicit RemovalTask(std::function<void()> body = {});

    // True once the body has ended; waits at most `limit` for it.
    bool WaitFor(std::chrono::milliseconds limit) const;

private:
    std::shared_future<void> finished_;
};
