#include "libraries/common_lib.h"

#include "libraries/catalogue_page.h"

namespace {

// The catalogue shows this when no material matches.
const QString kNoHitText = QStringLiteral("該当資料はありません");
// Opens the link of each record in a result list; the record key follows.
const QString kRecordLinkOpening = QStringLiteral("<a href=\"#\" onClick=\"dispDetail(");
const QString kDetailPath = QStringLiteral("/cgi-bin/Sopcsvis.sh?ksno=");
const QString kDetailUrlEnd = QStringLiteral("&kgrn=0&tso=on");

} // namespace

QString TCommonLib::Search(const QString& baseUrl, const QString& isbn, THttpClient& client,
                           TErrorReporter& reporter, const QString& searchPath)
{
    const auto page = FetchCataloguePage(SearchUrl(baseUrl, searchPath, isbn), client, reporter);
    return page ? ParseResult(baseUrl, *page) : QString();
}

QString TCommonLib::SearchUrl(const QString& baseUrl, const QString& searchPath,
                              const QString& isbn)
{
    return baseUrl + searchPath + isbn;
}

QString TCommonLib::ParseResult(const QString& baseUrl, const QString& page)
{
    // A no-hit page may still carry links (recommendations, recent items).
    if (page.contains(kNoHitText))
        return QString();
    const QString key = ExtractRecordKey(page);
    if (key.isEmpty())
        return QString();
    return baseUrl + kDetailPath + key + kDetailUrlEnd;
}

QString TCommonLib::ExtractRecordKey(const QString& page)
{
    const QString& opening = kRecordLinkOpening;
    const qsizetype link = page.indexOf(opening);
    if (link < 0)
        return QString();
    const qsizetype keyStart = link + opening.size();
    const qsizetype comma = page.indexOf(u',', keyStart);
    if (comma < 0)
        return QString();
    return page.mid(keyStart, comma - keyStart);
}
