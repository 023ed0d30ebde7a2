#include "gui/url_opener.h"
#include "gui/url_capture.h"

#include <gtest/gtest.h>

TEST(UrlOpener, HandsOnlyWebAddressesToTheDesktop)
{
    UrlCapture capture;
    EXPECT_TRUE(OpenUrlInBrowser(QStringLiteral("http://lib.example/cgi-bin/Sopcsvis.sh?ksno='12'&kgrn=0&tso=on")));
    EXPECT_TRUE(OpenUrlInBrowser(QStringLiteral("HTTPS://www.amazon.co.jp/dp/4101010013")));
    for (const char* refused : {"file:///etc/passwd", "javascript:alert(1)", "×", "", " ", "mailto:a@b.c",
                                "ftp://host/x", "http://", "smb://host/share"})
        EXPECT_FALSE(OpenUrlInBrowser(QString::fromUtf8(refused))) << refused;
    ASSERT_EQ(capture.urls().size(), 2);
    EXPECT_EQ(capture.urls()[0], QStringLiteral("http://lib.example/cgi-bin/Sopcsvis.sh?ksno='12'&kgrn=0&tso=on"));
}
