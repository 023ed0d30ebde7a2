#pragma once

#include "config/app_config.h"

#include <QThread>

#include <mutex>

class THttpClient;
class TSearchDriver;

// What both workers share: an HTTP client of their own, set up with the
// proxy settings taken when the search started and released on every way
// out; a report to the driver as the very last act, on every way out; and a
// way for the driver to cut a transfer short when the program closes.
class TSearchWorker : public QThread
{
    Q_OBJECT

public:
    ~TSearchWorker() override;

    // Ends the transfer in progress and every later one. Any thread; used
    // only when the program closes ("検索中止" never aborts a request).
    void AbortTransfers();

    // Waits until the thread has ended; after it the object may be deleted.
    void WaitUntilEnded();

protected:
    TSearchWorker(TSearchDriver& driver, const TProxySettings& proxy);

    // The worker's own loop, with its client. It checks
    // isInterruptionRequested() before and after every request.
    virtual void Search(THttpClient& client) = 0;

    TSearchDriver& Driver() const { return driver_; }

private:
    void run() final;
    void NotifyFinished();

    TSearchDriver& driver_;
    const TProxySettings proxy_;
    std::mutex clientMutex_;
    THttpClient* client_ = nullptr; // while run() holds one
    bool aborted_ = false;
};
