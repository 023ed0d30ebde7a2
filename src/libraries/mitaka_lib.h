#pragma once

#include "libraries/base_lib.h"

class TEndpoints;

// The catalogue of 三鷹市立図書館 (東京都).
class TMitakaLib final : public TBaseLib
{
public:
    explicit TMitakaLib(const TEndpoints& endpoints) : endpoints_(endpoints) {}

    QString Search(const QString& isbn, THttpClient& client,
                   TErrorReporter& reporter) const override;
    QString GetName() const override { return QStringLiteral("三鷹市立図書館"); }
    QString GetPref() const override { return QStringLiteral("東京都"); }

    // The request URL of an ISBN search: the ISBN goes in the middle of the
    // query, as the value of KEY1.
    QString SearchUrl(const QString& isbn) const;
    // The detail page URL of the first hit on a result page, cut before its
    // session parameter, or the empty text (also when the link, up to its
    // closing quote, holds no session parameter).
    QString ParseResult(const QString& page) const;

private:
    QString BaseUrl() const;

    const TEndpoints& endpoints_;
};
