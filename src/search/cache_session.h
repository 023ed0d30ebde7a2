#pragma once

#include "cache/lookup_cache.h"
#include "results/book_data.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <optional>
#include <utility>

// How one search uses the lookup cache: it takes the fresh answers from it
// instead of asking, and writes every new answer back. Without a cache it
// takes nothing and keeps nothing. Main thread only.
class TCacheSession final
{
public:
    enum class TReading {
        Fresh,   // take the fresh answers
        Nothing, // ask everything again, but keep the new answers
    };

    TCacheSession() = default;
    TCacheSession(TLookupCache* cache, TReading reading);

    // The book-data source the search asks; unset when it asks none.
    void SetBookSource(std::optional<TLookupCache::TSourceKey> source) { bookSource_ = std::move(source); }
    // How each library of the search is asked.
    void AddLibrary(const QString& name, const TLookupCache::TLibraryKey& key) { libraries_.insert(name, key); }

    // The keys (in list order, repeats kept) still to ask the book-data
    // source; the fresh records, one per distinct key, marked with the time
    // they were fetched, go to `fresh`.
    QStringList BooksToAsk(const QStringList& keys, QList<TBookData>& fresh) const;
    // The same for one library: every fresh answer once per repeat of its key.
    QStringList HoldingsToAsk(const QString& library, const QStringList& keys,
                              QList<std::pair<QString, TLibraryAnswer>>& fresh) const;

    // New answers of this search, kept for the next one.
    void RememberBooks(const QList<TBookData>& books);
    void RememberHolding(const QString& library, const QString& isbn, const TLibraryAnswer& answer);
    // Writes what was remembered; returns what went wrong with the cache, once.
    QString Flush();

private:
    bool Reads() const { return cache_ != nullptr && reading_ == TReading::Fresh; }

    TLookupCache* cache_ = nullptr;
    TReading reading_ = TReading::Fresh;
    std::optional<TLookupCache::TSourceKey> bookSource_;
    QHash<QString, TLookupCache::TLibraryKey> libraries_;
};
