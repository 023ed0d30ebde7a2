#include "calil/calil_library_fetch.h"

#include "calil/calil_urls.h"
#include "libraries/http_client.h"
#include "util/error.h"

#include <QMetaObject>

std::vector<TCalilSystem> FetchCalilLibraries(THttpClient& client, const QString& baseUrl, const QString& appKey,
                                              const QString& prefecture, const TCalilLibraryCache& cache)
{
    const QByteArray body = client.Get(CalilLibraryUrl(baseUrl, appKey, prefecture));
    std::vector<TCalilSystem> systems = ParseCalilLibraryList(body, prefecture);
    try {
        cache.Write(prefecture, systems);
    } catch (const FileError&) {
        // Fetched again next time; the list in hand is as good.
    }
    return systems;
}

struct TCalilLibraryLoader::TJob
{
    THttpClient client;
    std::thread thread;
};

TCalilLibraryLoader::TCalilLibraryLoader(TCalilListSource source, QObject* parent)
    : QObject(parent), source_(std::move(source))
{
}

TCalilLibraryLoader::~TCalilLibraryLoader()
{
    std::lock_guard lock(jobsMutex_);
    for (const auto& job : jobs_)
        job->client.Abort();
    for (const auto& job : jobs_)
        job->thread.join();
}

void TCalilLibraryLoader::Load(const QString& prefecture)
{
    if (IsLoading(prefecture))
        return;
    loading_.append(prefecture);
    auto job = std::make_unique<TJob>();
    if (source_.proxy.use) {
        job->client.SetProxyServer(source_.proxy.server);
        job->client.SetProxyPort(source_.proxy.port);
        job->client.SetProxyUserName(source_.proxy.userName);
        job->client.SetProxyPassword(source_.proxy.password);
    }
    TJob* running = job.get();
    const TCalilListSource source = source_;
    const auto finish = [this, prefecture](std::vector<TCalilSystem> systems, QString failure) {
        loading_.removeAll(prefecture);
        if (failure.isEmpty())
            Q_EMIT Loaded(prefecture, systems);
        else
            Q_EMIT Failed(prefecture, failure);
    };
    std::lock_guard lock(jobsMutex_);
    running->thread = std::thread([this, running, source, prefecture, finish] {
        std::vector<TCalilSystem> systems;
        QString failure;
        try {
            systems = FetchCalilLibraries(running->client, source.baseUrl, source.appKey, prefecture,
                                          TCalilLibraryCache(source.cacheFolder));
        } catch (const QuillmoorError& error) {
            failure = error.message();
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
        if (running->client.IsAborted())
            return; // the loader is going: nobody to tell
        QMetaObject::invokeMethod(this, [finish, systems = std::move(systems), failure] { finish(systems, failure); },
                                  Qt::QueuedConnection);
    });
    jobs_.push_back(std::move(job));
}
