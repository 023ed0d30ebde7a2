#include "libraries/http_client.h"
#include "support/loopback_server.h"
#include "util/error.h"

#include <gtest/gtest.h>

TEST(HttpClientSmoke, GetsABodyAndRaisesOnAnErrorStatus)
{
    LoopbackServer fake;
    fake.server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("hello", "text/plain");
    });
    fake.Start();

    THttpClient client;
    EXPECT_EQ(client.Get(fake.baseUrl() + QStringLiteral("/page")), QByteArray("hello"));
    try {
        client.Get(fake.baseUrl() + QStringLiteral("/missing"));
        FAIL();
    } catch (const HttpError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("HTTP 404 Not Found"));
    }
}
