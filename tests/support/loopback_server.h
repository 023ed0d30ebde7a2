#pragma once

#include <httplib.h>

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A cpp-httplib server on 127.0.0.1 with a port chosen by the system, served
// on its own thread from Start() until the object dies. Tests register their
// handlers on server() before Start().
class LoopbackServer
{
public:
    LoopbackServer();
    virtual ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& server() { return server_; }

    // Binds, starts serving and returns once requests can be made.
    void Start();
    void Stop();

    int port() const { return port_; }
    // "http://127.0.0.1:<port>"
    QString baseUrl() const;
    // "127.0.0.1:<port>"
    QString hostAndPort() const;

    // TCP connections the server has accepted so far.
    int acceptedConnections() const { return accepted_.load(); }

    // For handlers that must hang until the test ends: blocks until Stop()
    // (or ReleaseStalled()) and then returns.
    void StallUntilReleased();
    void ReleaseStalled();

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<int> accepted_{0};
    std::mutex stallMutex_;
    std::condition_variable stallReleased_;
    bool released_ = false;
};
