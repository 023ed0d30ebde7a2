#pragma once

#include "cache/freshness.h"
#include "results/book_data.h"
#include "results/library_answer.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Answers remembered between searches, in one SQLite file: per book-data
// source and ISBN the book's data, per library and ISBN what the library
// answered, each with the time it was fetched. Failures are never kept.
//
// A cache that cannot be used never stops a search: the object then
// answers nothing and keeps nothing, and Problem() tells why once. A file
// that is not a database, or a damaged one, is set aside and a new one made.
// Several programs may use one file at once (write-ahead log, busy wait).
//
// Used on the thread that made it: its database connection is that
// thread's. Writes are gathered and written in one transaction by Flush().
class TLookupCache final
{
public:
    using Clock = std::function<QDateTime()>;

    struct TBookEntry
    {
        TBookData book;
        QDateTime fetched;
    };
    struct THoldingEntry
    {
        TLibraryAnswer answer;
        QDateTime fetched;
    };
    // A library as it was asked: the same library through Calil and
    // through its own catalogue keeps two sets of answers, and so does a
    // catalogue moved to another address.
    struct TLibraryKey
    {
        QString name;
        Freshness::TVia via = Freshness::TVia::Catalogue;
        QString origin; // the address asked
    };
    // A book-data source as it was asked.
    struct TSourceKey
    {
        QString name;   // Amazon, openBD
        QString origin; // the address asked
    };

    // How long a write waits for another program's transaction by default.
    static constexpr int kBusyTimeoutMs = 3000;

    // Opens or creates the file (and its folder). The clock gives UTC.
    explicit TLookupCache(const QString& path, Clock clock = {}, int busyTimeoutMs = kBusyTimeoutMs);
    ~TLookupCache();
    TLookupCache(const TLookupCache&) = delete;
    TLookupCache& operator=(const TLookupCache&) = delete;

    bool IsUsable() const { return usable_; }
    // What went wrong, for the user, once: empty afterwards and while all is well.
    QString TakeProblem();

    // The fresh entries among the ISBNs (search keys), by ISBN.
    QHash<QString, TBookEntry> FreshBooks(const TSourceKey& source, const QStringList& isbns);
    QHash<QString, THoldingEntry> FreshHoldings(const TLibraryKey& library, const QStringList& isbns);

    // Remembers an answer fetched now; a failure is not remembered.
    void PutBook(const TSourceKey& source, const QString& isbn, const TBookData& book);
    void PutHolding(const TLibraryKey& library, const QString& isbn, const TLibraryAnswer& answer);
    // Writes what was put since the last flush.
    void Flush();

    // Forgets everything; the file shrinks.
    void Clear();
    // Bytes on disk, the write-ahead log included.
    qint64 SizeOnDisk() const;

private:
    struct TPendingBook
    {
        TSourceKey source;
        QString isbn;
        TBookData book;
        qint64 fetched;
    };
    struct TPendingHolding
    {
        TLibraryKey library;
        QString isbn;
        TLibraryAnswer answer;
        qint64 fetched;
    };

    enum class TPrepared { Ready, Damaged, Failed };

    void Open(bool afterSettingAside);
    TPrepared Prepare();
    void SetAside();
    void Fail(const QString& problem);
    qint64 Now() const;

    QString path_;
    QString connection_;
    Clock clock_;
    int busyTimeoutMs_;
    bool usable_ = false;
    QString problem_;
    std::vector<TPendingBook> pendingBooks_;
    std::vector<TPendingHolding> pendingHoldings_;
};
