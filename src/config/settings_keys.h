#pragma once

#include <QString>

// The one table of sections, keys and defaults of the settings file.
namespace SettingsKeys {

inline const QString kProxy = QStringLiteral("PROXY");
inline const QString kUse = QStringLiteral("Use");
inline const QString kServer = QStringLiteral("Server");
inline const QString kPort = QStringLiteral("Port");
inline const QString kUserName = QStringLiteral("UserName");
inline const QString kPassword = QStringLiteral("Password");

inline const QString kAmazon = QStringLiteral("AMAZON");
inline const QString kAwsKeyId = QStringLiteral("AwsKeyID");
inline const QString kSecretAccessKey = QStringLiteral("SecretAccessKey");

inline const QString kLibrary = QStringLiteral("LIBRARY");
inline const QString kLibraryNames = QStringLiteral("LibraryNames");

// Calil: written only when it holds something, so that a file written from
// scratch stays as it always was. Libraries lists the selected libraries
// known through Calil only, each as "systemid:prefecture:name".
inline const QString kCalil = QStringLiteral("CALIL");
inline const QString kCalilAppKey = QStringLiteral("AppKey");
inline const QString kCalilLibraries = QStringLiteral("Libraries");
// Written only when it holds something other than its default, so that a
// file written from scratch holds the three sections above and no more.
inline const QString kBookData = QStringLiteral("BOOKDATA");
inline const QString kSource = QStringLiteral("Source");

// Read at load to point catalogues or the bookseller elsewhere; never written.
inline const QString kEndpoints = QStringLiteral("ENDPOINTS");

inline const QString kDefaultProxyServer = QStringLiteral("127.0.0.1");
inline constexpr qint32 kDefaultProxyPort = 8080;

} // namespace SettingsKeys
