#include "cli/run_cli.h"
#include "support/scoped_cache_home.h"
#include "support/search_environment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

const QString kMatsue = QStringLiteral("松江市立図書館");
const QString kMitaka = QStringLiteral("三鷹市立図書館");

// The real program; it inherits the test's own cache folder.
class CliCache : public ::testing::Test
{
protected:
    ScopedCacheHome cacheHome;
    SearchEnvironment env;
    QString config;

    void SetUp() override
    {
        env.bookseller().AddBooks(FakeBookseller::SampleBooks());
        env.catalogue(CatalogueKind::Matsue).Hold(QStringLiteral("4101010137"), {QStringLiteral("1234567")});
        config = env.WriteSettings({kMatsue, kMitaka});
    }

    CliOutcome Search(const QByteArray& memo, const QStringList& extra = {})
    {
        return FinishCli(StartCli(QStringList{QStringLiteral("--config"), config, QStringLiteral("--quiet")} + extra, memo));
    }
    // Requests every fake has received so far.
    int Requests()
    {
        int count = env.bookseller().RequestCount();
        for (const CatalogueKind kind : {CatalogueKind::Matsue, CatalogueKind::Mitaka})
            count += env.catalogue(kind).requestCount();
        return count;
    }
};

const QByteArray kMemo = "4101010137\n4003101014\n";

} // namespace

TEST_F(CliCache, ASecondSearchAsksNothingAndWritesTheSameCsvUntilRefreshed)
{
    const CliOutcome first = Search(kMemo);
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const int asked = Requests();
    EXPECT_EQ(asked, 1 + 2 + 2); // one bookseller batch, two ISBNs at each catalogue

    const CliOutcome second = Search(kMemo);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_EQ(Requests(), asked);
    EXPECT_EQ(second.out, first.out);

    // A grown list asks only for the new book.
    EXPECT_EQ(Search(kMemo + "4061313592\n").exitCode, 0);
    EXPECT_EQ(Requests(), asked + 1 + 2);

    // --refresh asks everything again; --no-cache takes nothing either.
    EXPECT_EQ(Search(kMemo, {QStringLiteral("--refresh")}).out, first.out);
    EXPECT_EQ(Requests(), 2 * asked + 3);
    EXPECT_EQ(Search(kMemo, {QStringLiteral("--no-cache")}).out, first.out);
    EXPECT_EQ(Requests(), 3 * asked + 3);
}

TEST_F(CliCache, FailuresAreAskedAgainNextTime)
{
    env.catalogue(CatalogueKind::Mitaka).AnswerStatus(503);
    EXPECT_EQ(Search(kMemo).exitCode, 4);
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 2);
    env.catalogue(CatalogueKind::Mitaka).AnswerStatus(0);
    const CliOutcome second = Search(kMemo);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 4);
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 2);
}

TEST_F(CliCache, ADamagedOrBusyCacheNeverStopsTheSearch)
{
    QDir().mkpath(cacheHome.folder());
    QFile damaged(cacheHome.lookupCacheFile());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    const CliOutcome repaired = Search(kMemo);
    EXPECT_EQ(repaired.exitCode, 0);
    EXPECT_TRUE(repaired.err.contains(QStringLiteral("退避"))) << repaired.err.toStdString();
    EXPECT_FALSE(QDir(cacheHome.folder()).entryList({QStringLiteral("lookups.sqlite.damaged-*")}).isEmpty());

    // Another program holds the file: this search runs without it, and says so.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        other.setDatabaseName(cacheHome.lookupCacheFile());
        ASSERT_TRUE(other.open());
        QSqlQuery hold(other);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        const int before = Requests();
        const CliOutcome busy = Search(kMemo + "4061313592\n");
        EXPECT_EQ(busy.exitCode, 0);
        EXPECT_TRUE(busy.err.contains(QStringLiteral("使用中"))) << busy.err.toStdString();
        EXPECT_EQ(Requests(), before + 1 + 2);
        hold.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
}

TEST_F(CliCache, TwoProgramsWritingAtOnceLoseNothing)
{
    QByteArray firstHalf;
    QByteArray secondHalf;
    for (int i = 0; i < 30; ++i)
        (i % 2 ? secondHalf : firstHalf) += QStringLiteral("40000000%1\n").arg(i, 2, 10, QChar(u'0')).toLatin1();
    QProcess* one = StartCli({QStringLiteral("--config"), config, QStringLiteral("--quiet")}, firstHalf);
    QProcess* two = StartCli({QStringLiteral("--config"), config, QStringLiteral("--quiet")}, secondHalf);
    EXPECT_EQ(FinishCli(one).exitCode, 0);
    EXPECT_EQ(FinishCli(two).exitCode, 0);
    const int asked = Requests();
    const CliOutcome all = Search(firstHalf + secondHalf);
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    // The bookseller knows none of these books: only their holdings are kept.
    EXPECT_EQ(env.catalogue(CatalogueKind::Matsue).requestCount(), 30);
    EXPECT_EQ(env.catalogue(CatalogueKind::Mitaka).requestCount(), 30);
    EXPECT_EQ(Requests() - asked, 3); // the bookseller's batches of ten, again
}
