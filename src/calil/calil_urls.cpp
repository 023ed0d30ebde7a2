#include "calil/calil_urls.h"

#include "util/url_encoding.h"

namespace {

QString Encoded(const QString& value) { return UrlEncode(value, kCodePageUtf8); }

// Items joined by literal commas, each encoded on its own.
QString EncodedList(const QStringList& values)
{
    QStringList encoded;
    for (const QString& value : values)
        encoded.append(Encoded(value));
    return encoded.join(u',');
}

const QString kJsonTail = QStringLiteral("&format=json&callback=no");

} // namespace

QString CalilCheckUrl(const QString& baseUrl, const QString& appKey, const QStringList& isbns,
                      const QStringList& systemIds)
{
    return baseUrl + QStringLiteral("/check?appkey=") + Encoded(appKey) + QStringLiteral("&isbn=")
         + EncodedList(isbns) + QStringLiteral("&systemid=") + EncodedList(systemIds) + kJsonTail;
}

QString CalilPollUrl(const QString& baseUrl, const QString& appKey, const QString& session)
{
    return baseUrl + QStringLiteral("/check?appkey=") + Encoded(appKey) + QStringLiteral("&session=")
         + Encoded(session) + kJsonTail;
}

QString CalilLibraryUrl(const QString& baseUrl, const QString& appKey, const QString& prefecture)
{
    return baseUrl + QStringLiteral("/library?appkey=") + Encoded(appKey) + QStringLiteral("&pref=")
         + Encoded(prefecture) + kJsonTail;
}
