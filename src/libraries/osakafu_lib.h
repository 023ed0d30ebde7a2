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

private:
    const TEndpoints& endpoints_;
};
