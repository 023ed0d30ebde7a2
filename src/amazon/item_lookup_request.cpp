#include "amazon/item_lookup_request.h"

#include "amazon/hmac.h"
#include "books/isbn.h"
#include "util/code_page.h"
#include "util/comma_text.h"
#include "util/url_encoding.h"

#include <QStringList>

namespace {

// Items this short cannot be ISBN-13s; the search keys are ISBN-10s already.
constexpr qsizetype kShortestConvertedItem = 11;

} // namespace

QString ToItemIdList(const QString& isbnCommaText)
{
    QStringList items = FromCommaText(isbnCommaText);
    for (QString& item : items) {
        if (item.size() >= kShortestConvertedItem)
            item = Isbn13ToIsbn10(item);
    }
    return ToCommaText(items);
}

QString FormatTimestamp(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss'Z'"));
}

QString BuildCanonicalQuery(const TRequestParameters& parameters)
{
    QStringList pairs;
    pairs.reserve(parameters.size());
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        pairs.append(UrlEncode(it.key(), kCodePageUtf8) + u'='
                     + UrlEncode(it.value(), kCodePageUtf8));
    }
    pairs.sort(Qt::CaseSensitive);
    return pairs.join(u'&');
}

QString CreateSignature(const QString& canonicalQuery, const QString& secretAccessKey,
                        const QString& host)
{
    const QString stringToSign =
        QStringLiteral("GET\n") + host + u'\n' + kItemLookupPath + u'\n' + canonicalQuery;
    const QByteArray message = EncodeCodePage(stringToSign, kCodePageAnsi);
    const QByteArray key = EncodeCodePage(secretAccessKey, kCodePageAnsi);
    return QString::fromLatin1(HmacSha256Base64(key, message));
}

QString BuildItemLookupUrl(const QString& itemIds, const QString& accessKeyId,
                           const QString& secretAccessKey, const QDateTime& requestTime,
                           const QString& host)
{
    const QDateTime time = requestTime.isNull() ? QDateTime::currentDateTimeUtc() : requestTime;
    const TRequestParameters parameters{
        {QStringLiteral("Service"), QStringLiteral("AWSECommerceService")},
        {QStringLiteral("AWSAccessKeyId"), accessKeyId},
        {QStringLiteral("AssociateTag"), kAssociateTag},
        {QStringLiteral("Operation"), QStringLiteral("ItemLookup")},
        {QStringLiteral("ItemId"), itemIds},
        {QStringLiteral("ResponseGroup"), QStringLiteral("Large")},
        {QStringLiteral("Version"), kItemLookupApiVersion},
        {QStringLiteral("Timestamp"), FormatTimestamp(time)},
    };
    const QString query = BuildCanonicalQuery(parameters);
    const QString signature = CreateSignature(query, secretAccessKey, host);
    return QStringLiteral("http://") + host + kItemLookupPath + u'?' + query
        + QStringLiteral("&Signature=") + UrlEncode(signature, kCodePageUtf8);
}
