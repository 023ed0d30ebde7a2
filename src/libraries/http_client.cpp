#include "libraries/http_client.h"

#include "util/error.h"
#include "version_table.h"

#include <curl/curl.h>

#include <mutex>

namespace {

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURL* Handle(void* curl) { return static_cast<CURL*>(curl); }

const char* UserAgent()
{
    return "Quillmoor/" QUILLMOOR_VERSION_STRING " (library holdings search)";
}

} // namespace

// What one GET gathers while libcurl runs it.
struct THttpClient::Transfer
{
    THttpClient* client = nullptr;
    QByteArray body;
    QByteArray statusLine; // of the last answer, when following redirects
    bool overCap = false;

    static size_t OnBody(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Transfer*>(user);
        const size_t bytes = size * count;
        if (self->body.size() + static_cast<qint64>(bytes) > self->client->maxBodySize_) {
            self->overCap = true;
            return 0; // makes libcurl stop with a write error
        }
        self->body.append(data, static_cast<qsizetype>(bytes));
        return bytes;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Transfer*>(user);
        const size_t bytes = size * count;
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(bytes)).trimmed();
        if (line.startsWith("HTTP/")) {
            self->statusLine = line;
            self->body.clear(); // a redirect's own body is not the page
        }
        return bytes;
    }

    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<Transfer*>(user)->client->aborted_.load() ? 1 : 0;
    }
};

THttpClient::THttpClient()
{
    InitCurlOnce();
    curl_ = curl_easy_init();
    if (curl_ == nullptr)
        throw HttpError(QStringLiteral("The HTTP client could not be created."));
}

THttpClient::~THttpClient()
{
    curl_easy_cleanup(Handle(curl_));
}

void THttpClient::SetProxyServer(const QString& server) { proxyServer_ = server; }
void THttpClient::SetProxyPort(int port) { proxyPort_ = port; }
void THttpClient::SetProxyUserName(const QString& userName) { proxyUserName_ = userName; }
void THttpClient::SetProxyPassword(const QString& password) { proxyPassword_ = password; }

void THttpClient::SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds total)
{
    connectTimeout_ = connect;
    totalTimeout_ = total;
}

void THttpClient::SetMaxBodySize(qint64 bytes) { maxBodySize_ = bytes; }

void THttpClient::Abort() { aborted_.store(true); }

void THttpClient::ApplyOptions()
{
    CURL* curl = Handle(curl_);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout_.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeout_.count()));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, UserAgent());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");

    // An empty proxy also keeps libcurl from taking one from the environment:
    // without proxy settings the client connects directly.
    const QByteArray server = proxyServer_.toUtf8();
    curl_easy_setopt(curl, CURLOPT_PROXY, server.constData());
    if (!proxyServer_.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_PROXYPORT, static_cast<long>(proxyPort_));
        curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
        const QByteArray user = proxyUserName_.toUtf8();
        const QByteArray password = proxyPassword_.toUtf8();
        curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, password.constData());
    }
}

QByteArray THttpClient::Get(const QString& url)
{
    if (aborted_.load())
        throw HttpError(QStringLiteral("The request was cancelled: %1").arg(url));

    CURL* curl = Handle(curl_);
    ApplyOptions();

    Transfer transfer;
    transfer.client = this;
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray urlBytes = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode code = curl_easy_perform(curl);
    // The buffers above die with this call; libcurl must not keep them.
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);

    if (code != CURLE_OK) {
        if (transfer.overCap)
            throw HttpError(QStringLiteral("The answer from %1 is larger than %2 bytes.")
                                .arg(url)
                                .arg(maxBodySize_));
        if (code == CURLE_ABORTED_BY_CALLBACK)
            throw HttpError(QStringLiteral("The request was cancelled: %1").arg(url));
        const QString detail = errorText[0] != '\0' ? QString::fromUtf8(errorText)
                                                    : QString::fromUtf8(curl_easy_strerror(code));
        throw HttpError(detail);
    }

    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400) {
        // "HTTP/1.1 404 Not Found" becomes "HTTP 404 Not Found".
        const qsizetype space = transfer.statusLine.indexOf(' ');
        const QString rest = space >= 0 ? QString::fromLatin1(transfer.statusLine.mid(space + 1))
                                        : QString::number(status);
        throw HttpError(QStringLiteral("HTTP %1").arg(rest));
    }
    return transfer.body;
}
