#include "search/search_driver.h"

#include "calil/calil_clock.h"
#include "calil/calil_search_thread.h"
#include "bookdata/book_data_search_thread.h"
#include "config/app_config.h"
#include "config/cache_location.h"
#include "config/endpoints.h"
#include "libraries/library_list.h"
#include "results/results_table.h"
#include "search/amazon_search_thread.h"
#include "search/library_search_thread.h"
#include "search/main_thread_call.h"
#include "search/search_front_end.h"
#include "search/search_list.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

#include <span>

TSearchDriver::TSearchDriver(TAppConfig& config, TResultsTable& table, TSearchFrontEnd& frontEnd,
                             QObject* parent)
    : QObject(parent), config_(config), table_(table), frontEnd_(frontEnd),
      failureReports_(frontEnd, [this] { ActionIsbnSearchCancelExecute(); })
{
    flushTimer_.setInterval(2000);
    connect(&flushTimer_, &QTimer::timeout, this, &TSearchDriver::FlushCache);
}

TSearchDriver::~TSearchDriver() { Shutdown(); }

void TSearchDriver::ActionIsbnFindExecute(const QStringList& memoLines, TCacheSession::TReading reading)
{
    table_.SetGridRowCount(2);
    SetCommandState(false, false, true);

    // While this search is being set up, workers of a cancelled one may
    // report (the events processed below, the warning box); their last
    // report must not put the commands of this search back to rest.
    starting_ = true;
    const auto started = qScopeGuard([this] { starting_ = false; });
    const auto toRest = [this] { SetCommandState(true, true, false); };

    // Let the new command states be painted before the list is built.
    QCoreApplication::processEvents();

    QStringList keys;
    try {
        keys = BuildSearchList(memoLines);
    } catch (...) {
        // Nothing was started: the commands must not stay in the searching
        // state with no search behind them.
        toRest();
        throw;
    }
    if (keys.isEmpty()) {
        toRest();
        return;
    }
    table_.SetIsbnList(keys);
    const TBookDataSource source = sourceOverride_.value_or(config_.GetBookDataSource());
    table_.SetBookDataSource(source);

    // Only the bookseller needs a key; the keyless sources start without.
    if (source == TBookDataSource::Amazon && config_.GetAwsKeyID().isEmpty()) {
        frontEnd_.ShowMissingKeyWarning(kMissingKeyWarning);
        toRest();
        return;
    }

    // One consistent view of the proxy for the whole search; a change in the
    // settings dialog meanwhile reaches the next search.
    const TProxySettings proxy = config_.GetProxySettings();
    const QStringList names = config_.GetLibraryNames();
    const TLibraryList::NameMap libraries = config_.GetLibraryList()->GetNameMap();

    expected_ = 0;
    delivered_ = 0;
    failed_ = 0;
    failureReports_.StartSearch();
    StartCacheSession(reading, source, names);

    // What the cache knows fresh is on screen at once; the rest is asked.
    if (source != TBookDataSource::None) {
        expected_ += int(keys.size());
        QList<TBookData> known;
        const QStringList toAsk = cacheSession_.BooksToAsk(keys, known);
        table_.SetAmazonData(std::span<const TBookData>(known.constData(), std::size_t(known.size())));
        delivered_ += int(keys.size() - toAsk.size());
        if (!toAsk.isEmpty())
            StartBookDataWorker(source, toAsk, proxy);
    }
    QStringList askedThroughCalil;
    QHash<QString, QStringList> wantedFromCalil;
    for (const QString& name : names) {
        const bool throughCalil = config_.IsAskedThroughCalil(name);
        const TBaseLib* library = libraries.value(name);
        if (!throughCalil && library == nullptr)
            continue; // the settings keep only registered names
        expected_ += int(keys.size());
        QList<std::pair<QString, TLibraryAnswer>> known;
        const QStringList toAsk = cacheSession_.HoldingsToAsk(name, keys, known);
        for (const auto& [isbn, answer] : std::as_const(known))
            table_.SetLibraryAnswer(isbn, answer, name);
        delivered_ += int(known.size());
        if (toAsk.isEmpty())
            continue;
        if (throughCalil) {
            askedThroughCalil.append(name);
            if (toAsk.size() != keys.size())
                wantedFromCalil.insert(name, toAsk);
            continue;
        }
        auto worker = std::make_unique<TLibrarySearchThread>(*this, proxy);
        worker->SetParameters(toAsk, *library);
        StartWorker(std::move(worker));
    }
    if (!askedThroughCalil.isEmpty())
        StartCalilWorker(keys, askedThroughCalil, proxy, wantedFromCalil);
    Q_EMIT ProgressChanged(delivered_, expected_);
    if (running_.empty()) {
        // Nothing to ask: no source chosen, or the cache knew it all.
        FlushCache();
        toRest();
        return;
    }
    if (cache_ != nullptr)
        flushTimer_.start();
}

