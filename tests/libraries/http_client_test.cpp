#include "libraries/http_client.h"
#include "support/loopback_server.h"
#include "util/error.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <future>
#include <set>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// The message of the HttpError that `get` raises, or a failure.
template <typename Get>
QString ErrorOf(Get get)
{
    try {
        get();
    } catch (const HttpError& error) {
        return error.message();
    }
    ADD_FAILURE() << "no HttpError was raised";
    return QString();
}

class HttpClientTest : public ::testing::Test
{
protected:
    QString Url(const char* path) const { return fake_.baseUrl() + QLatin1String(path); }

    LoopbackServer fake_;
    THttpClient client_;
};

TEST_F(HttpClientTest, ErrorStatusesRaiseWithTheStatusLineAndTheClientGoesOn)
{
    fake_.server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("hello", "text/plain");
    });
    fake_.server().Get("/broken", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("it broke", "text/plain");
    });
    fake_.server().Get("/teapot", [](const httplib::Request&, httplib::Response& res) { res.status = 418; });
    fake_.Start();

    EXPECT_EQ(ErrorOf([&] { client_.Get(Url("/missing")); }), QStringLiteral("HTTP 404 Not Found"));
    EXPECT_EQ(ErrorOf([&] { client_.Get(Url("/broken")); }), QStringLiteral("HTTP 500 Internal Server Error"));
    EXPECT_TRUE(ErrorOf([&] { client_.Get(Url("/teapot")); }).startsWith(QStringLiteral("HTTP 418")));
    EXPECT_EQ(client_.Get(Url("/page")), QByteArray("hello"));
}

TEST_F(HttpClientTest, NoServerAndNoHostRaiseReadableErrors)
{
    fake_.Start();
    const QString deadUrl = Url("/page");
    const int deadPort = fake_.port();
    fake_.Stop(); // nobody listens on that port any more

    const QString refused = ErrorOf([&] { client_.Get(deadUrl); });
    EXPECT_TRUE(refused.contains(QString::number(deadPort))) << refused.toStdString();

    client_.SetTimeouts(2s, 3s);
    EXPECT_FALSE(ErrorOf([&] { client_.Get(QStringLiteral("http://quillmoor-test.invalid/")); }).isEmpty());
    EXPECT_FALSE(ErrorOf([&] { client_.Get(QStringLiteral("ftp://127.0.0.1/")); }).isEmpty());
}

TEST_F(HttpClientTest, AStalledServerRaisesWithinTheTimeout)
{
    fake_.server().Get("/silent", [this](const httplib::Request&, httplib::Response&) {
        fake_.StallUntilReleased();
    });
    // Headers and a first piece of the body, then nothing.
    fake_.server().Get("/half", [this](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/html", [this](size_t offset, httplib::DataSink& sink) {
            if (offset == 0)
                return sink.write("<html>", 6);
            fake_.StallUntilReleased();
            return false;
        });
    });
    fake_.Start();
    client_.SetTimeouts(1s, 300ms);

    for (const char* path : {"/silent", "/half"}) {
        const auto start = Clock::now();
        const QString message = ErrorOf([&] { client_.Get(Url(path)); });
        const auto took = Clock::now() - start;
        EXPECT_TRUE(message.contains(QStringLiteral("timed out"), Qt::CaseInsensitive)) << message.toStdString();
        EXPECT_GE(took, 250ms) << path;
        EXPECT_LT(took, 3s) << path;
    }
}

TEST_F(HttpClientTest, FollowsRedirectsButNotForever)
{
    fake_.server().Get("/old", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/new");
        res.set_content("moved", "text/plain");
    });
    fake_.server().Get("/new", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("the page", "text/plain");
    });
    fake_.server().Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
    fake_.server().Get("/gone", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/nowhere"); });
    fake_.Start();

    EXPECT_EQ(client_.Get(Url("/old")), QByteArray("the page"));
    EXPECT_TRUE(ErrorOf([&] { client_.Get(Url("/loop")); }).contains(QStringLiteral("redirect"), Qt::CaseInsensitive));
    EXPECT_EQ(ErrorOf([&] { client_.Get(Url("/gone")); }), QStringLiteral("HTTP 404 Not Found"));
}

TEST_F(HttpClientTest, ABodyOverTheCapRaisesWithOrWithoutItsLength)
{
    const std::string big(5000, 'x');
    fake_.server().Get("/sized", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(big, "text/plain");
    });
    fake_.server().Get("/streamed", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [&](size_t offset, httplib::DataSink& sink) {
            if (offset < big.size())
                return sink.write(big.data() + offset, 500);
            sink.done();
            return true;
        });
    });
    fake_.Start();

    client_.SetMaxBodySize(4999);
    for (const char* path : {"/sized", "/streamed"}) {
        const QString message = ErrorOf([&] { client_.Get(Url(path)); });
        EXPECT_TRUE(message.contains(QStringLiteral("larger than 4999 bytes"))) << message.toStdString();
    }
    client_.SetMaxBodySize(5000);
    EXPECT_EQ(client_.Get(Url("/sized")).size(), 5000);
    EXPECT_EQ(client_.Get(Url("/streamed")).size(), 5000);
}

