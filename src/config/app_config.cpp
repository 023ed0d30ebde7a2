#include "config/app_config.h"

#include "calil/calil_system_id.h"
#include "config/ini_file.h"
#include "config/quoted_value.h"
#include "config/settings_keys.h"
#include "libraries/library_list.h"
#include "util/comma_text.h"

#include <QSet>

TAppConfig::TAppConfig()
    : libraries_(std::make_unique<TLibraryList>(endpoints_))
{
    proxy_.server = SettingsKeys::kDefaultProxyServer;
    proxy_.port = SettingsKeys::kDefaultProxyPort;
}

TAppConfig::~TAppConfig() = default;

namespace {

// A selected library known through Calil only, as the settings keep it:
// "systemid:prefecture:name". The id and the prefecture hold no colon, so
// the name may.
QString StoredCalilLibrary(const TLibraryRecord& record)
{
    return record.CalilSystemId + u':' + record.Prefecture + u':' + record.Name;
}

void RegisterStoredCalilLibraries(TLibraryList& libraries, const QString& stored)
{
    for (const QString& item : FromCommaText(stored)) {
        const qsizetype first = item.indexOf(u':');
        const qsizetype second = first < 0 ? -1 : item.indexOf(u':', first + 1);
        if (second < 0)
            continue;
        // The registry refuses an id that is not valid and a name that is
        // another library's; such an entry is dropped with its name.
        libraries.AddCalilLibrary(item.mid(second + 1), item.mid(first + 1, second - first - 1), item.left(first));
    }
}

} // namespace

void TAppConfig::Load(const QString& fileName)
{
    using namespace SettingsKeys;
    const TIniFile ini = TIniFile::FromFile(fileName);

    TProxySettings proxy;
    proxy.use = ini.ReadBool(kProxy, kUse, false);
    proxy.server = ini.ReadString(kProxy, kServer, kDefaultProxyServer);
    proxy.port = ini.ReadInteger(kProxy, kPort, kDefaultProxyPort);
    proxy.userName = Unquoted(ini.ReadString(kProxy, kUserName, QString()));
    proxy.password = Unquoted(ini.ReadString(kProxy, kPassword, QString()));

    // The libraries chosen from Calil's list come back without a network.
    RegisterStoredCalilLibraries(*libraries_, ini.ReadString(kCalil, kCalilLibraries, QString()));

    // Only names of known libraries are kept, each once: a repeated name
    // would start two workers on one catalogue and fill one column twice.
    QStringList names;
    QSet<QString> seen;
    const auto& known = libraries_->GetRecords();
    for (const QString& name : FromCommaText(ini.ReadString(kLibrary, kLibraryNames, QString()))) {
        if (known.contains(name) && !seen.contains(name)) {
            names.append(name);
            seen.insert(name);
        }
    }

    std::unique_lock lock(mutex_);
    proxy_ = proxy;
    awsKeyId_ = ini.ReadString(kAmazon, kAwsKeyId, QString());
    secretAccessKey_ = ini.ReadString(kAmazon, kSecretAccessKey, QString());
    libraryNames_ = names;
    calilAppKey_ = ini.ReadString(kCalil, kCalilAppKey, QString());
    bookDataSource_ = BookDataSourceFromIniValue(ini.ReadString(kBookData, kSource, QString()));
    endpoints_.ClearOverrides();
    for (const QString& key : ini.KeyNames(kEndpoints)) {
        for (const QString& known : TEndpoints::Defaults().keys()) {
            if (key.compare(known, Qt::CaseInsensitive) == 0)
                endpoints_.SetOverride(known, ini.ReadString(kEndpoints, key, QString()));
        }
    }
}

