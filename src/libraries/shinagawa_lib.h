#pragma once

#include "libraries/base_lib.h"

class TEndpoints;

// The catalogue of 品川区立図書館 (東京都).
class TShinagawaLib final : public TBaseLib
{
public:
    explicit TShinagawaLib(const TEndpoints& endpoints) : endpoints_(endpoints) {}

    QString Search(const QString& isbn, THttpClient& client,
                   TErrorReporter& reporter) const override;
    // The request URL of an ISBN search: base URL + search path + ISBN.
    QString SearchUrl(const QString& isbn) const;
    QString GetName() const override { return QStringLiteral("品川区立図書館"); }
    QString GetPref() const override { return QStringLiteral("東京都"); }

private:
    const TEndpoints& endpoints_;
};
