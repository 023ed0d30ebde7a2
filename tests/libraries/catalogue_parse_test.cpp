#include "config/endpoints.h"
#include "libraries/common_lib.h"
#include "libraries/matsue_lib.h"
#include "libraries/mitaka_lib.h"
#include "libraries/osakafu_lib.h"
#include "libraries/osakashi_lib.h"
#include "libraries/scraped_link.h"

#include <gtest/gtest.h>

namespace {

const QString kBase = QStringLiteral("http://opac.example.jp");
const QString kNoHit = QStringLiteral("該当資料はありません");
const QString kLink = QStringLiteral("<a href=\"#\" onClick=\"dispDetail(");

QString SopcskenPage(const QString& body)
{
    return QStringLiteral("<html><body><h1>蔵書検索結果一覧</h1>") + body
         + QStringLiteral("</body></html>");
}

} // namespace

TEST(CommonLibParse, NoHitTextWinsOverARecordLink)
{
    const QString page = SopcskenPage(kNoHit + kLink + QStringLiteral("1234567,'0')\">猫</a>"));
    EXPECT_EQ(TCommonLib::ParseResult(kBase, page), QString());
    // The key itself is there; only the no-hit text decides.
    EXPECT_EQ(TCommonLib::ExtractRecordKey(page), QStringLiteral("1234567"));
    // Also when the text comes after the list.
    EXPECT_EQ(TCommonLib::ParseResult(kBase, SopcskenPage(kLink + QStringLiteral("1,'0')") + kNoHit)),
              QString());
}

TEST(CommonLibParse, KeyRunsUpToTheFirstCommaUntouched)
{
    const QString plain = SopcskenPage(kLink + QStringLiteral("1234567,'0');return false;\">猫</a>"));
    EXPECT_EQ(TCommonLib::ExtractRecordKey(plain), QStringLiteral("1234567"));
    EXPECT_EQ(TCommonLib::ParseResult(kBase, plain),
              QStringLiteral("http://opac.example.jp/cgi-bin/Sopcsvis.sh?ksno=1234567&kgrn=0&tso=on"));

    // Quotes and blanks stay: nothing is cleaned up.
    const QString quoted = SopcskenPage(kLink + QStringLiteral("'1234567','0')\">猫</a>"));
    EXPECT_EQ(TCommonLib::ParseResult(kBase, quoted),
              QStringLiteral("http://opac.example.jp/cgi-bin/Sopcsvis.sh?ksno='1234567'&kgrn=0&tso=on"));
    EXPECT_EQ(TCommonLib::ExtractRecordKey(kLink + QStringLiteral(" 12 34 ,'0')")),
              QStringLiteral(" 12 34 "));
}

TEST(CommonLibParse, KeyNeverRunsPastItsCall)
{
    // A call with one argument: the next comma stands far down the page.
    const QString tail = QStringLiteral("本</a></td><td>夏目漱石, 新潮社</td>");
    EXPECT_EQ(TCommonLib::ExtractRecordKey(kLink + QStringLiteral("1234567)\">") + tail),
              QStringLiteral("1234567"));
    for (const QString& end : {QStringLiteral("\""), QStringLiteral("<"), QStringLiteral(">"),
                               QStringLiteral("\n"), QStringLiteral("\r")})
        EXPECT_EQ(TCommonLib::ExtractRecordKey(kLink + QStringLiteral("12") + end + tail),
                  QStringLiteral("12"));
    // Still no key without any comma after the link.
    EXPECT_EQ(TCommonLib::ExtractRecordKey(kLink + QStringLiteral("1234567)\">本</a>")), QString());

    const QString longest(kMaxRecordKeyLength, u'7');
    EXPECT_EQ(TCommonLib::ExtractRecordKey(kLink + longest + QStringLiteral(",'0')")), longest);
    EXPECT_EQ(TCommonLib::ParseResult(kBase, kLink + QString(300, u'7') + QStringLiteral(",'0')")),
              QString());
    // Megabytes without an end before the comma give nothing, not a result
    // the size of the page.
    const QString hostile = kLink + QString(8 * 1024 * 1024, u'x') + QStringLiteral(",'0')");
    EXPECT_EQ(TCommonLib::ParseResult(kBase, hostile), QString());
}

TEST(CommonLibParse, NoKeyWithoutALinkOrACommaAfterIt)
{
    // A comma before the link does not count.
    EXPECT_EQ(TCommonLib::ParseResult(kBase, SopcskenPage(QStringLiteral("a,b") + kLink
                                                          + QStringLiteral("1234567')\">猫</a>"))),
              QString());
    // The opening is case-sensitive and exact.
    EXPECT_EQ(TCommonLib::ExtractRecordKey(QStringLiteral("<A HREF=\"#\" onClick=\"dispDetail(1,'0')")),
              QString());
    EXPECT_EQ(TCommonLib::ExtractRecordKey(QStringLiteral("<a href=\"#\" onclick=\"dispDetail(1,'0')")),
              QString());
    // The page ends right after the opening, or right after a cut-off opening.
    EXPECT_EQ(TCommonLib::ExtractRecordKey(kLink), QString());
    EXPECT_EQ(TCommonLib::ExtractRecordKey(kLink.chopped(1)), QString());
    EXPECT_EQ(TCommonLib::ExtractRecordKey(QString()), QString());
    // An empty key gives no URL.
    EXPECT_EQ(TCommonLib::ParseResult(kBase, kLink + QStringLiteral(",'0')")), QString());
}

