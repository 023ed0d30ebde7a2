#pragma once

#include "calil/calil_library_directory.h"
#include "config/app_config.h"

#include <QObject>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class THttpClient;

// Asks Calil for the library systems of a prefecture and keeps the list in
// the cache (a list that cannot be kept is still returned). Raises HttpError
// or CalilError.
std::vector<TCalilSystem> FetchCalilLibraries(THttpClient& client, const QString& baseUrl, const QString& appKey,
                                              const QString& prefecture, const TCalilLibraryCache& cache);

// Where and how Calil's lists are fetched.
struct TCalilListSource
{
    QString baseUrl;
    QString appKey;
    QString cacheFolder;
    TProxySettings proxy;
};

// Fetches lists in the background for a window that must not freeze: each
// request on a thread of its own, the outcome delivered on the thread that
// owns the loader. Destroying the loader cuts its transfers short and waits
// for its threads; nothing is delivered after that.
class TCalilLibraryLoader final : public QObject
{
    Q_OBJECT

public:
    explicit TCalilLibraryLoader(TCalilListSource source, QObject* parent = nullptr);
    ~TCalilLibraryLoader() override;

    // Starts fetching the prefecture's list; a fetch of it already under way
    // is not started twice.
    void Load(const QString& prefecture);
    bool IsLoading(const QString& prefecture) const { return loading_.contains(prefecture); }

Q_SIGNALS:
    void Loaded(const QString& prefecture, const std::vector<TCalilSystem>& systems);
    void Failed(const QString& prefecture, const QString& message);

private:
    struct TJob;

    TCalilListSource source_;
    QStringList loading_;
    std::mutex jobsMutex_;
    std::vector<std::unique_ptr<TJob>> jobs_;
};
