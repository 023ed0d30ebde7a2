#include "results_table_fixture.h"

#include <QtGlobal>

namespace {

QStringList g_warnings;
QtMessageHandler g_previousHandler = nullptr;

void RecordWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings.append(QStringLiteral("%1: %2").arg(QString::fromLatin1(context.category), message));
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

} // namespace

void ResultsTableTest::SetUp()
{
    g_warnings.clear();
    g_previousHandler = qInstallMessageHandler(RecordWarnings);
    tester_ = std::make_unique<QAbstractItemModelTester>(
        &table_, QAbstractItemModelTester::FailureReportingMode::Warning);
    table_.SetConfig(config_);
}

void ResultsTableTest::TearDown()
{
    tester_.reset();
    qInstallMessageHandler(g_previousHandler);
    EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join(u'\n').toStdString();
}

void ResultsTableTest::SelectLibraries(const QStringList& names)
{
    config_.SetLibraryNames(names);
    table_.UpdateColumns();
}

TBookData ResultsTableTest::Delivered(const QString& isbn, const QString& title, const QString& amount,
                                      const QString& date, const QString& rank, const QString& url)
{
    TBookData book;
    book.Isbn = isbn;
    book.Title = title;
    book.Amount = amount;
    book.PublicationDate = date;
    book.SalesRank = rank;
    book.DetailPageUrl = url;
    return book;
}

QString ResultsTableTest::ModelText(int column, int gridRow) const
{
    return table_.data(table_.index(gridRow - 1, column)).toString();
}
