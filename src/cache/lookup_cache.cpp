#include "cache/lookup_cache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <QVariant>

#include <atomic>

namespace {

// SQLite's primary result codes of interest.
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

const QString kInUse = QStringLiteral("キャッシュは別のQuillmoorが使用中のため、今回は使いません。");


int PrimaryCode(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xFF : -1;
}

bool IsDamage(const QSqlError& error)
{
    const int code = PrimaryCode(error);
    return code == kSqliteCorrupt || code == kSqliteNotADatabase;
}

bool IsLock(const QSqlError& error)
{
    const int code = PrimaryCode(error);
    return code == kSqliteBusy || code == kSqliteLocked;
}

// A null QString binds as SQL NULL; every text column holds text.
QVariant Text(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

QString NewConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("quillmoor-lookup-cache-%1").arg(++counter);
}

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS books ("
    " source TEXT NOT NULL, origin TEXT NOT NULL, isbn TEXT NOT NULL,"
    " title TEXT, amount TEXT, published TEXT, rank TEXT, url TEXT,"
    " fetched INTEGER NOT NULL, PRIMARY KEY (source, origin, isbn)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS holdings ("
    " library TEXT NOT NULL, via INTEGER NOT NULL, origin TEXT NOT NULL, isbn TEXT NOT NULL,"
    " kind INTEGER NOT NULL, url TEXT, status TEXT,"
    " fetched INTEGER NOT NULL, PRIMARY KEY (library, via, origin, isbn)) WITHOUT ROWID",
};

} // namespace

TLookupCache::TLookupCache(const QString& path, Clock clock, int busyTimeoutMs)
    : path_(path), connection_(NewConnectionName()), clock_(std::move(clock)), busyTimeoutMs_(busyTimeoutMs)
{
    if (!clock_)
        clock_ = [] { return QDateTime::currentDateTimeUtc(); };
    Open(false);
}

TLookupCache::~TLookupCache()
{
    Flush();
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

QString TLookupCache::TakeProblem() { return std::exchange(problem_, QString()); }

void TLookupCache::Fail(const QString& problem)
{
    usable_ = false;
    pendingBooks_.clear();
    pendingHoldings_.clear();
    if (problem_.isEmpty())
        problem_ = problem;
}

qint64 TLookupCache::Now() const { return clock_().toSecsSinceEpoch(); }

void TLookupCache::Open(bool afterSettingAside)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        Fail(QStringLiteral("キャッシュを使えません: SQLiteのドライバがありません。"));
        return;
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
    if (!db.open()) {
        Fail(QStringLiteral("キャッシュ「%1」を開けません: %2").arg(path_, db.lastError().text()));
        return;
    }
    if (Prepare() != TPrepared::Damaged)
        return;
    if (afterSettingAside) {
        Fail(QStringLiteral("キャッシュ「%1」を作り直せません。").arg(path_));
        return;
    }
    // Keep the damaged file for a look, and start anew.
    SetAside();
    Open(true);
}

TLookupCache::TPrepared TLookupCache::Prepare()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery query(db);
    TPrepared outcome = TPrepared::Ready;
    const auto run = [&](const QString& statement) {
        if (query.exec(statement))
            return true;
        const QSqlError error = query.lastError();
        if (IsDamage(error)) {
            outcome = TPrepared::Damaged;
        } else {
            outcome = TPrepared::Failed;
            Fail(IsLock(error) ? kInUse : QStringLiteral("キャッシュ「%1」を使えません: %2").arg(path_, error.text()));
        }
        return false;
    };
    if (!run(QStringLiteral("PRAGMA journal_mode=WAL")) || !run(QStringLiteral("PRAGMA synchronous=NORMAL"))
        || !run(QStringLiteral("PRAGMA quick_check")))
        return outcome;
    if (!query.next() || query.value(0).toString() != u"ok")
        return TPrepared::Damaged;
    for (const char* statement : kSchema) {
        if (!run(QString::fromLatin1(statement)))
            return outcome;
    }
    usable_ = true;
    return TPrepared::Ready;
}

void TLookupCache::SetAside()
{
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
    const QString aside =
        path_ + QStringLiteral(".damaged-") + clock_().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QFile::rename(path_, aside);
    QFile::remove(path_ + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    problem_ = QStringLiteral("キャッシュが壊れていたため、「%1」として退避し、新しく作りました。").arg(aside);
}

QHash<QString, TLookupCache::TBookEntry> TLookupCache::FreshBooks(const TSourceKey& source,
                                                                  const QStringList& isbns)
{
    QHash<QString, TBookEntry> fresh;
    if (!usable_)
        return fresh;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("SELECT title, amount, published, rank, url, fetched FROM books"
                                 " WHERE source = ? AND origin = ? AND isbn = ? AND fetched >= ?"));
    const qint64 oldest = Now() - Freshness::kBookData.count();
    for (const QString& isbn : isbns) {
        query.addBindValue(Text(source.name));
        query.addBindValue(Text(source.origin));
        query.addBindValue(Text(isbn));
        query.addBindValue(oldest);
        if (!query.exec()) {
            Fail(QStringLiteral("キャッシュを読めません: %1").arg(query.lastError().text()));
            return {};
        }
        if (!query.next())
            continue;
        TBookEntry entry;
        entry.book.Isbn = isbn;
        entry.book.Title = query.value(0).toString();
        entry.book.Amount = query.value(1).toString();
        entry.book.PublicationDate = query.value(2).toString();
        entry.book.SalesRank = query.value(3).toString();
        entry.book.DetailPageUrl = query.value(4).toString();
        entry.fetched = QDateTime::fromSecsSinceEpoch(query.value(5).toLongLong(), Qt::UTC);
        fresh.insert(isbn, entry);
    }
    return fresh;
}

