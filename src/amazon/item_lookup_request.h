#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>

// Building the signed ItemLookup request of the bookseller's product API.
// Pure computation: nothing here sends a request or reads a setting.

// Request parameters by name. QMap orders its keys by UTF-16 code units.
using TRequestParameters = QMap<QString, QString>;

// The program's associate tag; every request carries it.
inline const QString kAssociateTag = QStringLiteral("tomoriza-22");
inline const QString kItemLookupApiVersion = QStringLiteral("2009-01-06");
inline const QString kItemLookupPath = QStringLiteral("/onca/xml");

// The ISBNs of a comma text in their ISBN-10 form, as a comma text. Items of
// fewer than 11 characters are taken as they are.
QString ToItemIdList(const QString& isbnCommaText);

// "2011-05-01T03:04:05Z": the time in UTC, cut to whole seconds.
QString FormatTimestamp(const QDateTime& time);

// "name=value" pairs, both percent-encoded as UTF-8, sorted by their UTF-16
// code units and joined by "&".
QString BuildCanonicalQuery(const TRequestParameters& parameters);

// The Base64 HMAC-SHA256 of "GET\n<host>\n/onca/xml\n<query>" keyed with the
// secret access key. The host is the one the request goes to, with its port
// when it names one, exactly as the client sends it in its Host header.
QString CreateSignature(const QString& canonicalQuery, const QString& secretAccessKey,
                        const QString& host);

// "http://<host>/onca/xml?<query>&Signature=<signature>" for the ItemLookup
// of the item ids (a comma text). A null request time stands for now.
QString BuildItemLookupUrl(const QString& itemIds, const QString& accessKeyId,
                           const QString& secretAccessKey, const QDateTime& requestTime,
                           const QString& host);
