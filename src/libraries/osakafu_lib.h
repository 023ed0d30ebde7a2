#pragma once

#include "libraries/base_lib.h"

class TEndpoints;

// The catalogue of 大阪府立図書館 (大阪府).
class TOsakafuLib final : public TBaseLib
{
public:
    explicit TOsakafuLib(const TEndpoints& endpoints) : endpoints_(endpoints) {}

    QString Search(const QString& isbn, THttpClient& client,
                   TErrorReporter& reporter) const override;
    QString GetName() const override { return QStringLiteral("大阪府立図書館"); }
    QString GetPref() const override { return QStringLiteral("大阪府"); }

    // The request URL of an ISBN search: base URL + search path + ISBN.
    QString SearchUrl(const QString& isbn) const;
    // The detail page URL of the first record listed on a result page, or
    // the empty text. A page without the catalogue's hit notice lists no hits.
    // The code is read as the browser reads the attribute, character
    // references decoded; a link not closed by its quote is no match.
    QString ParseResult(const QString& page) const;

private:
    QString BaseUrl() const;

    const TEndpoints& endpoints_;
};
