#include "search/library_search_thread.h"

#include "libraries/base_lib.h"
#include "libraries/error_reporter.h"
#include "search/main_thread_call.h"
#include "search/search_driver.h"

#include <optional>

// Passes a backend's failure on to the user and remembers it, so that the
// empty text the backend then answers is not taken for "not held".
class TLibrarySearchThread::FailureRecorder final : public TErrorReporter
{
public:
    explicit FailureRecorder(TLibrarySearchThread& worker) : worker_(worker) {}

    void ReportError(const QString& message) override
    {
        failure_ = message;
        worker_.Driver().ReportLookupFailure(worker_, worker_.Library->GetName(), message);
    }

    // The failure met since the last call, if any.
    std::optional<QString> TakeFailure() { return std::exchange(failure_, std::nullopt); }

private:
    TLibrarySearchThread& worker_;
    std::optional<QString> failure_;
};

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
    FailureRecorder failures(*this);
    for (const QString& isbn : std::as_const(Isbns)) {
        if (isInterruptionRequested())
            return;
        CurrentIsbn = isbn;
        const QString result = Library->Search(CurrentIsbn, client, failures);
        const std::optional<QString> failure = failures.TakeFailure();
        CurrentAnswer = failure ? TLibraryAnswer::Failure(*failure) : TLibraryAnswer::FromSearchResult(result);
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
    Driver().DeliverLibraryAnswer(CurrentIsbn, CurrentAnswer, Library->GetName());
}
