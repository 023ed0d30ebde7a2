#include "cache/lookup_cache.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

const QDateTime kStart = QDateTime(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);
const TLookupCache::TSourceKey kOpenBd{QStringLiteral("openBD"), QStringLiteral("https://api.openbd.jp")};
const TLookupCache::TLibraryKey kMitaka{QStringLiteral("三鷹市立図書館"), Freshness::TVia::Catalogue};
const TLookupCache::TLibraryKey kMitakaCalil{QStringLiteral("三鷹市立図書館"), Freshness::TVia::Calil};

class LookupCacheTest : public ::testing::Test
{
protected:
    TempFolder folder;
    QString path = folder.file(QStringLiteral("quillmoor/lookups.sqlite"));
    QDateTime now = kStart;
    TLookupCache::Clock clock = [this] { return now; };

    static TLibraryAnswer Found(const QString& status = QString())
    {
        TLibraryAnswer answer = TLibraryAnswer::FromSearchResult(QStringLiteral("https://lib.example/r/1"));
        answer.Status = status;
        return answer;
    }
};

} // namespace

TEST_F(LookupCacheTest, KeepsAnswersAsLongAsTheyAreFreshAndNeverFailures)
{
    {
        TLookupCache cache(path, clock);
        ASSERT_TRUE(cache.IsUsable()) << cache.TakeProblem().toStdString();
        TBookData book;
        book.Title = QStringLiteral("こころ");
        book.Amount = QStringLiteral("432");
        book.PublicationDate = QStringLiteral("1952-02-18");
        cache.PutBook(kOpenBd, QStringLiteral("4101010137"), book);
        cache.PutHolding(kMitaka, QStringLiteral("4101010137"), Found());
        cache.PutHolding(kMitaka, QStringLiteral("4003101014"), TLibraryAnswer::Failure(QStringLiteral("HTTP 503")));
        cache.PutHolding(kMitakaCalil, QStringLiteral("4101010137"), Found(QStringLiteral("貸出可")));
        cache.PutHolding(kMitakaCalil, QStringLiteral("4003101014"), TLibraryAnswer());
    }
    const QStringList isbns{QStringLiteral("4101010137"), QStringLiteral("4003101014")};
    const auto seen = [&](const QDateTime& at) {
        now = at;
        TLookupCache cache(path, clock);
        return std::tuple{cache.FreshBooks(kOpenBd, isbns).size(),
                          cache.FreshHoldings(kMitaka, isbns).size(),
                          cache.FreshHoldings(kMitakaCalil, isbns).keys()};
    };

    // Written in one program, read in the next; the failure was not kept.
    TLookupCache cache(path, clock);
    const auto books = cache.FreshBooks(kOpenBd, isbns);
    ASSERT_EQ(books.size(), 1);
    EXPECT_EQ(books[isbns[0]].book.Title, QStringLiteral("こころ"));
    EXPECT_EQ(books[isbns[0]].fetched, kStart);
    EXPECT_EQ(cache.FreshHoldings(kMitaka, isbns).keys(), QStringList{isbns[0]});
    const auto calil = cache.FreshHoldings(kMitakaCalil, isbns);
    EXPECT_EQ(calil[isbns[0]].answer, Found(QStringLiteral("貸出可")));
    EXPECT_EQ(calil[isbns[1]].answer.Kind, TLibraryAnswer::TKind::NotHeld);

    // A lending status keeps six hours, "not held" and a catalogue's answer
    // a week, book data thirty days.
    EXPECT_EQ(seen(kStart.addSecs(6 * 3600 + 1)), (std::tuple{1, 1, QStringList{isbns[1]}}));
    EXPECT_EQ(seen(kStart.addDays(7).addSecs(1)), (std::tuple{1, 0, QStringList{}}));
    EXPECT_EQ(seen(kStart.addDays(30).addSecs(1)), (std::tuple{0, 0, QStringList{}}));
}

TEST_F(LookupCacheTest, ADamagedFileIsSetAsideAndANewOneServes)
{
    QDir(folder.path()).mkdir(QStringLiteral("quillmoor"));
    folder.write(QStringLiteral("quillmoor/lookups.sqlite"), QByteArray(8192, 'x'));
    TLookupCache cache(path, clock);
    EXPECT_TRUE(cache.IsUsable());
    const QString problem = cache.TakeProblem();
    EXPECT_TRUE(problem.contains(QStringLiteral("退避"))) << problem.toStdString();
    EXPECT_TRUE(cache.TakeProblem().isEmpty()); // told once
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".damaged-20261209-100000")));
    cache.PutHolding(kMitaka, QStringLiteral("4101010137"), Found());
    cache.Flush();
    EXPECT_EQ(cache.FreshHoldings(kMitaka, {QStringLiteral("4101010137")}).size(), 1);
}

TEST_F(LookupCacheTest, AFileHeldByAnotherProgramLeavesTheCacheOutOfTheWay)
{
    { TLookupCache create(path, clock); }
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
    other.setDatabaseName(path);
    ASSERT_TRUE(other.open());
    {
        QSqlQuery hold(other);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        TLookupCache cache(path, clock, /*busyTimeoutMs=*/100);
        cache.PutHolding(kMitaka, QStringLiteral("4101010137"), Found());
        cache.Flush();
        EXPECT_FALSE(cache.IsUsable());
        EXPECT_TRUE(cache.TakeProblem().contains(QStringLiteral("使用中")));
        EXPECT_TRUE(cache.FreshHoldings(kMitaka, {QStringLiteral("4101010137")}).isEmpty());
        ASSERT_TRUE(hold.exec(QStringLiteral("ROLLBACK")));
    }
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

TEST_F(LookupCacheTest, TwoWritersAtOnceLoseNothing)
{
    { TLookupCache create(path, clock); }
    const auto write = [this](const QString& library) {
        TLookupCache cache(path, clock);
        for (int i = 0; i < 400; ++i) {
            cache.PutHolding({library, Freshness::TVia::Catalogue}, QString::number(4000000000LL + i), Found());
            if (i % 20 == 19)
                cache.Flush();
        }
        EXPECT_TRUE(cache.IsUsable()) << cache.TakeProblem().toStdString();
    };
    std::thread first(write, QStringLiteral("a"));
    std::thread second(write, QStringLiteral("b"));
    first.join();
    second.join();
    QStringList isbns;
    for (int i = 0; i < 400; ++i)
        isbns.append(QString::number(4000000000LL + i));
    TLookupCache cache(path, clock);
    EXPECT_EQ(cache.FreshHoldings({QStringLiteral("a"), Freshness::TVia::Catalogue}, isbns).size(), 400);
    EXPECT_EQ(cache.FreshHoldings({QStringLiteral("b"), Freshness::TVia::Catalogue}, isbns).size(), 400);

    cache.Clear();
    EXPECT_TRUE(cache.FreshHoldings({QStringLiteral("a"), Freshness::TVia::Catalogue}, isbns).isEmpty());
}
