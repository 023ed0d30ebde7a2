#pragma once

#include "results/library_answer.h"
#include "search/search_worker.h"

#include <QStringList>

class TBaseLib;

// Searches one library's catalogue for every ISBN of a search, one after the
// other, and delivers each answer to the results table on the main thread.
// A request that failed is delivered as a failure, not as "not held".
class TLibrarySearchThread final : public TSearchWorker
{
    Q_OBJECT

public:
    TLibrarySearchThread(TSearchDriver& driver, const TProxySettings& proxy);

    // Called before the thread starts.
    void SetParameters(const QStringList& isbns, const TBaseLib& library);

private:
    class FailureRecorder;

    void Search(THttpClient& client) override;
    void UpdateResult();

    QStringList Isbns;
    const TBaseLib* Library = nullptr;
    // The answer in flight from the worker to the main thread; the worker
    // waits while the main thread reads it.
    QString CurrentIsbn;
    TLibraryAnswer CurrentAnswer;
};
