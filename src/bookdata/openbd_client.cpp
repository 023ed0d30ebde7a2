#include "bookdata/openbd_client.h"

#include "bookdata/openbd_answer.h"
#include "libraries/http_client.h"

#include <QUrl>

std::vector<std::optional<TBookFacts>> LookupOpenBd(const QStringList& isbns, THttpClient& client,
                                                    const QString& baseUrl)
{
    const QByteArray form = "isbn=" + QUrl::toPercentEncoding(isbns.join(u','), ",");
    const QByteArray answer =
        client.Post(baseUrl + QStringLiteral("/v1/get"), form, "application/x-www-form-urlencoded");
    return ParseOpenBdAnswer(answer, isbns);
}