void TSearchDriver::StartCacheSession(TCacheSession::TReading reading, TBookDataSource source,
                                      const QStringList& libraryNames)
{
    if (cache_ != nullptr) {
        // What happened to the cache when it was opened is told once.
        if (const QString problem = cache_->TakeProblem(); !problem.isEmpty())
            frontEnd_.ShowCacheProblem(problem);
    }
    cacheSession_ = TCacheSession(cache_, reading);
    const TEndpoints& endpoints = config_.GetEndpoints();
    switch (source) {
    case TBookDataSource::Amazon:
        cacheSession_.SetBookSource(TLookupCache::TSourceKey{QStringLiteral("Amazon"), endpoints.AmazonHost()});
        break;
    case TBookDataSource::OpenBd:
        cacheSession_.SetBookSource(TLookupCache::TSourceKey{QStringLiteral("openBD"), endpoints.OpenBdBaseUrl()});
        break;
    case TBookDataSource::None: break;
    }
    for (const QString& name : libraryNames) {
        if (config_.IsAskedThroughCalil(name))
            cacheSession_.AddLibrary(name, {name, Freshness::TVia::Calil, endpoints.CalilBaseUrl()});
        else
            cacheSession_.AddLibrary(name, {name, Freshness::TVia::Catalogue, endpoints.BaseUrl(name)});
    }
}

void TSearchDriver::FlushCache()
{
    if (const QString problem = cacheSession_.Flush(); !problem.isEmpty())
        frontEnd_.ShowCacheProblem(problem);
}

void TSearchDriver::StartBookDataWorker(TBookDataSource source, const QStringList& keys,
                                        const TProxySettings& proxy)
{
    switch (source) {
    case TBookDataSource::Amazon: {
        auto worker = std::make_unique<TAmazonSearchThread>(*this, proxy);
        worker->SetParameters(keys, config_);
        StartWorker(std::move(worker));
        break;
    }
    case TBookDataSource::OpenBd: {
        auto worker = std::make_unique<TBookDataSearchThread>(*this, proxy);
        worker->SetParameters(keys, config_.GetEndpoints());
        StartWorker(std::move(worker));
        break;
    }
    case TBookDataSource::None:
        return;
    }
}

void TSearchDriver::ActionIsbnSearchCancelExecute()
{
    for (const auto& worker : running_)
        worker->requestInterruption();
    // A stopped search waits for nothing any more.
    frontEnd_.ShowSearchNotice(QString());
    SetCommandState(true, true, false);
}

void TSearchDriver::SearchThreadFinished(TSearchWorker* worker)
{
    const auto found = std::find_if(running_.begin(), running_.end(),
                                    [worker](const auto& running) { return running.get() == worker; });
    if (found != running_.end()) {
        finished_.push_back(std::move(*found));
        running_.erase(found);
    }
    if (running_.empty() && !starting_) {
        flushTimer_.stop();
        FlushCache();
        ActionIsbnSearchCancelExecute();
        Q_EMIT SearchFinished();
    }
}

