#include "libraries/http_client.h"

#include "util/error.h"
#include "version_table.h"

#include <curl/curl.h>

#include <mutex>
#include <new>

namespace {

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURL* Easy(void* curl) { return static_cast<CURL*>(curl); }
CURLM* Multi(void* multi) { return static_cast<CURLM*>(multi); }

const char* UserAgent()
{
    return "Quillmoor/" QUILLMOOR_VERSION_STRING " (library holdings search)";
}

// For status lines without a reason phrase (HTTP/2 sends none).
QString ReasonPhrase(long status)
{
    switch (status) {
    case 400: return QStringLiteral("Bad Request");
    case 401: return QStringLiteral("Unauthorized");
    case 403: return QStringLiteral("Forbidden");
    case 404: return QStringLiteral("Not Found");
    case 405: return QStringLiteral("Method Not Allowed");
    case 407: return QStringLiteral("Proxy Authentication Required");
    case 408: return QStringLiteral("Request Timeout");
    case 410: return QStringLiteral("Gone");
    case 429: return QStringLiteral("Too Many Requests");
    case 500: return QStringLiteral("Internal Server Error");
    case 501: return QStringLiteral("Not Implemented");
    case 502: return QStringLiteral("Bad Gateway");
    case 503: return QStringLiteral("Service Unavailable");
    case 504: return QStringLiteral("Gateway Timeout");
    default: return QString();
    }
}

// "HTTP/1.1 404 Not Found" becomes "HTTP 404 Not Found".
QString StatusMessage(long status, const QByteArray& statusLine)
{
    const qsizetype afterVersion = statusLine.indexOf(' ');
    const qsizetype afterCode = afterVersion < 0 ? -1 : statusLine.indexOf(' ', afterVersion + 1);
    QString reason = afterCode < 0 ? QString() : QString::fromLatin1(statusLine.mid(afterCode + 1)).trimmed();
    if (reason.isEmpty())
        reason = ReasonPhrase(status);
    return reason.isEmpty() ? QStringLiteral("HTTP %1").arg(status)
                            : QStringLiteral("HTTP %1 %2").arg(status).arg(reason);
}

QString CancelledMessage(const QString& url)
{
    return QStringLiteral("The request was cancelled: %1").arg(url);
}

} // namespace

// What one GET gathers while libcurl runs it.
struct THttpClient::Transfer
{
    qint64 maxBodySize = 0;
    QByteArray body;
    QByteArray statusLine; // of the last answer, when following redirects
    bool overCap = false;

    // Called on libcurl's stack: must not throw.
    static size_t OnBody(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Transfer*>(user);
        const size_t bytes = size * count;
        if (self->body.size() + static_cast<qint64>(bytes) > self->maxBodySize) {
            self->overCap = true;
            return CURL_WRITEFUNC_ERROR;
        }
        try {
            self->body.append(data, static_cast<qsizetype>(bytes));
        } catch (const std::bad_alloc&) {
            self->overCap = true;
            return CURL_WRITEFUNC_ERROR;
        }
        return bytes;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Transfer*>(user);
        const size_t bytes = size * count;
        const QByteArrayView line = QByteArrayView(data, static_cast<qsizetype>(bytes)).trimmed();
        if (line.startsWith("HTTP/")) {
            self->statusLine = line.toByteArray();
            self->body.clear(); // a redirect's or a proxy's own answer is not the page
        }
        return bytes;
    }
};

THttpClient::THttpClient()
{
    InitCurlOnce();
    curl_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (curl_ == nullptr || multi_ == nullptr) {
        curl_easy_cleanup(Easy(curl_));
        curl_multi_cleanup(Multi(multi_));
        throw HttpError(QStringLiteral("The HTTP client could not be created."));
    }
}

THttpClient::~THttpClient()
{
    // The easy handle is never left inside the multi handle between requests.
    curl_easy_cleanup(Easy(curl_));
    curl_multi_cleanup(Multi(multi_));
}

void THttpClient::SetProxyServer(const QString& server) { proxyServer_ = server.trimmed(); }
void THttpClient::SetProxyPort(int port) { proxyPort_ = port; }
void THttpClient::SetProxyUserName(const QString& userName) { proxyUserName_ = userName; }
void THttpClient::SetProxyPassword(const QString& password) { proxyPassword_ = password; }

void THttpClient::SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds total)
{
    connectTimeout_ = connect;
    totalTimeout_ = total;
}

void THttpClient::SetMaxBodySize(qint64 bytes) { maxBodySize_ = bytes; }

