#include "calil/calil_check_answer.h"

#include "calil/calil_error.h"
#include "calil/calil_json.h"
#include "calil/calil_links.h"
#include "results/lending_status.h"
#include "util/control_characters.h"

#include <QJsonObject>

namespace {

// Text from the answer as it may be shown: one line, bounded.
QString Shown(const QString& text)
{
    constexpr qsizetype kMaxShown = 40;
    QString shown = ReplaceControlCharacters(text.left(kMaxShown));
    return text.size() > kMaxShown ? shown + u'…' : shown;
}

bool IsOn(const QJsonValue& value)
{
    if (value.isDouble())
        return value.toDouble() != 0;
    if (value.isString())
        return value.toString().trimmed() != u"0" && !value.toString().trimmed().isEmpty();
    return value.toBool();
}

TCalilPairState Failed(const QString& message) { return {false, TLibraryAnswer::Failure(message)}; }

} // namespace

const TCalilPairState* TCalilCheckAnswer::Find(const QString& isbn, const QString& systemId) const
{
    const auto book = books.constFind(isbn);
    if (book == books.cend())
        return nullptr;
    const auto pair = book->constFind(systemId);
    return pair != book->cend() ? &pair.value() : nullptr;
}

TCalilCheckAnswer ParseCalilCheckAnswer(const QByteArray& body)
{
    const QJsonDocument document = ParseCalilJson(body);
    if (!document.isObject())
        throw CalilError(QStringLiteral("カーリルの応答の形式が違います"));
    const QJsonObject root = document.object();
    TCalilCheckAnswer answer;
    const QJsonValue session = root.value(QStringLiteral("session"));
    answer.session = session.isDouble() ? QString::number(session.toInteger()) : session.toString();
    answer.more = IsOn(root.value(QStringLiteral("continue")));
    const QJsonObject books = root.value(QStringLiteral("books")).toObject();
    for (auto book = books.begin(); book != books.end(); ++book) {
        const QJsonObject systems = book.value().toObject();
        auto& states = answer.books[book.key()];
        for (auto system = systems.begin(); system != systems.end(); ++system)
            states.insert(system.key(), PairStateOf(system.value(), book.key()));
    }
    return answer;
}

TCalilPairState PairStateOf(const QJsonValue& entry, const QString& isbn)
{
    const QJsonObject object = entry.toObject();
    const QString status = object.value(QStringLiteral("status")).toString();
    if (status == u"Running")
        return {};
    if (status == u"Error")
        return Failed(QStringLiteral("カーリル: この図書館の蔵書を確認できませんでした（Error）"));
    if (status != u"OK" && status != u"Cache")
        return Failed(QStringLiteral("カーリル: 知らない状態「%1」が返されました").arg(Shown(status)));

    QStringList statuses;
    const QJsonObject buildings = object.value(QStringLiteral("libkey")).toObject();
    for (auto building = buildings.begin(); building != buildings.end(); ++building)
        statuses.append(Shown(building.value().toString()));
    const QString best = BestLendingStatus(statuses);
    QString url = object.value(QStringLiteral("reserveurl")).toString().trimmed();
    if (url.isEmpty() && best.isEmpty())
        return {false, TLibraryAnswer{}};
    if (url.isEmpty())
        url = CalilBookUrl(isbn);
    return {false, TLibraryAnswer{TLibraryAnswer::TKind::Found, url, best, {}}};
}
