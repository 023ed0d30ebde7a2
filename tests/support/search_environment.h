#pragma once

#include "support/fake_bookseller.h"
#include "support/fake_catalogue.h"
#include "support/fake_ndl.h"
#include "support/fake_openbd.h"
#include "support/temp_folder.h"

#include <QString>
#include <QStringList>

class TAppConfig;

// Everything a search talks to, on loopback: the eight fake catalogues, the
// fake bookseller, fake openBD and fake NDL Search, and a settings file that
// points the program at them with the bookseller's keys and a choice of
// libraries.
class SearchEnvironment final
{
public:
    static inline const QString kAccessKeyId = QStringLiteral("AKIAQUILLMOORTEST");
    static inline const QString kSecretAccessKey = QStringLiteral("quillmoor/secret+key=");

    SearchEnvironment();

    FakeCatalogue& catalogue(CatalogueKind kind) { return catalogues_.at(kind); }
    FakeBookseller& bookseller() { return bookseller_; }
    FakeOpenBd& openBd() { return openBd_; }
    FakeNdl& ndl() { return ndl_; }

    // The extra settings lines that choose the keyless book-data source.
    static inline const QString kOpenBdSource = QStringLiteral("[BOOKDATA]\r\nSource=openBD\r\n");

    // Writes the settings file: endpoints of every fake, the keys (an empty
    // access key id when asked), the libraries in this order, and any extra
    // lines (e.g. a [PROXY] section).
    QString WriteSettings(const QStringList& libraries, bool withAccessKey = true,
                          const QString& extra = QString());
    // Loads those settings into a settings object.
    void LoadSettings(TAppConfig& config, const QStringList& libraries, bool withAccessKey = true,
                      const QString& extra = QString());

    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
    FakeCatalogueSet catalogues_;
    FakeBookseller bookseller_{kAccessKeyId, kSecretAccessKey};
    FakeOpenBd openBd_;
    FakeNdl ndl_;
};
