#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>

// The HTTP client of one worker: plain GETs (and form POSTs) that reuse one connection per
// server (keep-alive), optionally through an HTTP proxy with Basic
// authentication. Without a proxy server the client connects directly, also
// when the environment names a proxy.
//
// Every failure (no connection, unknown host, time-out, a status of 400 or
// more, a body over the size cap, an abort) raises HttpError with a message
// that can be shown to the user as it stands: libcurl's description, or the
// status line ("HTTP 404 Not Found"). One client is used by one thread at a
// time; only Abort() may be called from another thread.
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

    // An empty server means no proxy. A port of 0 leaves libcurl's default,
    // unless the server text carries its own ("host:8080").
    void SetProxyServer(const QString& server);
    void SetProxyPort(int port);
    // Credentials are sent only when the user name is not empty.
    void SetProxyUserName(const QString& userName);
    void SetProxyPassword(const QString& password);

    // `total` bounds a whole request, redirects included.
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds total);
    void SetMaxBodySize(qint64 bytes);

    // GETs the URL, following redirects, and returns the whole body of the
    // final answer.
    QByteArray Get(const QString& url);
    // POSTs the body with that Content-Type and returns the answer's body as
    // Get does. For queries too long for a URL that servers and proxies
    // accept.
    QByteArray Post(const QString& url, const QByteArray& body, const QByteArray& contentType);

    // Ends the transfer in progress at once, and every later one, with an
    // HttpError. Safe to call from any thread while the client lives; used
    // when the program shuts down.
    void Abort();
    bool IsAborted() const { return aborted_.load(); }

private:
    struct Transfer;
    void ApplyOptions(Transfer& transfer, const QByteArray& url, char* errorText);
    int Perform(); // a CURLcode
    // A GET without a body, a POST with one.
    QByteArray Send(const QString& url, const QByteArray* body, const QByteArray& contentType);

    void* curl_ = nullptr;  // CURL*, one easy handle for every request
    void* multi_ = nullptr; // CURLM*, owns the connections kept alive
    std::atomic<bool> aborted_{false};
    QString proxyServer_;
    int proxyPort_ = 0;
    QString proxyUserName_;
    QString proxyPassword_;
    std::chrono::milliseconds connectTimeout_ = kDefaultConnectTimeout;
    std::chrono::milliseconds totalTimeout_ = kDefaultTotalTimeout;
    qint64 maxBodySize_ = kDefaultMaxBodySize;
};
