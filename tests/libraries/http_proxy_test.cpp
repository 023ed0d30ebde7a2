#include "libraries/http_client.h"
#include "support/loopback_server.h"
#include "support/tiny_proxy.h"
#include "util/error.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <mutex>
#include <optional>
#include <string>

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv final
{
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

class HttpProxyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TinyProxy::IsInstalled()) << "tinyproxy is needed for the proxy tests";
        target_.server().Get("/page", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            ++requests_;
            via_ = req.get_header_value("Via");
            res.set_content("the page", "text/html");
        });
        target_.Start();
        proxy_.Start(QStringLiteral("reader"), QStringLiteral("pa55word"));
    }

    void UseProxy(THttpClient& client, const QString& password)
    {
        client.SetProxyServer(proxy_.host());
        client.SetProxyPort(proxy_.port());
        client.SetProxyUserName(QStringLiteral("reader"));
        client.SetProxyPassword(password);
    }

    QString PageUrl() const { return target_.baseUrl() + QStringLiteral("/page"); }
    int Requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::string Via()
    {
        std::lock_guard lock(mutex_);
        return via_;
    }

    LoopbackServer target_;
    TinyProxy proxy_;
    std::mutex mutex_;
    int requests_ = 0;
    std::string via_;
};

TEST_F(HttpProxyTest, TheRightPasswordTakesThePageThroughTheProxy)
{
    // A loopback target must not slip past the user's proxy because of
    // the environment's exception list.
    ScopedEnv noProxy("no_proxy", "127.0.0.1,localhost");
    THttpClient client;
    UseProxy(client, QStringLiteral("pa55word"));

    EXPECT_EQ(client.Get(PageUrl()), QByteArray("the page"));
    EXPECT_NE(Via().find("tinyproxy"), std::string::npos) << "the target saw no proxy: " << Via();
    EXPECT_TRUE(proxy_.LoggedRequestFor(PageUrl())) << proxy_.Log().toStdString();
}

TEST_F(HttpProxyTest, AWrongPasswordRaises)
{
    THttpClient client;
    UseProxy(client, QStringLiteral("wrong"));

    try {
        client.Get(PageUrl());
        FAIL() << "the proxy let a wrong password through";
    } catch (const HttpError& error) {
        // tinyproxy answers a missing password with 407, a wrong one with 401.
        const std::string message = error.message().toStdString();
        EXPECT_TRUE(message == "HTTP 407 Proxy Authentication Required" || message == "HTTP 401 Unauthorized")
            << message;
    }
    EXPECT_EQ(Requests(), 0);
}

TEST_F(HttpProxyTest, WithoutProxySettingsTheClientGoesDirect)
{
    // Not even a proxy named by the environment is used.
    const QByteArray proxyUrl = QStringLiteral("http://reader:pa55word@%1:%2").arg(proxy_.host()).arg(proxy_.port()).toUtf8();
    ScopedEnv httpProxy("http_proxy", proxyUrl);
    ScopedEnv noProxy("no_proxy", "");
    THttpClient client;

    EXPECT_EQ(client.Get(PageUrl()), QByteArray("the page"));
    EXPECT_EQ(Via(), "");
    EXPECT_FALSE(proxy_.Log().contains(PageUrl()));

    // Switching the proxy off on a client that used it goes direct as well.
    UseProxy(client, QStringLiteral("pa55word"));
    client.Get(PageUrl());
    EXPECT_NE(Via(), "");
    client.SetProxyServer(QString());
    client.Get(PageUrl());
    EXPECT_EQ(Via(), "");
    EXPECT_EQ(Requests(), 3);
}

} // namespace