TEST(CommonLibParse, OnlyTheFirstRecordCounts)
{
    const QString page = SopcskenPage(kLink + QStringLiteral("111,'0')\">上巻</a>") + kLink
                                      + QStringLiteral("222,'0')\">下巻</a>"));
    EXPECT_EQ(TCommonLib::ParseResult(kBase, page),
              QStringLiteral("http://opac.example.jp/cgi-bin/Sopcsvis.sh?ksno=111&kgrn=0&tso=on"));
}

TEST(CatalogueSearchUrl, IsbnIsAppendedToTheSearchPathUnchanged)
{
    TEndpoints endpoints;
    endpoints.SetOverride(QStringLiteral("松江市立図書館"), kBase);
    const TMatsueLib matsue(endpoints);
    EXPECT_EQ(matsue.SearchUrl(QStringLiteral("4101010013")),
              QStringLiteral("http://opac.example.jp/cgi-bin/Sopcsken.sh?srsl1=1&tgid=tyo%3A010A&"
                             "tkey=4101010013"));
    EXPECT_TRUE(matsue.SearchUrl(QString()).endsWith(QStringLiteral("&tkey=")));

    endpoints.SetOverride(QStringLiteral("大阪市立図書館"), kBase);
    EXPECT_TRUE(TOsakashiLib(endpoints)
                    .SearchUrl(QStringLiteral("4101010013"))
                    .endsWith(QStringLiteral("&CB=1&ISBN=4101010013")));

    endpoints.SetOverride(QStringLiteral("三鷹市立図書館"), kBase);
    const TMitakaLib mitaka(endpoints);
    EXPECT_EQ(mitaka.SearchUrl(QStringLiteral("412345678x")),
              QStringLiteral("http://opac.example.jp/clis/search?BOOK=ON&MAGAZINE=ON&AV=ON&ITEM1=L&"
                             "KEY1=412345678x&COMP1=2&COND=1&SORT=1"));
    // The key is spliced in, never read as a format.
    EXPECT_TRUE(mitaka.SearchUrl(QStringLiteral("%s%1")).contains(QStringLiteral("&KEY1=%s%1&COMP1=2")));
}

class OsakaParse : public ::testing::Test
{
protected:
    OsakaParse()
    {
        endpoints.SetOverride(QStringLiteral("大阪府立図書館"), kBase);
        endpoints.SetOverride(QStringLiteral("大阪市立図書館"), kBase);
    }

    const QString notice = QStringLiteral("ご利用にあたっては書名をクリックして詳細情報を必ず確認してください");
    TEndpoints endpoints;
    TOsakafuLib prefectural{endpoints};
    TOsakashiLib city{endpoints};
};

TEST_F(OsakaParse, PrefecturalNeedsTheHitNotice)
{
    const QString link = QStringLiteral("<a href=\"kensakuSyousai.jsp?tilcod=TW12345678\">猫</a>");
    EXPECT_EQ(prefectural.ParseResult(link), QString());
    const QString expected = QStringLiteral(
        "http://opac.example.jp/OSPLIB/webopac/kensaku/kensakuSyousai.jsp?tilcod=TW12345678");
    EXPECT_EQ(prefectural.ParseResult(notice + link), expected);
    // The link may stand before the notice.
    EXPECT_EQ(prefectural.ParseResult(link + notice), expected);
    EXPECT_EQ(prefectural.ParseResult(notice + QStringLiteral("<p>一覧</p>")), QString());
    // A notice cut short is no notice.
    EXPECT_EQ(prefectural.ParseResult(notice.chopped(1) + link), QString());
}

TEST_F(OsakaParse, PrefecturalTakesTheFirstCodeUpToTheQuote)
{
    const QString page = notice
                       + QStringLiteral("<a href=\"kensakuSyousai.jsp?tilcod=A1\">上</a>"
                                        "<a href=\"kensakuSyousai.jsp?tilcod=B2\">下</a>");
    EXPECT_TRUE(prefectural.ParseResult(page).endsWith(QStringLiteral("?tilcod=A1")));
    EXPECT_EQ(prefectural.ParseResult(notice + QStringLiteral("kensakuSyousai.jsp?tilcod=A1>")),
              QString());
    EXPECT_EQ(prefectural.ParseResult(notice + QStringLiteral("kensakuSyousai.jsp?tilcod=")), QString());
}

