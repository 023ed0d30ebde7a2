#pragma once

#include <QString>
#include <QStringList>

// The requests of Calil's API under a base URL ("https://api.calil.jp").
// Every query value is percent-encoded (the key and the session come from
// outside); system ids must have been checked by IsValidCalilSystemId.
// JSON is asked for bare (callback=no).

// Starts a /check session for every ISBN in every system.
QString CalilCheckUrl(const QString& baseUrl, const QString& appKey, const QStringList& isbns,
                      const QStringList& systemIds);
// Polls a /check session.
QString CalilPollUrl(const QString& baseUrl, const QString& appKey, const QString& session);
// The library buildings of a prefecture.
QString CalilLibraryUrl(const QString& baseUrl, const QString& appKey, const QString& prefecture);
