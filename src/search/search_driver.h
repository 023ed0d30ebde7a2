#pragma once

#include "config/book_data_source.h"
#include "results/book_data.h"
#include "search/cache_session.h"
#include "search/failure_reports.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

class TAppConfig;
class TCalilClock;
struct TProxySettings;
class TResultsTable;
class TSearchFrontEnd;
class TSearchWorker;

// Turns the memo's lines into a running search and brings the commands back
// to rest when it is over: one worker for the book columns (the bookseller's,
// or the keyless sources') and one worker per selected library, all at once, each delivering into the results table on the main
// thread. The window and the command line both drive searches through it.
//
// The three search commands are observable state: the window binds its
// actions to them. Everything here runs on the main thread; workers reach
// it only through blocking calls into the main thread.
class TSearchDriver final : public QObject
{
    Q_OBJECT

public:
    static inline const QString kMissingKeyWarning =
        QStringLiteral("Amazon Access Key IDを登録しないと、Amazonの検索ができません。");

    TSearchDriver(TAppConfig& config, TResultsTable& table, TSearchFrontEnd& frontEnd,
                  QObject* parent = nullptr);
    // Shuts down whatever still runs.
    ~TSearchDriver() override;

    // "検索開始": builds the search list from the memo's lines, takes what
    // the lookup cache knows fresh (unless told to read nothing from it) and
    // starts the workers for the rest. A line that cannot be converted raises
    // ConversionError after the commands have been put back to rest.
    void ActionIsbnFindExecute(const QStringList& memoLines,
                               TCacheSession::TReading reading = TCacheSession::TReading::Fresh);
    // "検索中止": asks every running worker to stop and puts the commands
    // back to rest at once; workers end at their next check.
    void ActionIsbnSearchCancelExecute();
    // A worker's last act, on every way out.
    void SearchThreadFinished(TSearchWorker* worker);

    // Closing: stops every worker, cuts their transfers short and waits for
    // them while still serving their calls into the main thread, so none of
    // them can be left blocked on it. Nothing is delivered from then on.
    void Shutdown();

    // The book columns are filled by the source the settings choose, unless
    // the command line chose one for its run.
    void SetBookDataSource(TBookDataSource source) { sourceOverride_ = source; }
    // false: nobody fills the book columns; true: the settings decide.
    void SetAmazonEnabled(bool enabled)
    {
        sourceOverride_ = enabled ? std::nullopt : std::optional(TBookDataSource::None);
    }
    // The cache answers are taken from and kept in; none: every search asks
    // everything and keeps nothing. Not owned; set between searches, and it
    // must outlive the driver or be taken away before it goes.
    void SetLookupCache(TLookupCache* cache)
    {
        cache_ = cache;
        cacheSession_ = TCacheSession();
    }

    // The clock Calil's polling interval and hourly budget are kept by; the
    // wall clock unless a test makes time run faster. Takes effect at the
    // next search.
    void SetCalilClock(std::shared_ptr<const TCalilClock> clock);

    bool IsFindEnabled() const { return findEnabled_; }
    bool IsClearEnabled() const { return clearEnabled_; }
    bool IsCancelEnabled() const { return cancelEnabled_; }
    bool IsSearching() const { return !running_.empty(); }
    int RunningWorkerCount() const { return int(running_.size()); }

    // Answers expected from the current search and delivered so far: one
    // per ISBN and library, one per ISBN from the book-data source.
    int ExpectedAnswers() const { return expected_; }
    int DeliveredAnswers() const { return delivered_; }
    // Lookups of the current search that could not be made.
    int FailedLookups() const { return failed_; }

    // For workers: deliveries on the main thread.
    void DeliverLibraryAnswer(const QString& isbn, const TLibraryAnswer& answer, const QString& libraryName);
    // From any book-data source; `answered` ISBNs of the search list are
    // done with it.
    void DeliverAmazonData(const QList<TBookData>& books, qsizetype answered);
    // A keyless source could not look these ISBNs up: each counts as an
    // answer and as a failed lookup.
    void DeliverBookDataFailure(const QStringList& isbns, const QString& message);
    // From a worker's thread: a request to a library or another source
    // (named as the user knows it) failed. Returns when the user has seen
    // it, or at once when it is to pass without a box.
    void ReportLookupFailure(const QThread& worker, const QString& sourceName, const QString& message);
    // From a worker's thread: a word on how the search goes, for the status
    // bar or the terminal; an empty text takes it away.
    void ShowSearchNotice(const QString& text);

Q_SIGNALS:
    void CommandStateChanged();
    void ProgressChanged(int delivered, int expected);
    // The last worker has reported; also after a search that could not start.
    void SearchFinished();

private:
    void SetCommandState(bool find, bool clear, bool cancel);
    void StartWorker(std::unique_ptr<TSearchWorker> worker);
    void StartBookDataWorker(TBookDataSource source, const QStringList& keys, const TProxySettings& proxy);
    void ReleaseFinishedWorkers();
    // One worker asks Calil for every library that goes through it; a
    // library with an entry in `wanted` only for those ISBNs.
    void StartCalilWorker(const QStringList& keys, const QStringList& libraryNames, const TProxySettings& proxy,
                          const QHash<QString, QStringList>& wanted);
    // Sets up this search's use of the cache: what each source is known by.
    void StartCacheSession(TCacheSession::TReading reading, TBookDataSource source, const QStringList& libraryNames);
    // Writes what the cache was given and tells of its trouble, if any.
    void FlushCache();

    TAppConfig& config_;
    TResultsTable& table_;
    TSearchFrontEnd& frontEnd_;
    TFailureReports failureReports_;
    std::optional<TBookDataSource> sourceOverride_;
    std::shared_ptr<const TCalilClock> calilClock_;
    TLookupCache* cache_ = nullptr;
    TCacheSession cacheSession_;
    // While a search runs, what it learnt reaches the file now and then, so
    // a program that is killed loses little.
    QTimer flushTimer_;

    // Workers that have not reported yet, and those that have but whose
    // thread may still be ending. The driver owns both.
    std::vector<std::unique_ptr<TSearchWorker>> running_;
    std::vector<std::unique_ptr<TSearchWorker>> finished_;

    bool findEnabled_ = true;
    bool clearEnabled_ = true;
    bool cancelEnabled_ = true;
    bool starting_ = false;
    bool shuttingDown_ = false;
    int expected_ = 0;
    int delivered_ = 0;
    int failed_ = 0;
};
