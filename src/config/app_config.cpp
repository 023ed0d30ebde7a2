#include "config/app_config.h"

#include "config/ini_file.h"
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

void TAppConfig::Load(const QString& fileName)
{
    using namespace SettingsKeys;
    const TIniFile ini = TIniFile::FromFile(fileName);

    TProxySettings proxy;
    proxy.use = ini.ReadBool(kProxy, kUse, false);
    proxy.server = ini.ReadString(kProxy, kServer, kDefaultProxyServer);
    proxy.port = ini.ReadInteger(kProxy, kPort, kDefaultProxyPort);
    proxy.userName = ini.ReadString(kProxy, kUserName, QString());
    proxy.password = ini.ReadString(kProxy, kPassword, QString());

    // Only names of registered backends are kept, each once: a repeated name
    // would start two workers on one catalogue and fill one column twice.
    QStringList names;
    QSet<QString> seen;
    const auto& known = libraries_->GetNameMap();
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
    ini.WriteString(kProxy, kUserName, proxy_.userName);
    ini.WriteString(kProxy, kPassword, proxy_.password);
    ini.WriteString(kAmazon, kAwsKeyId, awsKeyId_);
    ini.WriteString(kAmazon, kSecretAccessKey, secretAccessKey_);
    ini.WriteString(kLibrary, kLibraryNames, ToCommaText(libraryNames_));
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
