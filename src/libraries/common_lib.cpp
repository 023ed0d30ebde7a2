#include "libraries/common_lib.h"

#include "libraries/catalogue_page.h"
#include "libraries/scraped_link.h"

#include <algorithm>

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
    return BoundedDetailUrl(baseUrl + kDetailPath + key + kDetailUrlEnd);
}

QString TCommonLib::ExtractRecordKey(const QString& page)
{
    const QString& opening = kRecordLinkOpening;
    const qsizetype link = page.indexOf(opening);
    if (link < 0)
        return QString();
    const qsizetype keyStart = link + opening.size();
    // The key is the first argument of the call: it ends at the comma after
    // it, or where the call, the attribute or the line ends before one.
    const qsizetype scanEnd = std::min(page.size(), keyStart + kMaxRecordKeyLength + 1);
    for (qsizetype i = keyStart; i < scanEnd; ++i) {
        switch (page[i].unicode()) {
        case u',':
            return page.mid(keyStart, i - keyStart);
        case u')':
        case u'"':
        case u'<':
        case u'>':
        case u'\r':
        case u'\n':
            // A link without any comma after it has never given a key.
            if (page.indexOf(u',', i) < 0)
                return QString();
            return page.mid(keyStart, i - keyStart);
        default:
            break;
        }
    }
    // Longer than any record key: not a record link.
    return QString();
}
