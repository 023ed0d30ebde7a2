#include "support/loopback_server.h"

#include <chrono>
#include <stdexcept>

namespace {

// The server hands every accepted connection to its task queue as one task:
// counting the tasks counts the connections.
class CountingTaskQueue final : public httplib::TaskQueue
{
public:
    explicit CountingTaskQueue(std::atomic<int>& accepted) : accepted_(accepted) {}
    void enqueue(std::function<void()> task) override
    {
        ++accepted_;
        pool_.enqueue(std::move(task));
    }
    void shutdown() override { pool_.shutdown(); }

private:
    std::atomic<int>& accepted_;
    httplib::ThreadPool pool_{CPPHTTPLIB_THREAD_POOL_COUNT};
};

} // namespace

LoopbackServer::LoopbackServer()
{
    server_.new_task_queue = [this] { return new CountingTaskQueue(accepted_); };
}

LoopbackServer::~LoopbackServer() { Stop(); }

void LoopbackServer::Start()
{
    // Without it every request on a reused connection waits out the delayed
    // acknowledgement, about 40 ms.
    server_.set_tcp_nodelay(true);
    // Like a real web server, keep a connection for many requests (the
    // library's default closes it after five).
    server_.set_keep_alive_max_count(1000);
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // listen_after_bind() marks the server running before it first accepts;
    // the bound socket already queues connections made before that.
    while (!server_.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void LoopbackServer::Stop()
{
    ReleaseStalled();
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

QString LoopbackServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

QString LoopbackServer::hostAndPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

void LoopbackServer::StallUntilReleased()
{
    std::unique_lock lock(stallMutex_);
    stallReleased_.wait(lock, [this] { return released_; });
}

void LoopbackServer::ReleaseStalled()
{
    {
        std::lock_guard lock(stallMutex_);
        released_ = true;
    }
    stallReleased_.notify_all();
}
