#include "support/search_environment.h"

#include "config/app_config.h"
#include "config/endpoints.h"
#include "util/comma_text.h"

SearchEnvironment::SearchEnvironment()
{
    bookseller_.Start();
}

QString SearchEnvironment::WriteSettings(const QStringList& libraries, bool withAccessKey,
                                         const QString& extra)
{
    QString text = QStringLiteral("[AMAZON]\r\nAwsKeyID=%1\r\nSecretAccessKey=%2\r\n")
                       .arg(withAccessKey ? kAccessKeyId : QString(), kSecretAccessKey);
    text += QStringLiteral("[LIBRARY]\r\nLibraryNames=%1\r\n").arg(ToCommaText(libraries));
    text += QStringLiteral("[ENDPOINTS]\r\nAmazon=%1\r\nopenBD=%2\r\nNDL=%3\r\n")
                .arg(bookseller_.host(), openBd_.baseUrl(), ndl_.baseUrl());
    for (const CatalogueKind kind : AllCatalogueKinds()) {
        const FakeCatalogue& fake = catalogues_.at(kind);
        text += QStringLiteral("%1=%2\r\n").arg(fake.libraryName(), fake.baseUrl());
    }
    text += extra;
    const QString name = QStringLiteral("quillmoor.ini");
    // UTF-8 with its mark: the library names survive whatever the code page.
    folder_.write(name, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    return folder_.file(name);
}

void SearchEnvironment::LoadSettings(TAppConfig& config, const QStringList& libraries, bool withAccessKey,
                                     const QString& extra)
{
    config.Load(WriteSettings(libraries, withAccessKey, extra));
}
