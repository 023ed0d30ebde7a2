#pragma once

#include "bookdata/book_facts.h"
#include "search/search_worker.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <chrono>
#include <optional>
#include <vector>

class TEndpoints;

// Fills the book columns without a key: asks openBD for up to a thousand
// ISBNs at a time, then, one request after the other, NDL Search for each
// ISBN that openBD did not know or gave no price for; NDL's values only fill
// what openBD left empty. Delivers through the same path as the bookseller's
// worker: what openBD gave at once, NDL's answers as they come, gathered
// over at most kNdlDeliveryInterval so that the pace of the requests does not
// hang on a busy main thread. A failed
// request is reported to the user once and marks its ISBNs' empty book cells
// as failed; cells already filled keep their values.
class TBookDataSearchThread final : public TSearchWorker
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kNdlDeliveryInterval{100};

    TBookDataSearchThread(TSearchDriver& driver, const TProxySettings& proxy);

    // Called before the thread starts.
    void SetParameters(const QStringList& isbns, const TEndpoints& endpoints);

private:
    // What openBD said about the ISBNs that wait for NDL, and how many rows
    // of the search list each stands for.
    struct TNdlQueue
    {
        QStringList isbns; // distinct, in list order
        QHash<QString, TBookFacts> fromOpenBd;
        QHash<QString, qsizetype> occurrences;
    };

    void Search(THttpClient& client) override;
    // False when the search was stopped meanwhile.
    bool SearchBatch(const QStringList& batch, THttpClient& client);
    bool AskNdl(const TNdlQueue& queue, THttpClient& client);

    // Each returns false when the search was stopped before it got through.
    bool Deliver(const QList<TBookData>& books, qsizetype answered);
    bool DeliverFailure(const QStringList& isbns, const QString& message);
    bool Report(const QString& sourceName, const QString& message);

    QStringList Isbns;
    QString OpenBdBaseUrl;
    QString NdlBaseUrl;
};
