#include "search/amazon_search_thread.h"

#include "amazon/item_lookup.h"
#include "search/main_thread_call.h"
#include "search/search_driver.h"
#include "util/comma_text.h"

TAmazonSearchThread::TAmazonSearchThread(TSearchDriver& driver, const TProxySettings& proxy)
    : TSearchWorker(driver, proxy)
{
}

void TAmazonSearchThread::SetParameters(const QStringList& isbns, const TAppConfig& config)
{
    Isbns = isbns;
    Config = &config;
}

void TAmazonSearchThread::Search(THttpClient& client)
{
    const QString host = Config->GetEndpoints().AmazonHost();
    while (!Isbns.isEmpty()) {
        const QStringList batch = Isbns.mid(0, kBatchSize);
        Isbns.remove(0, batch.size());
        if (isInterruptionRequested())
            return;
        // Read before every batch: a key changed meanwhile reaches the next one.
        const TAwsKeys keys = Config->GetAwsKeys();
        Books = LookupItems(ToCommaText(batch), client, keys.accessKeyId, keys.secretAccessKey, host);
        if (isInterruptionRequested())
            return;
        BatchSize = batch.size();
        CallOnMainThread(&Driver(), [this] { UpdateResult(); });
        Books.clear();
    }
}

void TAmazonSearchThread::UpdateResult()
{
    if (isInterruptionRequested())
        return;
    Driver().DeliverAmazonData(Books, BatchSize);
}
