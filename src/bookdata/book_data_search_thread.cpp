#include "bookdata/book_data_search_thread.h"

#include "bookdata/ndl_client.h"
#include "bookdata/openbd_client.h"
#include "config/endpoints.h"
#include "search/main_thread_call.h"
#include "search/search_driver.h"
#include "util/error.h"

#include <QElapsedTimer>

namespace {

// NDL Search takes ISBNs of 10 or 13 digits; a search key is the ISBN-10
// form, or a shorter text that is no ISBN and is not worth a request.
bool NdlCanLookUp(const QString& isbn) { return isbn.size() == 10; }

} // namespace

TBookDataSearchThread::TBookDataSearchThread(TSearchDriver& driver, const TProxySettings& proxy)
    : TSearchWorker(driver, proxy)
{
}

void TBookDataSearchThread::SetParameters(const QStringList& isbns, const TEndpoints& endpoints)
{
    Isbns = isbns;
    OpenBdBaseUrl = endpoints.OpenBdBaseUrl();
    NdlBaseUrl = endpoints.NdlBaseUrl();
}

void TBookDataSearchThread::Search(THttpClient& client)
{
    for (qsizetype start = 0; start < Isbns.size(); start += kOpenBdMaxIsbns) {
        if (isInterruptionRequested() || !SearchBatch(Isbns.mid(start, kOpenBdMaxIsbns), client))
            return;
    }
}

bool TBookDataSearchThread::SearchBatch(const QStringList& batch, THttpClient& client)
{
    // An empty key has no place in openBD's list, whose answer is read by
    // position; it is no ISBN anyway and gets an answer of nothing.
    QStringList asked;
    QList<TBookData> nothingToAsk;
    for (const QString& isbn : batch) {
        if (isbn.isEmpty())
            nothingToAsk.append(TBookFacts().ToBookData(isbn));
        else
            asked.append(isbn);
    }
    std::vector<std::optional<TBookFacts>> answers;
    try {
        if (!asked.isEmpty())
            answers = LookupOpenBd(asked, client, OpenBdBaseUrl);
    } catch (const QuillmoorError& error) {
        if (isInterruptionRequested())
            return false;
        return Report(kOpenBdSourceName, error.message()) && DeliverFailure(asked, error.message())
               && Deliver(nothingToAsk, nothingToAsk.size());
    }
    if (isInterruptionRequested())
        return false;

    // What openBD settled goes out at once; titles and dates of books that
    // lack a price too, but those count as answered only after NDL.
    QList<TBookData> now = nothingToAsk;
    qsizetype settled = nothingToAsk.size();
    TNdlQueue queue;
    for (qsizetype i = 0; i < asked.size(); ++i) {
        const QString& isbn = asked[i];
        const std::optional<TBookFacts>& found = answers[size_t(i)];
        if ((found && found->HasPrice()) || !NdlCanLookUp(isbn)) {
            now.append(found.value_or(TBookFacts()).ToBookData(isbn));
            ++settled;
            continue;
        }
        if (found && !found->IsEmpty())
            now.append(found->ToBookData(isbn));
        if (!queue.occurrences.contains(isbn)) {
            queue.isbns.append(isbn);
            queue.fromOpenBd.insert(isbn, found.value_or(TBookFacts()));
        }
        ++queue.occurrences[isbn];
    }
    return Deliver(now, settled) && AskNdl(queue, client);
}

bool TBookDataSearchThread::AskNdl(const TNdlQueue& queue, THttpClient& client)
{
    // Answers wait here until the interval is over; a stop drops them with
    // the rest, as it drops an answer that arrives after it.
    QList<TBookData> pending;
    qsizetype pendingRows = 0;
    QElapsedTimer sinceDelivery;
    sinceDelivery.start();
    const auto deliverPending = [&] {
        const bool goOn = Deliver(pending, pendingRows);
        pending.clear();
        pendingRows = 0;
        sinceDelivery.restart();
        return goOn;
    };
    for (const QString& isbn : queue.isbns) {
        if (isInterruptionRequested())
            return false;
        const qsizetype rows = queue.occurrences.value(isbn);
        std::optional<TBookFacts> found;
        try {
            found = LookupNdl(isbn, client, NdlBaseUrl);
        } catch (const QuillmoorError& error) {
            // What came before the failure is on screen before its box.
            if (isInterruptionRequested() || !deliverPending() || !Report(kNdlSourceName, error.message())
                || !DeliverFailure(QStringList(rows, isbn), error.message()))
                return false;
            continue;
        }
        if (isInterruptionRequested())
            return false;
        TBookFacts merged = queue.fromOpenBd.value(isbn);
        if (found)
            merged.FillMissingFrom(*found);
        pending.append(merged.ToBookData(isbn));
        pendingRows += rows;
        if (sinceDelivery.elapsed() >= kNdlDeliveryInterval.count() && !deliverPending())
            return false;
    }
    return deliverPending();
}

bool TBookDataSearchThread::Deliver(const QList<TBookData>& books, qsizetype answered)
{
    if (books.isEmpty() && answered == 0)
        return !isInterruptionRequested();
    CallOnMainThread(&Driver(), [&] {
        // Stopped while this call waited to be served: the answer stays out.
        if (!isInterruptionRequested())
            Driver().DeliverAmazonData(books, answered);
    });
    return !isInterruptionRequested();
}

bool TBookDataSearchThread::DeliverFailure(const QStringList& isbns, const QString& message)
{
    if (isbns.isEmpty())
        return !isInterruptionRequested();
    CallOnMainThread(&Driver(), [&] {
        if (!isInterruptionRequested())
            Driver().DeliverBookDataFailure(isbns, message);
    });
    return !isInterruptionRequested();
}

bool TBookDataSearchThread::Report(const QString& sourceName, const QString& message)
{
    // Returns when the user has seen it; the user may have stopped the search.
    Driver().ReportLookupFailure(*this, sourceName, message);
    return !isInterruptionRequested();
}
