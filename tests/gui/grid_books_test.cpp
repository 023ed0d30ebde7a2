#include "config/app_config.h"
#include "gui/grid_books.h"
#include "gui/layout_scale.h"
#include "gui/url_capture.h"

#include <QImage>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kMitaka = QStringLiteral("三鷹市立図書館");
const QString kAmpersands = QStringLiteral("&&&&");
const QString kDetailPage = QStringLiteral("https://www.amazon.co.jp/dp/4101010013");
const QString kRecord = QStringLiteral("http://lib.example/opac/detail?bibid=1&isbn=4101010013");

TBookData Answer(const QString& isbn, const QString& amount, const QString& url = QString())
{
    TBookData book;
    book.Isbn = isbn;
    book.Title = QStringLiteral("吾輩は猫である");
    book.Amount = amount;
    book.PublicationDate = QStringLiteral("2003-06");
    book.SalesRank = QStringLiteral("1200");
    book.DetailPageUrl = url;
    return book;
}

class GridBooks : public ::testing::Test
{
protected:
    GridBooks()
    {
        config.SetLibraryNames({kMitaka, kAmpersands});
        grid.SetConfig(config);
        grid.UpdateColumns();
        grid.resize(LayoutScale(&grid)(700), 300);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    QImage Picture() { return grid.viewport()->grab().toImage(); }
    // The cell's background: a corner inside the margin text never reaches.
    QColor Background(const QImage& picture, int column, int row)
    {
        const QRect rect = grid.CellRect(column, row);
        EXPECT_FALSE(rect.isEmpty()) << column << "," << row;
        return picture.pixelColor(rect.right() - 1, rect.bottom() - 1);
    }
    QColor Color(QPalette::ColorRole role) const { return grid.palette().color(role); }

    // Leftmost and rightmost columns of text pixels inside a cell.
    std::pair<int, int> InkExtent(const QImage& picture, int column, int row)
    {
        const QRect rect = grid.CellRect(column, row);
        const QColor background = Background(picture, column, row);
        int first = -1;
        int last = -1;
        for (int x = rect.left(); x <= rect.right(); ++x)
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                if (picture.pixelColor(x, y) != background) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }

    void DoubleClick(int column, int row)
    {
        const QRect rect = grid.CellRect(column, row);
        ASSERT_FALSE(rect.isEmpty());
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, rect.center());
    }

    TAppConfig config;
    TGridBooks grid;
};

} // namespace

TEST_F(GridBooks, BeforeTheFirstSearchShowsTheHeaderAndOneGrayRow)
{
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.ColCount(), 7);
    const QImage picture = Picture();
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(Background(picture, column, 0), Color(QPalette::Button)) << column;
    EXPECT_EQ(Background(picture, 0, 1), Color(QPalette::Button));
    EXPECT_EQ(Background(picture, 1, 1), Color(QPalette::Highlight));
    for (int column = 2; column < 7; ++column)
        EXPECT_EQ(Background(picture, column, 1), QColor(128, 128, 128)) << column;

    UrlCapture capture;
    DoubleClick(1, 1);
    grid.OpenUrl(1, 1);
    EXPECT_TRUE(capture.urls().isEmpty());
}

TEST_F(GridBooks, PaintsAnsweredCellsInTheGridColorAndWaitingCellsGray)
{
    grid.SetIsbnList({QStringLiteral("4101010013"), QStringLiteral("4003101014")});
    // The bookseller answered the first book without a price: that cell
    // holds a single space and is an answer, not a gap.
    const std::vector<TBookData> batch{Answer(QStringLiteral("4101010013"), QString())};
    grid.SetAmazonData(batch);
    grid.SetLibraryResult(QStringLiteral("4101010013"), QString(), kMitaka);
    ASSERT_TRUE(grid.SetCurrentCell(3, 2));

    const QImage picture = Picture();
    EXPECT_EQ(Background(picture, 0, 1), Color(QPalette::Button));
    EXPECT_EQ(Background(picture, 0, 2), Color(QPalette::Button));
    EXPECT_EQ(Background(picture, 1, 1), Color(QPalette::Base));
    EXPECT_EQ(grid.GetCellText(2, 1), QStringLiteral(" "));
    EXPECT_EQ(Background(picture, 2, 1), Color(QPalette::Base));
    EXPECT_EQ(grid.GetCellText(5, 1), QStringLiteral("×"));
    EXPECT_EQ(Background(picture, 5, 1), Color(QPalette::Base));
    EXPECT_EQ(Background(picture, 6, 1), QColor(128, 128, 128));
    EXPECT_EQ(Background(picture, 1, 2), QColor(128, 128, 128));
    EXPECT_EQ(Background(picture, 3, 2), Color(QPalette::Highlight));
}

