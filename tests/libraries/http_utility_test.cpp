#include "libraries/http_client.h"
#include "libraries/http_utility.h"
#include "support/loopback_server.h"
#include "util/code_page.h"
#include "util/error.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(const QByteArray& bytes) { return bytes.toStdString(); }

const QString kPageText = QStringLiteral("<html><body><h1>検索結果</h1><p>吾輩は猫である／夏目漱石 ～ 一件見つかりました。</p></body></html>");

class GetTextTest : public ::testing::Test
{
protected:
    void Serve(const std::string& path, std::string body, const char* type = "text/html")
    {
        fake_.server().Get(path, [body, type](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, type);
        });
    }
    QString Url(const char* path) const { return fake_.baseUrl() + QLatin1String(path); }

    LoopbackServer fake_;
    THttpClient client_;
};

TEST_F(GetTextTest, DetectsAndDecodesTheEncodingOfEachPage)
{
    Serve("/sjis", Bytes(EncodeCodePage(kPageText, kCodePageShiftJis)));
    Serve("/euc", Bytes(EncodeCodePage(kPageText, kCodePageEucJp)));
    Serve("/utf8", Bytes(kPageText.toUtf8()));
    fake_.Start();

    EXPECT_EQ(THttpUtility::GetText(Url("/sjis"), client_, kCodePageUnknown), kPageText);
    EXPECT_EQ(THttpUtility::GetText(Url("/euc"), client_, kCodePageUnknown), kPageText);
    EXPECT_EQ(THttpUtility::GetText(Url("/utf8"), client_, kCodePageUnknown), kPageText);
    // A named code page is used as it stands, even when the bytes say otherwise.
    EXPECT_EQ(THttpUtility::GetText(Url("/sjis"), client_, kCodePageShiftJis), kPageText);
    EXPECT_NE(THttpUtility::GetText(Url("/utf8"), client_, kCodePageShiftJis), kPageText);
}

TEST_F(GetTextTest, KeepsEverythingAfterAZeroByte)
{
    Serve("/nul", std::string("\x82\xA0\0\x82\xA2", 5));
    std::string utf16 = "\xFF\xFE";
    for (const QChar c : QStringLiteral("Quillmoor 図書館"))
        utf16 += std::string{static_cast<char>(c.unicode() & 0xFF), static_cast<char>(c.unicode() >> 8)};
    Serve("/utf16", utf16);
    fake_.Start();

    EXPECT_EQ(THttpUtility::GetText(Url("/nul"), client_, kCodePageUnknown),
              QStringLiteral("あ") + QChar(0) + QStringLiteral("い"));
    EXPECT_EQ(THttpUtility::GetText(Url("/utf16"), client_, kCodePageUnknown),
              QStringLiteral("Quillmoor 図書館"));
}

TEST_F(GetTextTest, AnEmptyBodyIsTheEmptyTextAndAnErrorStatusRaises)
{
    Serve("/empty", "");
    fake_.Start();

    EXPECT_EQ(THttpUtility::GetText(Url("/empty"), client_, kCodePageUnknown), QString());
    try {
        THttpUtility::GetText(Url("/missing"), client_, kCodePageUnknown);
        FAIL() << "a 404 must raise";
    } catch (const HttpError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("HTTP 404 Not Found"));
    }
}

} // namespace
