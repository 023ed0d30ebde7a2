#pragma once

#include "config/app_config.h"
#include "results/book_data.h"
#include "results/results_table.h"

#include <QAbstractItemModelTester>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

inline const QString kMitaka = QStringLiteral("三鷹市立図書館");
inline const QString kInagi = QStringLiteral("稲城市立図書館");
inline const QString kFussa = QStringLiteral("福生市立図書館");

// A results table on real settings, watched by Qt's model tester for its
// whole life. Any warning during a test (the tester's, or Qt's index checks)
// fails it.
class ResultsTableTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void SelectLibraries(const QStringList& names);
    // A record as the bookseller's lookup delivers it.
    static TBookData Delivered(const QString& isbn, const QString& title, const QString& amount = {},
                               const QString& date = {}, const QString& rank = {}, const QString& url = {});
    // Column c of grid row r, the way the grid reads it through the model.
    QString ModelText(int column, int gridRow) const;

    TAppConfig config_;
    TResultsTable table_;

private:
    std::unique_ptr<QAbstractItemModelTester> tester_;
};
