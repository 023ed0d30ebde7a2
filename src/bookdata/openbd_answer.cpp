#include "bookdata/openbd_answer.h"

#include "bookdata/price_text.h"
#include "bookdata/publication_date.h"
#include "books/isbn.h"
#include "util/error.h"
#include "util/text_trim.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <initializer_list>

namespace {

// Longer texts are not a title but garbage, or worse.
constexpr qsizetype kMaxFieldLength = 2000;

// Follows object keys; an array on the way stands for its first element
// (ONIX allows one element or a list in many places).
QJsonValue Walk(QJsonValue value, std::initializer_list<QLatin1StringView> path)
{
    for (const QLatin1StringView key : path) {
        if (value.isArray())
            value = value.toArray().at(0); // Undefined for an empty one
        if (!value.isObject())
            return QJsonValue();
        value = value.toObject().value(key);
    }
    return value;
}

QString TextOf(const QJsonValue& value)
{
    if (!value.isString())
        return QString();
    const QString text = TrimBlanks(value.toString());
    return text.size() <= kMaxFieldLength ? text : QString();
}

QString TitleOf(const QJsonObject& record)
{
    const QString title = TextOf(Walk(record, {QLatin1StringView("summary"), QLatin1StringView("title")}));
    if (!title.isEmpty())
        return title;
    return TextOf(Walk(record, {QLatin1StringView("onix"), QLatin1StringView("DescriptiveDetail"),
                                QLatin1StringView("TitleDetail"), QLatin1StringView("TitleElement"),
                                QLatin1StringView("TitleText"), QLatin1StringView("content")}));
}

// Only the ONIX part carries a price, and often none: the first one in yen.
QString PriceOf(const QJsonObject& record)
{
    const QJsonValue prices = Walk(record, {QLatin1StringView("onix"), QLatin1StringView("ProductSupply"),
                                            QLatin1StringView("SupplyDetail"), QLatin1StringView("Price")});
    const QJsonArray list = prices.isArray() ? prices.toArray() : QJsonArray{prices};
    for (const QJsonValue& price : list) {
        const QJsonObject fields = price.toObject();
        const QJsonValue currency = fields.value(QLatin1StringView("CurrencyCode"));
        if (!currency.isUndefined() && currency.toString() != u"JPY")
            continue;
        const QJsonValue amount = fields.value(QLatin1StringView("PriceAmount"));
        QString digits;
        if (amount.isString())
            digits = PriceDigits(TextOf(amount));
        else if (amount.isDouble() && amount.toDouble() >= 0 && amount.toDouble() < 1e9)
            digits = QString::number(qint64(amount.toDouble()));
        if (!digits.isEmpty())
            return digits;
    }
    return QString();
}

QString PublicationDateOf(const QJsonObject& record)
{
    const QString date =
        NormalizePublicationDate(TextOf(Walk(record, {QLatin1StringView("summary"), QLatin1StringView("pubdate")})));
    if (!date.isEmpty())
        return date;
    // The publishing date proper (role 01) of the ONIX part.
    const QJsonValue dates = Walk(record, {QLatin1StringView("onix"), QLatin1StringView("PublishingDetail"),
                                           QLatin1StringView("PublishingDate")});
    const QJsonArray list = dates.isArray() ? dates.toArray() : QJsonArray{dates};
    for (const QJsonValue& entry : list) {
        const QJsonObject fields = entry.toObject();
        if (fields.value(QLatin1StringView("PublishingDateRole")).toString() == u"01")
            return NormalizePublicationDate(TextOf(fields.value(QLatin1StringView("Date"))));
    }
    return QString();
}

// The ISBN-10 form by which rows are matched; empty where there is none.
QString MatchingForm(const QString& isbn)
{
    try {
        return Isbn13ToIsbn10(NormalizeIsbn(isbn)).toUpper();
    } catch (const ConversionError&) {
        return QString();
    }
}

// A record names its ISBN (ISBN-13); one that names another book than the
// one asked at its place must not fill that row.
bool IsRecordOf(const QJsonObject& record, const QString& asked)
{
    const QString named = TextOf(Walk(record, {QLatin1StringView("summary"), QLatin1StringView("isbn")}));
    return named.isEmpty() || MatchingForm(named) == MatchingForm(asked);
}

} // namespace

std::vector<std::optional<TBookFacts>> ParseOpenBdAnswer(const QByteArray& json, const QStringList& isbns)
{
    if (json.size() > kMaxOpenBdAnswerSize)
        throw JsonError(QStringLiteral("openBD's answer is too large to be read: %1 bytes.").arg(json.size()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw JsonError(QStringLiteral("openBD's answer is not JSON: %1 (at byte %2).")
                            .arg(error.errorString())
                            .arg(error.offset));
    if (!document.isArray())
        throw JsonError(QStringLiteral("openBD's answer is not a list of books."));
    const QJsonArray records = document.array();
    if (records.size() != isbns.size())
        throw JsonError(QStringLiteral("openBD answered %1 records for %2 ISBNs.").arg(records.size()).arg(isbns.size()));

    std::vector<std::optional<TBookFacts>> facts(size_t(isbns.size()));
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QJsonValue value = records[i];
        if (!value.isObject())
            continue; // null: unknown; anything else: unreadable, the same to us
        const QJsonObject record = value.toObject();
        if (!IsRecordOf(record, isbns[i]))
            continue;
        TBookFacts found;
        found.Title = TitleOf(record);
        found.Amount = PriceOf(record);
        found.PublicationDate = PublicationDateOf(record);
        facts[size_t(i)] = found;
    }
    return facts;
}
