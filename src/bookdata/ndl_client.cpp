#include "bookdata/ndl_client.h"

#include "bookdata/ndl_answer.h"
#include "libraries/http_utility.h"

#include <QUrl>

std::optional<TBookFacts> LookupNdl(const QString& isbn, THttpClient& client, const QString& baseUrl)
{
    // The NDL's own catalogue: one record per book, with the price where the
    // book has one; other databases add copies of it without.
    const QString url = baseUrl + QStringLiteral("/api/opensearch?dpid=iss-ndl-opac&isbn=")
                        + QString::fromLatin1(QUrl::toPercentEncoding(isbn));
    return ParseNdlAnswer(THttpUtility::GetText(url, client, kCodePageUnknown));
}
