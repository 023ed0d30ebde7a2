#include "calil/calil_json.h"

#include "calil/calil_error.h"

#include <QJsonParseError>

namespace {

// The JSON inside "name(...)" with an optional ";" after it; the body as it
// stands when it is not wrapped.
QByteArray Unwrapped(const QByteArray& body)
{
    const QByteArray trimmed = body.trimmed();
    if (trimmed.startsWith('{') || trimmed.startsWith('['))
        return trimmed;
    const qsizetype open = trimmed.indexOf('(');
    qsizetype close = trimmed.size() - 1;
    if (close >= 0 && trimmed[close] == ';')
        --close;
    while (close >= 0 && (trimmed[close] == ' ' || trimmed[close] == '\n' || trimmed[close] == '\r'))
        --close;
    if (open < 0 || close <= open || trimmed[close] != ')')
        return trimmed;
    return trimmed.mid(open + 1, close - open - 1);
}

} // namespace

QJsonDocument ParseCalilJson(const QByteArray& body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(Unwrapped(body), &error);
    if (error.error != QJsonParseError::NoError || document.isNull())
        throw CalilError(QStringLiteral("カーリルの応答を読み取れませんでした（%1）").arg(error.errorString()));
    return document;
}