TEST_F(GridBooks, AFailedBookLookupIsDrawnLikeAFailedLibraryOnlyInTheCellsItLeftEmpty)
{
    grid.SetIsbnList({QStringLiteral("4101010013"), QStringLiteral("4003101014")});
    // The first book's title and date came; its price lookup failed.
    TBookData partial = Answer(QStringLiteral("4101010013"), QString());
    partial.SalesRank.clear();
    grid.SetAmazonData(std::vector<TBookData>{partial});
    grid.Table().SetBookDataFailure(QStringLiteral("4101010013"), QStringLiteral("HTTP 500 Internal Server Error"));
    grid.Table().SetBookDataFailure(QStringLiteral("4003101014"), QStringLiteral("HTTP 503 Service Unavailable"));
    grid.Table().SetLibraryAnswer(QStringLiteral("4003101014"), TLibraryAnswer::Failure(QStringLiteral("down")), kMitaka);
    ASSERT_TRUE(grid.SetCurrentCell(6, 2));

    const QImage picture = Picture();
    EXPECT_EQ(grid.GetCellText(1, 1), QStringLiteral("吾輩は猫である "));
    EXPECT_EQ(Background(picture, 1, 1), Color(QPalette::Base));
    EXPECT_EQ(grid.GetCellText(2, 1), QStringLiteral("エラー"));
    EXPECT_EQ(Background(picture, 2, 1), TGridBooks::kFailedCellColor);
    EXPECT_EQ(Background(picture, 4, 1), Color(QPalette::Base)); // no keyless source has a rank
    for (int column = 1; column <= 5; ++column) {
        EXPECT_EQ(grid.GetCellText(column, 2), QStringLiteral("エラー")) << column;
        EXPECT_EQ(Background(picture, column, 2), TGridBooks::kFailedCellColor) << column;
    }
    // The marker is drawn in the failure's red.
    const QRect marker = grid.CellRect(2, 1);
    bool red = false;
    for (int x = marker.left(); x <= marker.right() && !red; ++x)
        for (int y = marker.top(); y <= marker.bottom() && !red; ++y)
            red = picture.pixelColor(x, y) == TGridBooks::kFailedTextColor;
    EXPECT_TRUE(red);
}

TEST_F(GridBooks, DrawsTextInsetOnOneLineAndTakesAmpersandsAsMnemonicsOnlyInTheHeader)
{
    grid.SetIsbnList({QStringLiteral("4101010013")});
    grid.SetLibraryResult(QStringLiteral("4101010013"), kAmpersands, kAmpersands);
    TBookData longTitle = Answer(QStringLiteral("4101010013"), QStringLiteral("500"));
    longTitle.Title = QString(60, u'W') + u'\n' + QString(60, u'W');
    grid.SetAmazonData(std::vector<TBookData>{longTitle});
    ASSERT_TRUE(grid.SetCurrentCell(2, 1));
    const QImage picture = Picture();
    const int inset = LayoutScale(&grid)(2);

    // Results: left-aligned after the margin, every "&" drawn.
    const QRect cell = grid.CellRect(6, 1);
    const auto [cellFirst, cellLast] = InkExtent(picture, 6, 1);
    EXPECT_GE(cellFirst, cell.left() + inset);
    EXPECT_LE(cellFirst, cell.left() + inset + 2);
    // Titles: "&&" is one "&", centred in the cell.
    const QRect header = grid.CellRect(6, 0);
    const auto [headerFirst, headerLast] = InkExtent(picture, 6, 0);
    const int cellInk = cellLast - cellFirst;
    const int headerInk = headerLast - headerFirst;
    EXPECT_LT(headerInk, cellInk * 3 / 4);
    EXPECT_NEAR((headerFirst + headerLast) / 2.0, header.center().x(), 2.5);

    // A text too long for its cell is cut at the margin, on one line.
    const QRect title = grid.CellRect(1, 1);
    const auto [titleFirst, titleLast] = InkExtent(picture, 1, 1);
    EXPECT_LE(titleLast, title.right() - inset);
    EXPECT_GE(titleLast, title.right() - inset - 2);
    for (int y = title.top(); y < title.top() + inset; ++y)
        EXPECT_EQ(picture.pixelColor(title.center().x(), y), Color(QPalette::Base));
}

