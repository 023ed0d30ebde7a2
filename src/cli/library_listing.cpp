#include "cli/library_listing.h"

#include "calil/calil_library_fetch.h"
#include "calil/calil_library_offer.h"
#include "cli/usage_error.h"
#include "config/app_config.h"
#include "config/cache_location.h"
#include "libraries/http_client.h"
#include "libraries/library_list.h"
#include "libraries/prefectures.h"
#include "util/control_characters.h"

#include <algorithm>
#include <optional>

namespace {

// Calil's kept lists, the built-ins' ids confirmed by them; only with a key.
QMap<QString, std::vector<TCalilSystem>> KeptCalilLists(TAppConfig& config)
{
    QMap<QString, std::vector<TCalilSystem>> lists;
    if (config.GetCalilAppKey().isEmpty())
        return lists;
    const TCalilLibraryCache cache(DefaultCacheFolder());
    for (const QString& prefecture : cache.Prefectures()) {
        if (std::optional<std::vector<TCalilSystem>> systems = cache.Read(prefecture)) {
            ConfirmBuiltInSystemIds(*config.GetLibraryList(), *systems);
            lists.insert(prefecture, *systems);
        }
    }
    return lists;
}

std::vector<TCalilSystem> FetchList(const TAppConfig& config, const QString& prefecture)
{
    THttpClient client;
    const TProxySettings proxy = config.GetProxySettings();
    if (proxy.use) {
        client.SetProxyServer(proxy.server);
        client.SetProxyPort(proxy.port);
        client.SetProxyUserName(proxy.userName);
        client.SetProxyPassword(proxy.password);
    }
    return FetchCalilLibraries(client, config.GetEndpoints().CalilBaseUrl(), config.GetCalilAppKey(), prefecture,
                               TCalilLibraryCache(DefaultCacheFolder()));
}

int CodeOf(const QString& prefecture)
{
    const TPrefecture* known = FindPrefecture(prefecture);
    return known != nullptr ? known->code : 99;
}

} // namespace

std::vector<TListedLibrary> ListLibraries(TAppConfig& config, const QString& prefecture)
{
    if (!prefecture.isEmpty() && FindPrefecture(prefecture) == nullptr)
        throw UsageError(QStringLiteral("unknown prefecture: %1").arg(prefecture));
    QMap<QString, std::vector<TCalilSystem>> lists = KeptCalilLists(config);
    if (!prefecture.isEmpty() && !config.GetCalilAppKey().isEmpty() && !lists.contains(prefecture)) {
        std::vector<TCalilSystem> fetched = FetchList(config, prefecture);
        ConfirmBuiltInSystemIds(*config.GetLibraryList(), fetched);
        lists.insert(prefecture, fetched);
    }

    const TLibraryList& libraries = *config.GetLibraryList();
    std::vector<TListedLibrary> listed;
    for (const TLibraryRecord& record : libraries.GetRecords()) {
        const QString how = config.IsAskedThroughCalil(record.Name) ? QStringLiteral("calil:") + record.CalilSystemId
                                                                     : QStringLiteral("catalogue");
        listed.push_back({record.Name, record.Prefecture, how});
    }
    for (auto list = lists.cbegin(); list != lists.cend(); ++list) {
        for (const TCalilSystem& system : OfferableCalilSystems(libraries, list.value())) {
            if (libraries.FindRecord(system.name) == nullptr)
                listed.push_back({system.name, list.key(), QStringLiteral("calil:") + system.systemId});
        }
    }
    if (!prefecture.isEmpty())
        std::erase_if(listed, [&](const TListedLibrary& library) { return library.prefecture != prefecture; });
    std::sort(listed.begin(), listed.end(), [](const TListedLibrary& a, const TListedLibrary& b) {
        const int codeA = CodeOf(a.prefecture);
        const int codeB = CodeOf(b.prefecture);
        return codeA != codeB ? codeA < codeB : a.name < b.name;
    });
    return listed;
}

QString ListingText(const std::vector<TListedLibrary>& libraries)
{
    QString text;
    for (const TListedLibrary& library : libraries) {
        // Names from Calil: one line each, nothing a terminal takes as a command.
        QString name = ReplaceControlCharacters(library.name);
        name.replace(u'\t', u' ');
        text += name + u'\t' + library.prefecture + u'\t' + library.how + u'\n';
    }
    return text;
}

void SelectLibraries(TAppConfig& config, const QStringList& names)
{
    TLibraryList& libraries = *config.GetLibraryList();
    std::optional<QMap<QString, std::vector<TCalilSystem>>> lists;
    for (const QString& name : names) {
        if (libraries.FindRecord(name) != nullptr)
            continue;
        if (!lists)
            lists = KeptCalilLists(config);
        bool found = false;
        for (auto list = lists->cbegin(); list != lists->cend() && !found; ++list) {
            for (const TCalilSystem& system : OfferableCalilSystems(libraries, list.value())) {
                if (system.name == name) {
                    found = libraries.AddCalilLibrary(name, list.key(), system.systemId);
                    break;
                }
            }
        }
        if (!found)
            throw UsageError(QStringLiteral("unknown library: %1").arg(name));
    }
    config.SetLibraryNames(names);
}
