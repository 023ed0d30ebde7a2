#pragma once

#include "results/book_data.h"
#include "search/search_worker.h"

#include <QList>
#include <QStringList>

// Looks every ISBN of a search up at the bookseller, ten per request, one
// request after the other, and delivers each batch's records to the results
// table on the main thread.
class TAmazonSearchThread final : public TSearchWorker
{
    Q_OBJECT

public:
    static constexpr qsizetype kBatchSize = 10;

    TAmazonSearchThread(TSearchDriver& driver, const TProxySettings& proxy);

    // Called before the thread starts. The keys are read from the settings
    // before every batch, so a change made meanwhile reaches the next one.
    void SetParameters(const QStringList& isbns, const TAppConfig& config);

private:
    void Search(THttpClient& client) override;
    void UpdateResult();

    QStringList Isbns;
    const TAppConfig* Config = nullptr;
    // The records in flight from the worker to the main thread.
    QList<TBookData> Books;
    qsizetype BatchSize = 0;
};