TEST_F(GridBooks, KeepsTheHeaderAndIsbnColumnInPlaceAndNeverMakesThemCurrent)
{
    QStringList isbns;
    for (int i = 0; i < 60; ++i)
        isbns.append(QStringLiteral("41010100%1").arg(i, 2, 10, QLatin1Char('0')));
    grid.SetIsbnList(isbns);
    EXPECT_EQ(grid.RowCount(), 61);

    EXPECT_FALSE(grid.SetCurrentCell(0, 3));
    EXPECT_FALSE(grid.SetCurrentCell(3, 0));
    EXPECT_FALSE(grid.SetCurrentCell(1, 61));
    // Clicks on the fixed cells leave the current cell where it is; arrow
    // keys stop at the first scrolling row and column.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(0, 4).center());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, 0).center());
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    QTest::keyClick(&grid, Qt::Key_Left);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, 3).center());
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 3);

    // Down to the last cell of a grid too small for it: the view follows,
    // header and ISBNs stay.
    grid.resize(LayoutScale(&grid)(400), 300);
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.Row(), 60);
    EXPECT_EQ(grid.Col(), 6);
    EXPECT_GT(grid.TopRow(), 1);
    EXPECT_GT(grid.LeftCol(), 1);
    EXPECT_EQ(grid.verticalScrollBar()->value(), grid.TopRow());
    EXPECT_FALSE(grid.CellRect(6, 60).isEmpty());
    EXPECT_LE(grid.CellRect(6, 60).right(), grid.viewport()->width());
    EXPECT_EQ(grid.CellRect(0, 0).topLeft(), QPoint(0, 0));
    EXPECT_EQ(grid.CellRect(0, grid.TopRow()).topLeft(), QPoint(0, grid.RowHeight() + 1));
    EXPECT_EQ(grid.CellRect(grid.LeftCol(), 0).topLeft(), QPoint(grid.ColWidth(0) + 1, 0));
    EXPECT_TRUE(grid.CellRect(1, 1).isEmpty());
    EXPECT_TRUE(grid.CellRect(1, 0).isEmpty());
    EXPECT_EQ(grid.MouseCoord(QPoint(2, 2)), QPoint(0, 0));
    const QImage picture = Picture();
    EXPECT_EQ(Background(picture, 0, 0), Color(QPalette::Button));
    EXPECT_EQ(Background(picture, 0, 60), Color(QPalette::Button));
    EXPECT_EQ(Background(picture, 6, 0), Color(QPalette::Button));
    EXPECT_EQ(Background(picture, 6, 60), Color(QPalette::Highlight));

    // A shorter search pulls the current cell back into the grid.
    grid.SetIsbnList({QStringLiteral("4101010013")});
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.TopRow(), 1);
}

TEST_F(GridBooks, HasTheColumnWidthsOfTheLayoutAndResizesByDraggingTheTitleSeparators)
{
    const LayoutScale scale(&grid);
    const std::vector<int> widths{80, 100, 50, 60, 45, 100, 100};
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(grid.ColWidth(column), scale(widths[size_t(column)])) << column;

    // Drag the separator after the title column 30 pixels to the right.
    const QRect title = grid.CellRect(1, 0);
    const QPoint separator(title.right() + 1, title.center().y());
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, separator);
    QTest::mouseMove(grid.viewport(), separator + QPoint(30, 0));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, separator + QPoint(30, 0));
    EXPECT_EQ(grid.ColWidth(1), scale(100) + 30);
    EXPECT_EQ(grid.Col(), 1);
    // The same move below the title row selects cells instead.
    const QPoint below(separator.x() - 5, grid.CellRect(1, 1).center().y());
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, below);
    QTest::mouseMove(grid.viewport(), below + QPoint(60, 0));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, below + QPoint(60, 0));
    EXPECT_EQ(grid.ColWidth(1), scale(100) + 30);
    EXPECT_EQ(grid.Col(), 2);

    // Another library: its column comes with the default width, the others
    // keep theirs; one fewer takes only the last column away.
    config.SetLibraryNames({kMitaka, kAmpersands, QStringLiteral("品川区立図書館")});
    grid.UpdateColumns();
    EXPECT_EQ(grid.ColCount(), 8);
    EXPECT_EQ(grid.ColWidth(1), scale(100) + 30);
    EXPECT_EQ(grid.ColWidth(7), scale(100));
    EXPECT_EQ(grid.GetHeaderText(7), QStringLiteral("品川区立図書館"));
    config.SetLibraryNames({kMitaka});
    grid.UpdateColumns();
    EXPECT_EQ(grid.ColCount(), 6);
    EXPECT_EQ(grid.ColWidth(1), scale(100) + 30);
}

