#include "cli/interrupt_watcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

void OnInterrupt(int)
{
    // Only async-signal-safe calls here: wake the main thread, step aside.
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

TInterruptWatcher::TInterruptWatcher(QObject* parent) : QObject(parent)
{
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte;
        while (read(g_pipe[0], &byte, 1) > 0) {
        }
        Q_EMIT Interrupted();
    });
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

TInterruptWatcher::~TInterruptWatcher()
{
    std::signal(SIGINT, SIG_DFL);
    delete notifier_;
    for (int& fd : g_pipe) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}
