#include "calil/calil_budget.h"
#include "calil/calil_clock.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(CalilBudget, IsSharedByEveryProgramThatSpendsFromTheSameFile)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("cache/calil-budget"));
    const auto clock = std::make_shared<TCalilClock>();
    const QString key = QStringLiteral("key-1");

    // Two programs at once, each spending in small steps until nothing is left.
    std::atomic<int> spent{0};
    const auto program = [&] {
        TCalilBudget budget(file, key, clock);
        for (int step = 0; step < 40; ++step)
            spent += budget.Spend([](int left) { return std::min(left, 29); });
    };
    std::thread first(program);
    std::thread second(program);
    first.join();
    second.join();
    EXPECT_EQ(spent.load(), kCalilRequestsPerHour);

    // A later run sees the hour spent; another key has its own hour; the
    // key itself is nowhere in the file.
    const TCalilBudget later(file, key, clock);
    EXPECT_EQ(later.Left(), 0);
    const qint64 now = clock->NowMs();
    EXPECT_GT(later.TimeWhenLeft(10), now + kCalilBudgetWindowMs - 60'000);
    EXPECT_LE(later.TimeWhenLeft(10), now + kCalilBudgetWindowMs);
    EXPECT_EQ(TCalilBudget(file, QStringLiteral("key-2"), clock).Left(), kCalilRequestsPerHour);
    EXPECT_FALSE(folder.read(QStringLiteral("cache/calil-budget")).contains("key-1"));

    // A file that is not ours is written over, not trusted.
    folder.write(QStringLiteral("cache/calil-budget"), "garbage\n1 2 3\n");
    TCalilBudget fresh(file, key, clock);
    EXPECT_EQ(fresh.Left(), kCalilRequestsPerHour);
    EXPECT_EQ(fresh.Spend([](int) { return 5; }), 5);
    EXPECT_EQ(TCalilBudget(file, key, clock).Left(), kCalilRequestsPerHour - 5);
}

TEST(CalilBudget, RequestsLeaveTheBudgetAnHourAfterTheyWereSpent)
{
    TempFolder folder;
    const auto clock = TCalilClock::Accelerated(3600.0 * 2); // an hour takes half a second
    TCalilBudget budget(folder.file(QStringLiteral("b")), QStringLiteral("k"), clock);
    const qint64 before = clock->NowMs();
    EXPECT_EQ(budget.Spend([](int) { return 600; }), 600);
    const qint64 after = clock->NowMs();
    EXPECT_EQ(budget.Spend([](int left) { return left + 100; }), 400); // never more than is left
    EXPECT_EQ(budget.Left(), 0);
    // 600 come back when the first spending leaves the hour, all of it later.
    EXPECT_GE(budget.TimeWhenLeft(600), before + kCalilBudgetWindowMs);
    EXPECT_LE(budget.TimeWhenLeft(600), after + kCalilBudgetWindowMs);
    EXPECT_TRUE(clock->WaitUntil(budget.TimeWhenLeft(600), {}));
    EXPECT_GE(budget.Left(), 600);
    EXPECT_TRUE(clock->WaitUntil(budget.TimeWhenLeft(1000), {}));
    EXPECT_EQ(budget.Left(), kCalilRequestsPerHour);
}
