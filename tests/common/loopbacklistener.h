#pragma once

#include <atomic>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// A TCP listener on 127.0.0.1 that counts the connections made to it, for the tests that prove
// nobody called out: it accepts and closes each, until it goes.
class LoopbackListener
{
public:
    LoopbackListener()
    {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(listener_, 16) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
        accepter_ = std::thread([this] {
            while (!stopping_) {
                pollfd waiting{listener_, POLLIN, 0};
                if (poll(&waiting, 1, 50) > 0) {
                    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
                    if (connection >= 0) {
                        ++connections_;
                        close(connection);
                    }
                }
            }
        });
    }
    ~LoopbackListener()
    {
        stopping_ = true;
        if (accepter_.joinable())
            accepter_.join();
        if (listener_ >= 0)
            close(listener_);
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    // 0 when it could not listen.
    int Port() const { return port_; }
    int Connections() const { return connections_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> connections_{0};
    std::atomic<bool> stopping_{false};
    std::thread accepter_;
};
