#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>

// The HTTP client of one worker: plain GETs over one reused connection,
// optionally through an HTTP proxy with Basic authentication.
//
// Every failure (no connection, unknown host, time-out, a status of 400 or
// more, a body over the size cap, an abort) raises HttpError with a message
// that can be shown to the user as it stands. One client is used by one
// thread at a time; only Abort() may be called from another thread.
class THttpClient final
{
public:
    static constexpr std::chrono::milliseconds kDefaultConnectTimeout{20'000};
    static constexpr std::chrono::milliseconds kDefaultTotalTimeout{60'000};
    static constexpr qint64 kDefaultMaxBodySize = 32 * 1024 * 1024;
    static constexpr long kMaxRedirects = 5;

    THttpClient();
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    void SetProxyServer(const QString& server);
    void SetProxyPort(int port);
    void SetProxyUserName(const QString& userName);
    void SetProxyPassword(const QString& password);

    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds total);
    void SetMaxBodySize(qint64 bytes);

    // GETs the URL and returns the body of the final answer.
    QByteArray Get(const QString& url);

    // Ends the transfer in progress, and every later one, with an HttpError.
    // Safe to call from any thread; used when the program shuts down.
    void Abort();
    bool IsAborted() const { return aborted_.load(); }

private:
    struct Transfer;
    void ApplyOptions();

    void* curl_ = nullptr; // CURL*
    std::atomic<bool> aborted_{false};
    QString proxyServer_;
    int proxyPort_ = 0;
    QString proxyUserName_;
    QString proxyPassword_;
    std::chrono::milliseconds connectTimeout_ = kDefaultConnectTimeout;
    std::chrono::milliseconds totalTimeout_ = kDefaultTotalTimeout;
    qint64 maxBodySize_ = kDefaultMaxBodySize;
};
