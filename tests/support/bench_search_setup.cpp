#include "support/bench_search_setup.h"

#include "support/search_environment.h"

BenchSearch PrepareBenchSearch(SearchEnvironment& env, int isbns, int delayMs, int libraryCount)
{
    BenchSearch search;
    search.isbns = isbns;
    search.delayMs = delayMs;
    const std::chrono::milliseconds delay(delayMs);
    env.bookseller().SetAnswerDelay(delay);

    QStringList libraries;
    QStringList keys;
    for (int i = 0; i < isbns; ++i) {
        const QString key = QStringLiteral("4%1").arg(i, 8, 10, QChar(u'0')) + u'0';
        keys.append(key);
        search.memo += key.toLatin1() + '\n';
        env.bookseller().AddBook({key, QStringLiteral("本 %1").arg(i), QStringLiteral("1000"),
                                  QStringLiteral("2020-01-01"), QString::number(i + 1), QString()});
    }
    for (const CatalogueKind kind : AllCatalogueKinds()) {
        FakeCatalogue& catalogue = env.catalogue(kind);
        catalogue.SetDelay(delay);
        for (int i = 0; i < isbns; i += 3)
            catalogue.Hold(keys[i], SampleRecordsOf(kind));
        if (libraries.size() < libraryCount)
            libraries.append(LibraryNameOf(kind));
    }
    search.libraries = int(libraries.size());
    search.config = env.WriteSettings(libraries);
    return search;
}
