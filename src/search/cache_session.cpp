#include "search/cache_session.h"

#include "books/isbn.h"
#include "util/error.h"

#include <QSet>

namespace {

// The distinct keys worth a look: an empty key names no book.
QStringList DistinctKeys(const QStringList& keys)
{
    QStringList distinct;
    QSet<QString> seen;
    for (const QString& key : keys) {
        if (!key.isEmpty() && !seen.contains(key)) {
            seen.insert(key);
            distinct.append(key);
        }
    }
    return distinct;
}

// The search key a delivered record belongs to, as the table matches it.
std::optional<QString> SearchKeyOf(const QString& isbn)
{
    try {
        const QString key = Isbn13ToIsbn10(NormalizeIsbn(isbn));
        return key.isEmpty() ? std::nullopt : std::optional(key);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

} // namespace

TCacheSession::TCacheSession(TLookupCache* cache, TReading reading) : cache_(cache), reading_(reading) {}

QStringList TCacheSession::BooksToAsk(const QStringList& keys, QList<TBookData>& fresh) const
{
    if (!Reads() || !bookSource_)
        return keys;
    const auto known = cache_->FreshBooks(*bookSource_, DistinctKeys(keys));
    for (auto entry = known.cbegin(); entry != known.cend(); ++entry) {
        TBookData book = entry->book;
        book.BookDataFetched = entry->fetched;
        fresh.append(book);
    }
    QStringList toAsk;
    for (const QString& key : keys) {
        if (!known.contains(key))
            toAsk.append(key);
    }
    return toAsk;
}

QStringList TCacheSession::HoldingsToAsk(const QString& library, const QStringList& keys,
                                         QList<std::pair<QString, TLibraryAnswer>>& fresh) const
{
    const auto asked = libraries_.constFind(library);
    if (!Reads() || asked == libraries_.cend())
        return keys;
    const auto known = cache_->FreshHoldings(*asked, DistinctKeys(keys));
    QStringList toAsk;
    for (const QString& key : keys) {
        const auto entry = known.constFind(key);
        if (entry == known.cend()) {
            toAsk.append(key);
            continue;
        }
        TLibraryAnswer answer = entry->answer;
        answer.Fetched = entry->fetched;
        fresh.append({key, answer});
    }
    return toAsk;
}

void TCacheSession::RememberBooks(const QList<TBookData>& books)
{
    if (cache_ == nullptr || !bookSource_)
        return;
    for (const TBookData& book : books) {
        if (const std::optional<QString> key = SearchKeyOf(book.Isbn))
            cache_->PutBook(*bookSource_, *key, book);
    }
}

void TCacheSession::RememberHolding(const QString& library, const QString& isbn, const TLibraryAnswer& answer)
{
    const auto asked = libraries_.constFind(library);
    if (cache_ == nullptr || asked == libraries_.cend() || isbn.isEmpty())
        return;
    cache_->PutHolding(*asked, isbn, answer);
}

QString TCacheSession::Flush()
{
    if (cache_ == nullptr)
        return QString();
    cache_->Flush();
    return cache_->TakeProblem();
}