void TSearchDriver::Shutdown()
{
    shuttingDown_ = true;
    failureReports_.ReleaseAll();
    for (const auto& worker : running_) {
        worker->requestInterruption();
        worker->AbortTransfers();
    }
    // Serve the workers' calls into the main thread until each has made its
    // last one: waiting on a thread here could leave it blocked in a call
    // that nobody serves. The tick keeps the wait from sleeping forever.
    QTimer tick;
    tick.start(20);
    while (!running_.empty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    // After its last call a worker only returns.
    for (const auto& worker : finished_)
        worker->WaitUntilEnded();
    finished_.clear();
    flushTimer_.stop();
    FlushCache();
}

void TSearchDriver::DeliverLibraryAnswer(const QString& isbn, const TLibraryAnswer& answer,
                                        const QString& libraryName)
{
    if (shuttingDown_)
        return;
    table_.SetLibraryAnswer(isbn, answer, libraryName);
    cacheSession_.RememberHolding(libraryName, isbn, answer);
    ++delivered_;
    failed_ += answer.IsFailure() ? 1 : 0;
    Q_EMIT ProgressChanged(delivered_, expected_);
}

void TSearchDriver::DeliverAmazonData(const QList<TBookData>& books, qsizetype answered)
{
    if (shuttingDown_)
        return;
    table_.SetAmazonData(std::span<const TBookData>(books.constData(), std::size_t(books.size())));
    cacheSession_.RememberBooks(books);
    delivered_ += int(answered);
    Q_EMIT ProgressChanged(delivered_, expected_);
}

void TSearchDriver::DeliverBookDataFailure(const QStringList& isbns, const QString& message)
{
    if (shuttingDown_)
        return;
    for (const QString& isbn : isbns)
        table_.SetBookDataFailure(isbn, message);
    delivered_ += int(isbns.size());
    failed_ += int(isbns.size());
    Q_EMIT ProgressChanged(delivered_, expected_);
}

void TSearchDriver::ReportLookupFailure(const QThread& worker, const QString& sourceName,
                                       const QString& message)
{
    failureReports_.Report(this, worker, sourceName, message);
}

void TSearchDriver::ShowSearchNotice(const QString& text)
{
    CallOnMainThread(this, [&] {
        if (!shuttingDown_)
            frontEnd_.ShowSearchNotice(text);
    });
}

void TSearchDriver::SetCalilClock(std::shared_ptr<const TCalilClock> clock) { calilClock_ = std::move(clock); }

void TSearchDriver::StartCalilWorker(const QStringList& keys, const QStringList& libraryNames,
                                     const TProxySettings& proxy, const QHash<QString, QStringList>& wanted)
{
    std::vector<TCalilLibrary> libraries;
    for (const QString& name : libraryNames) {
        const TLibraryRecord* record = config_.GetLibraryList()->FindRecord(name);
        if (record == nullptr)
            continue;
        TCalilLibrary library{name, record->CalilSystemId, record->Prefecture, record->CalilSystemName, {}};
        if (const auto only = wanted.constFind(name); only != wanted.cend())
            library.onlyIsbns = QSet<QString>(only->cbegin(), only->cend());
        libraries.push_back(std::move(library));
    }
    TCalilSearchSettings settings;
    settings.appKey = config_.GetCalilAppKey();
    settings.baseUrl = config_.GetEndpoints().CalilBaseUrl();
    settings.cacheFolder = DefaultCacheFolder();
    settings.clock = calilClock_ ? calilClock_ : std::make_shared<TCalilClock>();
    auto worker = std::make_unique<TCalilSearchThread>(*this, proxy);
    worker->SetParameters(keys, std::move(libraries), std::move(settings));
    StartWorker(std::move(worker));
}

void TSearchDriver::SetCommandState(bool find, bool clear, bool cancel)
{
    if (find == findEnabled_ && clear == clearEnabled_ && cancel == cancelEnabled_)
        return;
    findEnabled_ = find;
    clearEnabled_ = clear;
    cancelEnabled_ = cancel;
    Q_EMIT CommandStateChanged();
}

void TSearchDriver::StartWorker(std::unique_ptr<TSearchWorker> worker)
{
    connect(worker.get(), &QThread::finished, this, &TSearchDriver::ReleaseFinishedWorkers,
            Qt::QueuedConnection);
    worker->start();
    running_.push_back(std::move(worker));
}

void TSearchDriver::ReleaseFinishedWorkers()
{
    std::erase_if(finished_, [](const auto& worker) {
        if (!worker->isFinished())
            return false;
        worker->WaitUntilEnded();
        return true;
    });
}
