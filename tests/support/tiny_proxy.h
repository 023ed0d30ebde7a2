#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real tinyproxy on 127.0.0.1, on a free port, for as long as the object
// lives. With a user name it demands Basic authentication from its clients.
class TinyProxy final
{
public:
    TinyProxy();
    ~TinyProxy();
    TinyProxy(const TinyProxy&) = delete;
    TinyProxy& operator=(const TinyProxy&) = delete;

    // Whether the tinyproxy program can be found on PATH.
    static bool IsInstalled();

    // Starts the proxy and returns once it accepts connections. An empty
    // user name lets every loopback client through. Throws std::runtime_error
    // when the proxy cannot be started.
    void Start(const QString& userName = QString(), const QString& password = QString());
    void Stop();

    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return port_; }

    // What the proxy has logged so far; each request it takes shows as
    // "Request (file descriptor N): GET <url> HTTP/1.1".
    QString Log() const;
    // Whether the proxy logged a request for the URL, waiting a little for
    // the log to be written.
    bool LoggedRequestFor(const QString& url) const;

private:
    bool TryStart(int port, const QString& userName, const QString& password);

    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};