TEST_F(HttpClientTest, KeepsTheConnectionAliveBetweenRequests)
{
    std::mutex mutex;
    std::vector<int> clientPorts;
    fake_.server().Get("/port", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        clientPorts.push_back(req.remote_port);
        res.set_content("ok", "text/plain");
    });
    fake_.Start();

    client_.Get(Url("/port"));
    client_.Get(Url("/port"));
    THttpClient other;
    other.Get(Url("/port"));

    ASSERT_EQ(clientPorts.size(), 3u);
    EXPECT_EQ(clientPorts[0], clientPorts[1]) << "the second GET opened a new connection";
    EXPECT_NE(clientPorts[0], clientPorts[2]) << "two clients cannot share a connection";
}

TEST_F(HttpClientTest, AZeroByteIsPartOfTheBodyAndTheAgentIsNamed)
{
    std::string userAgent;
    std::string acceptEncoding;
    fake_.server().Get("/nul", [&](const httplib::Request& req, httplib::Response& res) {
        userAgent = req.get_header_value("User-Agent");
        res.set_content(std::string("ab\0cd", 5), "application/octet-stream");
    });
    // The fake server compresses text for clients that accept it.
    const std::string text(20000, 'z');
    fake_.server().Get("/text", [&](const httplib::Request& req, httplib::Response& res) {
        acceptEncoding = req.get_header_value("Accept-Encoding");
        res.set_content(text, "text/html");
    });
    fake_.Start();

    EXPECT_EQ(client_.Get(Url("/nul")), QByteArray("ab\0cd", 5));
    EXPECT_EQ(userAgent.rfind("Quillmoor/", 0), 0u) << userAgent;
    EXPECT_EQ(client_.Get(Url("/text")), QByteArray::fromStdString(text));
    EXPECT_NE(acceptEncoding.find("gzip"), std::string::npos) << acceptEncoding;
}

TEST(HttpClientTls, ACertificateThatCannotBeVerifiedIsRefused)
{
    QTemporaryDir dir;
    const QString key = dir.filePath(QStringLiteral("key.pem"));
    const QString cert = dir.filePath(QStringLiteral("cert.pem"));
    const int rc = QProcess::execute(QStringLiteral("openssl"),
                                     {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                                      QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                                      QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                                      QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
    ASSERT_EQ(rc, 0) << "openssl could not make a self-signed certificate";

    httplib::SSLServer server(cert.toUtf8().constData(), key.toUtf8().constData());
    ASSERT_TRUE(server.is_valid());
    server.Get("/", [](const httplib::Request&, httplib::Response& res) { res.set_content("secret", "text/plain"); });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(1ms);

    THttpClient client;
    const QString message = ErrorOf([&] { client.Get(QStringLiteral("https://127.0.0.1:%1/").arg(port)); });
    EXPECT_TRUE(message.contains(QStringLiteral("certificate"), Qt::CaseInsensitive)) << message.toStdString();
    server.stop();
    serving.join();
}

TEST_F(HttpClientTest, AbortFromAnotherThreadEndsAStalledTransferAtOnce)
{
    std::promise<void> entered;
    fake_.server().Get("/silent", [&](const httplib::Request&, httplib::Response&) {
        entered.set_value();
        fake_.StallUntilReleased();
    });
    fake_.Start();

    auto result = std::async(std::launch::async, [&] { return ErrorOf([&] { client_.Get(Url("/silent")); }); });
    ASSERT_EQ(entered.get_future().wait_for(5s), std::future_status::ready);
    const auto abortedAt = Clock::now();
    client_.Abort();
    ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
    const auto took = Clock::now() - abortedAt;

    EXPECT_TRUE(result.get().contains(QStringLiteral("cancelled")));
    EXPECT_LT(took, 100ms);
    EXPECT_TRUE(client_.IsAborted());
    // Every later request ends the same way, without reaching the network.
    EXPECT_TRUE(ErrorOf([&] { client_.Get(Url("/silent")); }).contains(QStringLiteral("cancelled")));
}

} // namespace

TEST_F(HttpClientTest, PostsALongFormOnTheSameConnectionAndTheNextGetIsAGetAgain)
{
    std::atomic<int> posts{0};
    std::atomic<int> gets{0};
    // A reader of its own: the library refuses forms over 8 KB otherwise.
    fake_.server().Post("/form", [&](const httplib::Request& req, httplib::Response& res,
                                     const httplib::ContentReader& read) {
        ++posts;
        std::string body;
        read([&](const char* data, std::size_t length) {
            body.append(data, length);
            return true;
        });
        const bool waited = req.has_header("Expect");
        res.set_content(req.get_header_value("Content-Type") + "|" + std::to_string(body.size())
                            + (waited ? "|expect" : ""),
                        "text/plain");
    });
    fake_.server().Get("/form", [&](const httplib::Request& req, httplib::Response& res) {
        ++gets;
        res.set_content("get " + std::to_string(req.body.size()), "text/plain");
    });
    fake_.Start();

    // Far longer than the 8 KB that servers take in a request line.
    const QByteArray form = "isbn=" + QByteArray(20000, '1');
    EXPECT_EQ(client_.Post(Url("/form"), form, "application/x-www-form-urlencoded"),
              QByteArray("application/x-www-form-urlencoded|20005"));
    EXPECT_EQ(client_.Get(Url("/form")), QByteArray("get 0"));
    EXPECT_EQ(posts.load(), 1);
    EXPECT_EQ(gets.load(), 1);
    EXPECT_EQ(ErrorOf([&] { client_.Post(Url("/missing"), form, "text/plain"); }), QStringLiteral("HTTP 404 Not Found"));
}