QHash<QString, TLookupCache::THoldingEntry> TLookupCache::FreshHoldings(const TLibraryKey& library,
                                                                        const QStringList& isbns)
{
    QHash<QString, THoldingEntry> fresh;
    if (!usable_)
        return fresh;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("SELECT kind, url, status, fetched FROM holdings"
                                 " WHERE library = ? AND via = ? AND origin = ? AND isbn = ?"));
    const qint64 now = Now();
    for (const QString& isbn : isbns) {
        query.addBindValue(Text(library.name));
        query.addBindValue(int(library.via));
        query.addBindValue(Text(library.origin));
        query.addBindValue(Text(isbn));
        if (!query.exec()) {
            Fail(QStringLiteral("キャッシュを読めません: %1").arg(query.lastError().text()));
            return {};
        }
        if (!query.next())
            continue;
        const int kind = query.value(0).toInt();
        if (kind != int(TLibraryAnswer::TKind::Found) && kind != int(TLibraryAnswer::TKind::NotHeld))
            continue;
        THoldingEntry entry;
        entry.answer.Kind = TLibraryAnswer::TKind(kind);
        entry.answer.Url = query.value(1).toString();
        entry.answer.Status = query.value(2).toString();
        const qint64 fetched = query.value(3).toLongLong();
        if (fetched < now - Freshness::OfHolding(library.via, entry.answer.Kind).count())
            continue;
        entry.fetched = QDateTime::fromSecsSinceEpoch(fetched, Qt::UTC);
        fresh.insert(isbn, entry);
    }
    return fresh;
}

void TLookupCache::PutBook(const TSourceKey& source, const QString& isbn, const TBookData& book)
{
    if (usable_)
        pendingBooks_.push_back({source, isbn, book, Now()});
}

void TLookupCache::PutHolding(const TLibraryKey& library, const QString& isbn, const TLibraryAnswer& answer)
{
    // A failure says nothing about the library: the next search asks again.
    if (usable_ && !answer.IsFailure())
        pendingHoldings_.push_back({library, isbn, answer, Now()});
}

void TLookupCache::Flush()
{
    if (!usable_ || (pendingBooks_.empty() && pendingHoldings_.empty()))
        return;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction()) {
        Fail(QStringLiteral("キャッシュに書き込めません: %1").arg(db.lastError().text()));
        return;
    }
    QSqlQuery books(db);
    books.prepare(QStringLiteral("INSERT OR REPLACE INTO books"
                                 " (source, origin, isbn, title, amount, published, rank, url, fetched)"
                                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    bool ok = true;
    for (const TPendingBook& pending : pendingBooks_) {
        for (const QVariant& value :
             {Text(pending.source.name), Text(pending.source.origin), Text(pending.isbn), Text(pending.book.Title),
              Text(pending.book.Amount), Text(pending.book.PublicationDate), Text(pending.book.SalesRank),
              Text(pending.book.DetailPageUrl), QVariant(pending.fetched)})
            books.addBindValue(value);
        ok = ok && books.exec();
    }
    QSqlQuery holdings(db);
    holdings.prepare(QStringLiteral("INSERT OR REPLACE INTO holdings"
                                    " (library, via, origin, isbn, kind, url, status, fetched)"
                                    " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const TPendingHolding& pending : pendingHoldings_) {
        for (const QVariant& value :
             {Text(pending.library.name), QVariant(int(pending.library.via)), Text(pending.library.origin),
              Text(pending.isbn), QVariant(int(pending.answer.Kind)), Text(pending.answer.Url),
              Text(pending.answer.Status), QVariant(pending.fetched)})
            holdings.addBindValue(value);
        ok = ok && holdings.exec();
    }
    pendingBooks_.clear();
    pendingHoldings_.clear();
    if (!ok || !db.commit()) {
        const QSqlError error = ok ? db.lastError() : (books.lastError().isValid() ? books.lastError()
                                                                                    : holdings.lastError());
        db.rollback();
        Fail(IsLock(error) ? kInUse
                           : QStringLiteral("キャッシュに書き込めません: %1").arg(error.text()));
    }
}

void TLookupCache::Clear()
{
    pendingBooks_.clear();
    pendingHoldings_.clear();
    if (!usable_)
        return;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(QStringLiteral("DELETE FROM books")) || !query.exec(QStringLiteral("DELETE FROM holdings"))
        || !query.exec(QStringLiteral("VACUUM")) || !query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")))
        Fail(QStringLiteral("キャッシュを空にできません: %1").arg(query.lastError().text()));
}

qint64 TLookupCache::SizeOnDisk() const
{
    return QFileInfo(path_).size() + QFileInfo(path_ + QStringLiteral("-wal")).size();
}