void THttpClient::Abort()
{
    aborted_.store(true);
    curl_multi_wakeup(Multi(multi_)); // the one multi call allowed from another thread
}

void THttpClient::ApplyOptions(Transfer& transfer, const QByteArray& url, char* errorText)
{
    CURL* curl = Easy(curl_);
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout_.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeout_.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBodySize_));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, UserAgent());
    // gzip is what web servers offer for text; asking for brotli as well makes
    // servers that have it spend far more time compressing than it saves.
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");

    // An empty proxy keeps libcurl from taking one from the environment, and
    // an empty exception list keeps "no_proxy" from bypassing the user's.
    const QByteArray server = proxyServer_.toUtf8();
    curl_easy_setopt(curl, CURLOPT_PROXY, server.constData());
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
    curl_easy_setopt(curl, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    curl_easy_setopt(curl, CURLOPT_PROXYPORT, static_cast<long>(proxyServer_.isEmpty() ? 0 : proxyPort_));
    const bool credentials = !proxyServer_.isEmpty() && !proxyUserName_.isEmpty();
    const QByteArray user = proxyUserName_.toUtf8();
    const QByteArray password = proxyPassword_.toUtf8();
    curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, credentials ? user.constData() : nullptr);
    curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, credentials ? password.constData() : nullptr);

    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
}

// Runs the transfer on the multi handle, so that Abort() can wake it at once.
int THttpClient::Perform()
{
    CURL* curl = Easy(curl_);
    CURLM* multi = Multi(multi_);
    if (curl_multi_add_handle(multi, curl) != CURLM_OK)
        return CURLE_FAILED_INIT;

    CURLcode result = CURLE_OK;
    bool done = false;
    while (!done) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == curl) {
                result = message->data.result;
                done = true;
            }
        }
        if (done)
            break;
        if (aborted_.load()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (running == 0) { // finished without telling how: should not happen
            result = CURLE_RECV_ERROR;
            break;
        }
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    curl_multi_remove_handle(multi, curl);
    return result;
}

QByteArray THttpClient::Get(const QString& url) { return Send(url, nullptr, QByteArray()); }

QByteArray THttpClient::Post(const QString& url, const QByteArray& body, const QByteArray& contentType)
{
    return Send(url, &body, contentType);
}

QByteArray THttpClient::Send(const QString& url, const QByteArray* body, const QByteArray& contentType)
{
    if (aborted_.load())
        throw HttpError(CancelledMessage(url));

    Transfer transfer;
    transfer.maxBodySize = maxBodySize_;
    char errorText[CURL_ERROR_SIZE] = {};
    ApplyOptions(transfer, url.toUtf8(), errorText);
    curl_slist* headers = nullptr;
    if (body != nullptr) {
        const QByteArray type = "Content-Type: " + contentType;
        headers = curl_slist_append(headers, type.constData());
        // Without it libcurl first waits for a "100 Continue" that many
        // servers never send.
        headers = curl_slist_append(headers, "Expect:");
        curl_easy_setopt(Easy(curl_), CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(Easy(curl_), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
        curl_easy_setopt(Easy(curl_), CURLOPT_POSTFIELDS, body->constData());
    }
    const auto code = static_cast<CURLcode>(Perform());
    // The buffers above die with this call; libcurl must not keep them.
    curl_easy_setopt(Easy(curl_), CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(Easy(curl_), CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(Easy(curl_), CURLOPT_HEADERDATA, nullptr);
    if (body != nullptr) {
        curl_easy_setopt(Easy(curl_), CURLOPT_HTTPHEADER, nullptr);
        curl_easy_setopt(Easy(curl_), CURLOPT_POSTFIELDS, nullptr);
        curl_slist_free_all(headers);
    }

    if (code == CURLE_ABORTED_BY_CALLBACK || aborted_.load())
        throw HttpError(CancelledMessage(url));
    if (transfer.overCap || code == CURLE_FILESIZE_EXCEEDED)
        throw HttpError(QStringLiteral("The answer from %1 is larger than %2 bytes.").arg(url).arg(maxBodySize_));
    if (code != CURLE_OK) {
        const QString detail = errorText[0] != '\0' ? QString::fromUtf8(errorText).trimmed()
                                                    : QString::fromUtf8(curl_easy_strerror(code));
        throw HttpError(detail);
    }

    long status = 0;
    curl_easy_getinfo(Easy(curl_), CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400)
        throw HttpError(StatusMessage(status, transfer.statusLine));
    return transfer.body;
}
