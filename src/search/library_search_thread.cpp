#include "search/library_search_thread.h"

#include "libraries/base_lib.h"
#include "search/main_thread_call.h"
#include "search/search_driver.h"

TLibrarySearchThread::TLibrarySearchThread(TSearchDriver& driver, const TProxySettings& proxy)
    : TSearchWorker(driver, proxy)
{
}

void TLibrarySearchThread::SetParameters(const QStringList& isbns, const TBaseLib& library)
{
    Isbns = isbns;
    Library = &library;
}

void TLibrarySearchThread::Search(THttpClient& client)
{
    for (const QString& isbn : std::as_const(Isbns)) {
        if (isInterruptionRequested())
            return;
        CurrentIsbn = isbn;
        CurrentResult = Library->Search(CurrentIsbn, client, Driver().WorkerErrorReporter());
        // An answer that arrives after the search was stopped is dropped.
        if (isInterruptionRequested())
            return;
        CallOnMainThread(&Driver(), [this] { UpdateResult(); });
    }
}

void TLibrarySearchThread::UpdateResult()
{
    // Stopped while this call waited to be served: the answer stays out.
    if (isInterruptionRequested())
        return;
    Driver().DeliverLibraryResult(CurrentIsbn, CurrentResult, Library->GetName());
}