TEST_F(GridBooks, OpensTheUrlBehindACellAndNothingElse)
{
    grid.SetIsbnList({QStringLiteral("4101010013"), QStringLiteral("4003101014"), QStringLiteral("4061592181")});
    const std::vector<TBookData> batch{Answer(QStringLiteral("4101010013"), QStringLiteral("500"), kDetailPage),
                                       Answer(QStringLiteral("4061592181"), QStringLiteral("700"),
                                              QStringLiteral("file:///etc/passwd"))};
    grid.SetAmazonData(batch);
    grid.SetLibraryResult(QStringLiteral("4101010013"), kRecord, kMitaka);
    grid.SetLibraryResult(QStringLiteral("4003101014"), QString(), kMitaka);
    grid.SetLibraryResult(QStringLiteral("4061592181"), QStringLiteral("javascript:alert(1)"), kMitaka);

    UrlCapture capture;
    for (int column = 1; column <= 4; ++column)
        DoubleClick(column, 1);
    DoubleClick(5, 1);
    EXPECT_EQ(capture.urls(), QStringList({kDetailPage, kDetailPage, kDetailPage, kDetailPage, kRecord}));

    // Header, ISBN, a book the bookseller has not answered, "×", a library
    // that has not answered, addresses of other schemes, below the rows.
    DoubleClick(1, 0);
    DoubleClick(0, 1);
    DoubleClick(1, 2);
    DoubleClick(5, 2);
    DoubleClick(6, 1);
    DoubleClick(1, 3);
    DoubleClick(5, 3);
    const QRect last = grid.CellRect(1, 3);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, last.center() + QPoint(0, 3 * last.height()));
    grid.OpenUrl(0, 5);
    grid.OpenUrl(1, 0);
    grid.OpenUrl(-1, -1);
    grid.OpenUrl(4, 1);
    EXPECT_EQ(capture.urls().size(), 5);

    // The row's URL follows its record when the rows are sorted.
    grid.SortByAmount();
    EXPECT_EQ(grid.GetCellText(0, 1), QStringLiteral("4061592181"));
    grid.OpenUrl(2, 5);
    EXPECT_EQ(capture.urls().size(), 6);
    EXPECT_EQ(capture.urls().back(), kRecord);
}

TEST_F(GridBooks, DeliveriesPaintOnlyVisibleCellsAndABurstPaintsOnce)
{
    QStringList isbns;
    for (int i = 0; i < 2000; ++i)
        isbns.append(QStringLiteral("4%1").arg(i, 9, 10, QChar(u'0')));
    grid.SetIsbnList(isbns);
    QTest::qWait(50);

    struct PaintCounter final : QObject
    {
        int paints = 0;
        QRegion painted;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint) {
                ++paints;
                painted += static_cast<QPaintEvent*>(event)->region();
            }
            return false;
        }
    } counter;
    grid.viewport()->installEventFilter(&counter);

    // Far below the window: nothing to paint.
    for (int i = 1000; i < 2000; ++i)
        grid.SetLibraryResult(isbns[i], QString(), kMitaka);
    QTest::qWait(60);
    EXPECT_EQ(counter.paints, 0);

    // A burst into the rows on screen: one paint, of those cells only.
    for (int i = 0; i < 5; ++i)
        grid.SetLibraryResult(isbns[i], QString(), kMitaka);
    QTest::qWait(60);
    EXPECT_EQ(counter.paints, 1);
    EXPECT_TRUE(counter.painted.contains(grid.CellRect(5, 1).center()));
    EXPECT_FALSE(counter.painted.contains(grid.CellRect(6, 1).center()));
    EXPECT_FALSE(counter.painted.contains(grid.CellRect(1, 1).center()));
}