void TAppConfig::Save(const QString& fileName) const
{
    using namespace SettingsKeys;
    TIniFile ini = TIniFile::FromFile(fileName);

    std::unique_lock lock(mutex_);
    ini.WriteBool(kProxy, kUse, proxy_.use);
    ini.WriteString(kProxy, kServer, proxy_.server);
    ini.WriteInteger(kProxy, kPort, proxy_.port);
    // Stored as typed: a space at either end is part of the credential.
    ini.WriteString(kProxy, kUserName, QuotedIfTrimmed(proxy_.userName));
    ini.WriteString(kProxy, kPassword, QuotedIfTrimmed(proxy_.password));
    ini.WriteString(kAmazon, kAwsKeyId, awsKeyId_);
    ini.WriteString(kAmazon, kSecretAccessKey, secretAccessKey_);
    ini.WriteString(kLibrary, kLibraryNames, ToCommaText(libraryNames_));
    // Sections beyond the three of old are written only when they hold
    // something.
    QStringList calilLibraries;
    for (const QString& name : std::as_const(libraryNames_)) {
        const TLibraryRecord* record = libraries_->FindRecord(name);
        if (record != nullptr && !record->IsBuiltIn())
            calilLibraries.append(StoredCalilLibrary(*record));
    }
    if (calilAppKey_.isEmpty())
        ini.DeleteKey(kCalil, kCalilAppKey);
    else
        ini.WriteString(kCalil, kCalilAppKey, calilAppKey_);
    if (calilLibraries.isEmpty())
        ini.DeleteKey(kCalil, kCalilLibraries);
    else
        ini.WriteString(kCalil, kCalilLibraries, ToCommaText(calilLibraries));
    // The bookseller is the default: a file that never chose otherwise
    // stays as it always was, and one that goes back to it loses the entry.
    if (bookDataSource_ == TBookDataSource::Amazon)
        ini.DeleteKey(kBookData, kSource);
    else
        ini.WriteString(kBookData, kSource, BookDataSourceIniValue(bookDataSource_));
    lock.unlock();

    ini.SaveToFile(fileName);
}

bool TAppConfig::GetProxyUse() const { std::unique_lock lock(mutex_); return proxy_.use; }
void TAppConfig::SetProxyUse(bool use) { std::unique_lock lock(mutex_); proxy_.use = use; }
QString TAppConfig::GetProxyServer() const { std::unique_lock lock(mutex_); return proxy_.server; }
void TAppConfig::SetProxyServer(const QString& server) { std::unique_lock lock(mutex_); proxy_.server = server; }
qint32 TAppConfig::GetProxyPort() const { std::unique_lock lock(mutex_); return proxy_.port; }
void TAppConfig::SetProxyPort(qint32 port) { std::unique_lock lock(mutex_); proxy_.port = port; }
QString TAppConfig::GetProxyUserName() const { std::unique_lock lock(mutex_); return proxy_.userName; }
void TAppConfig::SetProxyUserName(const QString& userName) { std::unique_lock lock(mutex_); proxy_.userName = userName; }
QString TAppConfig::GetProxyPassword() const { std::unique_lock lock(mutex_); return proxy_.password; }
void TAppConfig::SetProxyPassword(const QString& password) { std::unique_lock lock(mutex_); proxy_.password = password; }
TProxySettings TAppConfig::GetProxySettings() const { std::unique_lock lock(mutex_); return proxy_; }
void TAppConfig::SetProxySettings(const TProxySettings& proxy) { std::unique_lock lock(mutex_); proxy_ = proxy; }

QString TAppConfig::GetAwsKeyID() const { std::unique_lock lock(mutex_); return awsKeyId_; }
void TAppConfig::SetAwsKeyID(const QString& keyId) { std::unique_lock lock(mutex_); awsKeyId_ = keyId; }
QString TAppConfig::GetSecretAccessKey() const { std::unique_lock lock(mutex_); return secretAccessKey_; }
void TAppConfig::SetSecretAccessKey(const QString& secretKey) { std::unique_lock lock(mutex_); secretAccessKey_ = secretKey; }

TAwsKeys TAppConfig::GetAwsKeys() const
{
    std::unique_lock lock(mutex_);
    return {awsKeyId_, secretAccessKey_};
}

void TAppConfig::SetAwsKeys(const TAwsKeys& keys)
{
    std::unique_lock lock(mutex_);
    awsKeyId_ = keys.accessKeyId;
    secretAccessKey_ = keys.secretAccessKey;
}

TBookDataSource TAppConfig::GetBookDataSource() const { std::unique_lock lock(mutex_); return bookDataSource_; }
void TAppConfig::SetBookDataSource(TBookDataSource source) { std::unique_lock lock(mutex_); bookDataSource_ = source; }

QStringList TAppConfig::GetLibraryNames() const { std::unique_lock lock(mutex_); return libraryNames_; }
void TAppConfig::SetLibraryNames(const QStringList& names) { std::unique_lock lock(mutex_); libraryNames_ = names; }

QString TAppConfig::GetCalilAppKey() const { std::unique_lock lock(mutex_); return calilAppKey_; }
void TAppConfig::SetCalilAppKey(const QString& appKey) { std::unique_lock lock(mutex_); calilAppKey_ = appKey; }

bool TAppConfig::IsAskedThroughCalil(const QString& libraryName) const
{
    const TLibraryRecord* record = libraries_->FindRecord(libraryName);
    if (record == nullptr)
        return false;
    if (!record->IsBuiltIn())
        return true;
    return !GetCalilAppKey().isEmpty() && IsValidCalilSystemId(record->CalilSystemId);
}
