#pragma once

#include <QMap>
#include <QString>

// Where the catalogues and the book-data services are reached: one base URL
// per library, one for openBD and one for NDL Search (scheme and host, no
// trailing slash), and the bookseller's API host (host[:port]). The defaults are the services' own hosts; the settings
// file's [ENDPOINTS] section can point any of them elsewhere, which is how a
// user follows a catalogue that moved (and how tests reach local servers).
class TEndpoints final
{
public:
    // The key under which the bookseller's host is kept.
    static inline const QString kAmazonKey = QStringLiteral("Amazon");
    // The key under which Calil's API base URL is kept.
    static inline const QString kCalilKey = QStringLiteral("Calil");
    // The keys of the two keyless book-data services.
    static inline const QString kOpenBdKey = QStringLiteral("openBD");
    static inline const QString kNdlKey = QStringLiteral("NDL");

    TEndpoints();

    // The base URL of a library by its display name; empty for an unknown one.
    QString BaseUrl(const QString& libraryName) const;
    // The bookseller's API host, host[:port].
    QString AmazonHost() const;
    // Calil's API base URL, without a trailing slash.
    QString CalilBaseUrl() const;
    QString OpenBdBaseUrl() const { return endpoints_.value(kOpenBdKey); }
    QString NdlBaseUrl() const { return endpoints_.value(kNdlKey); }

    // Replaces the endpoint of a library name or of kAmazonKey. A trailing
    // slash of a base URL is dropped. Unknown keys are ignored.
    void SetOverride(const QString& key, const QString& value);
    // Back to the defaults.
    void ClearOverrides();

    // The built-in endpoints, by key.
    static const QMap<QString, QString>& Defaults();

private:
    QMap<QString, QString> endpoints_;
};
