#pragma once

#include "libraries/base_lib.h"

class TEndpoints;

// The catalogue of 大阪市立図書館 (大阪府).
class TOsakashiLib final : public TBaseLib
{
public:
    explicit TOsakashiLib(const TEndpoints& endpoints) : endpoints_(endpoints) {}

    QString Search(const QString& isbn, THttpClient& client,
                   TErrorReporter& reporter) const override;
    QString GetName() const override { return QStringLiteral("大阪市立図書館"); }
    QString GetPref() const override { return QStringLiteral("大阪府"); }

private:
    const TEndpoints& endpoints_;
};
