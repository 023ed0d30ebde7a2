#include "support/tiny_proxy.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

constexpr int kStartAttempts = 5;

// A loopback port that nobody listens on at the moment of asking.
int FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool AcceptsConnections(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<quint16>(port));
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

QString Program() { return QStandardPaths::findExecutable(QStringLiteral("tinyproxy")); }

} // namespace

TinyProxy::TinyProxy() = default;

TinyProxy::~TinyProxy() { Stop(); }

bool TinyProxy::IsInstalled() { return !Program().isEmpty(); }

void TinyProxy::Start(const QString& userName, const QString& password)
{
    if (!IsInstalled())
        throw std::runtime_error("tinyproxy is not installed");
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder for tinyproxy");
    // Another program may take the free port between asking and binding.
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (TryStart(FreeLoopbackPort(), userName, password))
            return;
    }
    throw std::runtime_error("tinyproxy did not start: " + Log().toStdString());
}

bool TinyProxy::TryStart(int port, const QString& userName, const QString& password)
{
    if (port <= 0)
        return false;
    QString config = QStringLiteral("Port %1\n"
                                    "Listen 127.0.0.1\n"
                                    "Timeout 30\n"
                                    "MaxClients 20\n"
                                    "Allow 127.0.0.1\n"
                                    "LogLevel Info\n"
                                    "LogFile \"%2\"\n")
                         .arg(port)
                         .arg(dir_.filePath(QStringLiteral("tinyproxy.log")));
    if (!userName.isEmpty())
        config += QStringLiteral("BasicAuth %1 %2\n").arg(userName, password);
    const QString configPath = dir_.filePath(QStringLiteral("tinyproxy.conf"));
    QFile file(configPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(config.toUtf8()) < 0)
        return false;
    file.close();

    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start(Program(), {QStringLiteral("-d"), QStringLiteral("-c"), configPath});
    if (!process_.waitForStarted(5000))
        return false;
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (process_.state() != QProcess::Running)
            return false; // most likely the port was taken after all
        if (AcceptsConnections(port)) {
            port_ = port;
            return true;
        }
        QThread::msleep(10);
    }
    Stop();
    return false;
}

void TinyProxy::Stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QString TinyProxy::Log() const
{
    QFile file(dir_.filePath(QStringLiteral("tinyproxy.log")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool TinyProxy::LoggedRequestFor(const QString& url) const
{
    const QString line = QStringLiteral("GET %1 HTTP/").arg(url);
    const QDeadlineTimer deadline(2000);
    while (!Log().contains(line)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}
