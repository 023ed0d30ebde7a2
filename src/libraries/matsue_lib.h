#pragma once

#include "libraries/base_lib.h"

class TEndpoints;

// The catalogue of 松江市立図書館 (島根県).
class TMatsueLib final : public TBaseLib
{
public:
    explicit TMatsueLib(const TEndpoints& endpoints) : endpoints_(endpoints) {}

    QString Search(const QString& isbn, THttpClient& client,
                   TErrorReporter& reporter) const override;
    // The request URL of an ISBN search: base URL + search path + ISBN.
    QString SearchUrl(const QString& isbn) const;
    QString GetName() const override { return QStringLiteral("松江市立図書館"); }
    QString GetPref() const override { return QStringLiteral("島根県"); }

private:
    const TEndpoints& endpoints_;
};
