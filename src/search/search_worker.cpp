#include "search/search_worker.h"

#include "libraries/http_client.h"
#include "search/main_thread_call.h"
#include "search/search_driver.h"

#include "util/thread_annotations.h"

TSearchWorker::TSearchWorker(TSearchDriver& driver, const TProxySettings& proxy)
    : driver_(driver), proxy_(proxy)
{
}

TSearchWorker::~TSearchWorker() = default;

void TSearchWorker::AbortTransfers()
{
    std::lock_guard lock(clientMutex_);
    aborted_ = true;
    if (client_ != nullptr)
        client_->Abort();
}

void TSearchWorker::run()
{
    try {
        THttpClient client;
        if (proxy_.use) {
            client.SetProxyServer(proxy_.server);
            client.SetProxyPort(proxy_.port);
            client.SetProxyUserName(proxy_.userName);
            client.SetProxyPassword(proxy_.password);
        }
        {
            std::lock_guard lock(clientMutex_);
            client_ = &client;
            if (aborted_)
                client.Abort();
        }
        try {
            Search(client);
        } catch (...) {
            // An error that ends the loop goes no further: the remaining
            // ISBNs simply get no answer.
        }
        std::lock_guard lock(clientMutex_);
        client_ = nullptr;
    } catch (...) {
        // Not even a client could be made; the report below still goes out.
    }
    NotifyFinished();
    // Whatever this thread did, the thread that deletes the worker sees done.
    MarkHandOver(this);
}

void TSearchWorker::WaitUntilEnded()
{
    wait();
    MarkTakeOver(this);
}

void TSearchWorker::NotifyFinished()
{
    try {
        CallOnMainThread(&driver_, [this] { driver_.SearchThreadFinished(this); });
    } catch (...) {
        // The driver's bookkeeping does not fail; nothing to add here.
    }
}