TEST_F(OsakaParse, CityDecodesTheLinkAndNeedsItsClosingQuote)
{
    const QString page = QStringLiteral(
        "<li><a href=\"/cgi-bin/internet/opi_103.cgi?ID=1&amp;KEY=2&#38;Q=&#x27;a&#39;\">猫</a></li>"
        "<li><a href=\"/cgi-bin/internet/opi_103.cgi?ID=3&amp;KEY=4\">犬</a></li>");
    // The browser gets the parameters KEY and Q, not "amp;KEY".
    EXPECT_EQ(city.ParseResult(page),
              QStringLiteral("http://opac.example.jp/cgi-bin/internet/opi_103.cgi?ID=1&KEY=2&Q='a'"));
    EXPECT_EQ(prefectural.ParseResult(notice + QStringLiteral("<a href=\"kensakuSyousai.jsp?tilcod=A&amp;1\">")),
              QStringLiteral("http://opac.example.jp/OSPLIB/webopac/kensaku/kensakuSyousai.jsp?tilcod=A&1"));

    // A link not written in double quotes never runs on into the markup.
    EXPECT_EQ(city.ParseResult(QStringLiteral("<a href=/cgi-bin/internet/opi_103.cgi?ID=1>猫</a>")),
              QString());
    EXPECT_EQ(city.ParseResult(QStringLiteral("<a href='/cgi-bin/internet/opi_103.cgi?ID=1'>猫</a>"
                                              "<p class=\"note\">")),
              QString());
    EXPECT_EQ(city.ParseResult(QStringLiteral("<p>該当する資料はありません</p>")), QString());
    EXPECT_EQ(city.ParseResult(QStringLiteral("/cgi-bin/internet/opi_103.cgi?")), QString());
}

class MitakaParse : public ::testing::Test
{
protected:
    MitakaParse() { endpoints.SetOverride(QStringLiteral("三鷹市立図書館"), kBase); }

    TEndpoints endpoints;
    TMitakaLib mitaka{endpoints};
};

TEST_F(MitakaParse, CutsTheFirstHitBeforeItsSession)
{
    const QString page = QStringLiteral(
        "<TR><TD><A HREF=\"/clis/detail?NUM=123&CTG=1&SID=ab12\">猫</A></TD></TR>"
        "<TR><TD><A HREF=\"/clis/detail?NUM=456&CTG=1&SID=ab12\">犬</A></TD></TR>");
    EXPECT_EQ(mitaka.ParseResult(page), QStringLiteral("http://opac.example.jp/clis/detail?NUM=123&CTG=1"));
    // &amp; stays as written.
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("<A HREF=\"/clis/detail?NUM=1&amp;CTG=1&SID=x\">")),
              QStringLiteral("http://opac.example.jp/clis/detail?NUM=1&amp;CTG=1"));
}

TEST_F(MitakaParse, NoHitTextAndLowerCaseLinksGiveNothing)
{
    const QString link = QStringLiteral("<A HREF=\"/clis/detail?NUM=123&CTG=1&SID=ab12\">猫</A>");
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("<P>該当データが見つかりませんでした。</P>") + link),
              QString());
    // Without its full stop the text is not the catalogue's no-hit page.
    EXPECT_FALSE(mitaka.ParseResult(QStringLiteral("該当データが見つかりませんでした") + link).isEmpty());
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("<a href=\"/clis/detail?NUM=123&CTG=1&SID=ab12\">")),
              QString());
}

TEST_F(MitakaParse, SessionIsSearchedWithinTheLinkOnly)
{
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("<A HREF=\"/clis/detail?NUM=123\">猫</A>")), QString());
    // The first link has no session: the session of the next link is not its.
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("<A HREF=\"/clis/detail?NUM=1\">猫</A>"
                                                "<A HREF=\"/clis/detail?NUM=2&SID=z\">")),
              QString());
    // A link that is never closed is no link.
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("<A HREF=\"/clis/detail?NUM=1&SID=z")), QString());
    // A session marker before the link does not count.
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("&SID<A HREF=\"/clis/detail?NUM=1\">")), QString());
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("<A HREF=\"/clis/detail?")), QString());
}

TEST(ScrapedLinks, DetailUrlsLongerThanAnyRealOneAreNoMatch)
{
    TEndpoints endpoints;
    for (const char16_t* name : {u"大阪府立図書館", u"大阪市立図書館", u"三鷹市立図書館"})
        endpoints.SetOverride(QString::fromUtf16(name), kBase);
    const TOsakashiLib city(endpoints);
    const TMitakaLib mitaka(endpoints);
    const QString cityPath = QStringLiteral("/cgi-bin/internet/opi_103.cgi?");
    const auto cityPage = [&](qsizetype urlLength) {
        return QStringLiteral("<a href=\"") + cityPath
             + QString(urlLength - kBase.size() - cityPath.size(), u'q') + QStringLiteral("\">");
    };
    EXPECT_EQ(city.ParseResult(cityPage(kMaxDetailUrlLength)).size(), kMaxDetailUrlLength);
    EXPECT_EQ(city.ParseResult(cityPage(kMaxDetailUrlLength + 1)), QString());
    EXPECT_EQ(city.ParseResult(cityPage(8 * 1024 * 1024)), QString());

    const QString longPath = QStringLiteral("/clis/detail?NUM=") + QString(kMaxDetailUrlLength, u'1');
    EXPECT_EQ(mitaka.ParseResult(QStringLiteral("<A HREF=\"") + longPath + QStringLiteral("&SID=z\">")),
              QString());
}
