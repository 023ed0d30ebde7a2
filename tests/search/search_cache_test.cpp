#include "cache/lookup_cache.h"
#include "config/app_config.h"
#include "results/results_table.h"
#include "search/recording_front_end.h"
#include "search/search_driver.h"
#include "support/search_environment.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

namespace {

const QString kKokoro = QStringLiteral("4101010137");
const QString kBotchan = QStringLiteral("4003101014");
const QString kMatsue = QStringLiteral("松江市立図書館");

// A search with a cache whose clock the test moves.
class SearchCacheTest : public ::testing::Test
{
protected:
    SearchEnvironment env;
    QDateTime now = QDateTime(QDate(2026, 12, 9), QTime(9, 0), Qt::UTC);
    TLookupCache cache{env.folder().file(QStringLiteral("lookups.sqlite")), [this] { return now; }};
    TAppConfig config;
    TResultsTable table;
    RecordingFrontEnd frontEnd;
    std::unique_ptr<TSearchDriver> driver;

    void SetUp() override
    {
        env.bookseller().AddBooks(FakeBookseller::SampleBooks());
        env.catalogue(CatalogueKind::Matsue).Hold(kKokoro, {QStringLiteral("1234567")});
        env.LoadSettings(config, {kMatsue});
        table.SetConfig(config);
        table.UpdateColumns();
        driver = std::make_unique<TSearchDriver>(config, table, frontEnd);
        driver->SetLookupCache(&cache);
    }
    void Search()
    {
        driver->ActionIsbnFindExecute({kKokoro, kBotchan});
        ASSERT_TRUE(WaitUntil([this] { return !driver->IsSearching(); }));
    }
    std::pair<int, int> Requests()
    {
        return {env.bookseller().RequestCount(), env.catalogue(CatalogueKind::Matsue).requestCount()};
    }
};

} // namespace

TEST_F(SearchCacheTest, FreshAnswersComeMarkedWithTheirDateAndStaleOnesAreAskedAgain)
{
    Search();
    EXPECT_EQ(Requests(), std::pair(1, 2));
    EXPECT_FALSE(table.GetCellFetched(5, 1).isValid()); // fetched by this search

    now = now.addDays(6);
    Search();
    EXPECT_EQ(Requests(), std::pair(1, 2));
    EXPECT_EQ(driver->DeliveredAnswers(), driver->ExpectedAnswers());
    EXPECT_EQ(table.GetCellText(5, 1), env.catalogue(CatalogueKind::Matsue).DetailUrlFor(kKokoro));
    EXPECT_EQ(table.GetCellText(5, 2), QStringLiteral("×"));
    EXPECT_EQ(table.GetCellFetched(5, 1), now.addDays(-6));
    EXPECT_EQ(table.GetCellFetched(1, 1), now.addDays(-6));
    EXPECT_EQ(table.GetCellText(1, 1).trimmed(), QStringLiteral("こころ (新潮文庫)"));

    // A week on the holdings are stale, the book data is not.
    now = now.addDays(2);
    Search();
    EXPECT_EQ(Requests(), std::pair(1, 4));
    EXPECT_FALSE(table.GetCellFetched(5, 1).isValid());
    EXPECT_TRUE(table.GetCellFetched(1, 1).isValid());
}
