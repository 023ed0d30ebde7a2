#pragma once

#include "config/book_data_source.h"
#include "config/endpoints.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>

class TLibraryList;

// The proxy settings as one consistent value, taken when a search starts.
struct TProxySettings
{
    bool use = false;
    QString server;
    qint32 port = 0;
    QString userName;
    QString password;
};

// The bookseller's key pair as one value: a batch is never signed with the
// id of one pair and the secret of another.
struct TAwsKeys
{
    QString accessKeyId;
    QString secretAccessKey;
};

// The settings of one run: proxy, the bookseller's key pair, the selected
// libraries in column order, the source of the book columns, Calil's key,
// the endpoints, and the registry of libraries.
//
// Loaded once when the program starts and saved once when it ends; dialogs
// change only the object in memory. Workers read it while the main thread
// may be confirming a dialog, so every accessor takes the object's lock and
// no value is ever read half-written.
class TAppConfig final
{
public:
    TAppConfig();
    ~TAppConfig();
    TAppConfig(const TAppConfig&) = delete;
    TAppConfig& operator=(const TAppConfig&) = delete;

    // Reads every setting from the file. A missing file gives the defaults;
    // a file that cannot be read raises FileError, one that cannot be a
    // settings file SettingsFileRefused, and the settings stay as they were.
    // Library names that no backend bears, and repeats of a name, are
    // dropped.
    void Load(const QString& fileName);
    // Writes every setting into the file, keeping whatever else it holds.
    // Raises FileError when the file cannot be written, SettingsFileRefused
    // when what is there cannot be a settings file; the old file is then
    // left as it was.
    void Save(const QString& fileName) const;

    bool GetProxyUse() const;
    void SetProxyUse(bool use);
    QString GetProxyServer() const;
    void SetProxyServer(const QString& server);
    qint32 GetProxyPort() const;
    void SetProxyPort(qint32 port);
    QString GetProxyUserName() const;
    void SetProxyUserName(const QString& userName);
    QString GetProxyPassword() const;
    void SetProxyPassword(const QString& password);
    TProxySettings GetProxySettings() const;
    void SetProxySettings(const TProxySettings& proxy);

    QString GetAwsKeyID() const;
    void SetAwsKeyID(const QString& keyId);
    QString GetSecretAccessKey() const;
    void SetSecretAccessKey(const QString& secretKey);
    TAwsKeys GetAwsKeys() const;
    void SetAwsKeys(const TAwsKeys& keys);

    QStringList GetLibraryNames() const;
    void SetLibraryNames(const QStringList& names);

    // The user's application key for Calil; empty: Calil is not used.
    QString GetCalilAppKey() const;
    void SetCalilAppKey(const QString& appKey);
    // Whether a search asks this library through Calil: with a key, every
    // library with a system id; a library known through Calil only always
    // (without a key it then fails, and says why). Main thread only.
    bool IsAskedThroughCalil(const QString& libraryName) const;
    // Who fills the book columns; the bookseller unless chosen otherwise.
    TBookDataSource GetBookDataSource() const;
    void SetBookDataSource(TBookDataSource source);

    // The registry of backends; owned by this object.
    TLibraryList* GetLibraryList() const { return libraries_.get(); }
    // Read at load, never written back by the program; read-only afterwards.
    const TEndpoints& GetEndpoints() const { return endpoints_; }

private:
    mutable std::mutex mutex_;
    TProxySettings proxy_;
    QString awsKeyId_;
    QString secretAccessKey_;
    QStringList libraryNames_;
    QString calilAppKey_;
    TBookDataSource bookDataSource_ = TBookDataSource::Amazon;
    TEndpoints endpoints_;
    std::unique_ptr<TLibraryList> libraries_;
};
