// A proxy on loopback that answers nothing: it takes the updater's connections
// and holds them open until the test drops them. A download attempt through it
// stays on the download page for as long as a test needs, and fails (the retry
// page) when the test lets it: from then on it resets every new connection at
// once, so that the updater's automatic retries fail too and the retry page
// shows within seconds. Its port is chosen by the system, so it meets no
// other test's.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace updaterdriver {

class StallingProxy
{
public:
    StallingProxy()
    {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            return;
        started_ = true;
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        int length = sizeof(address);
        if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, 8) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { AcceptUntilStopped(); });
    }
    ~StallingProxy()
    {
        stop_ = true;
        if (acceptor_.joinable())
            acceptor_.join();
        if (listener_ != INVALID_SOCKET)
            closesocket(listener_);
        DropAll();
        if (started_)
            WSACleanup();
    }
    StallingProxy(const StallingProxy&) = delete;
    StallingProxy& operator=(const StallingProxy&) = delete;

    // 0 when the proxy could not listen.
    int Port() const { return port_; }
    int Connections() const { return accepted_; }

    // Waits (bounded) until `count` connections have arrived.
    bool WaitForConnections(int count, DWORD limitMs) const
    {
        for (DWORD waited = 0; waited < limitMs; waited += 50) {
            if (accepted_ >= count)
                return true;
            Sleep(50);
        }
        return accepted_ >= count;
    }

    // Resets every connection held, and every later one at once: the attempts
    // waiting on them fail, and so do their retries.
    void DropAll()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dropping_ = true;
        ResetHeld();
    }

private:
    // With the lock held.
    void ResetHeld()
    {
        for (SOCKET held : held_) {
            const linger abort = {1, 0};
            setsockopt(held, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof(abort));
            closesocket(held);
        }
        held_.clear();
    }

    void AcceptUntilStopped()
    {
        while (!stop_) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(listener_, &readable);
            timeval wait = {0, 50000};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
                continue;
            const SOCKET held = accept(listener_, nullptr, nullptr);
            if (held == INVALID_SOCKET)
                continue;
            std::lock_guard<std::mutex> lock(mutex_);
            held_.push_back(held);
            ++accepted_;
            if (dropping_)
                ResetHeld();
        }
    }

    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<int> accepted_{0};
    std::atomic<bool> stop_{false};
    bool dropping_ = false;
    std::mutex mutex_;
    std::vector<SOCKET> held_;
    std::thread acceptor_;
};

} // namespace updaterdriver
