#include "gui/form_main.h"
#include "gui/grid_books.h"
#include "gui/modal_driver.h"
#include "gui/quillmoor_application.h"
#include "gui/search_progress.h"
#include "gui/url_capture.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "util/code_page.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kMitaka = QStringLiteral("三鷹市立図書館");
const QString kRecord = QStringLiteral("http://lib.example/opac/detail?bibid=1");

TBookData Answer(const QString& isbn, const QString& amount, const QString& date, const QString& rank)
{
    TBookData book;
    book.Isbn = isbn;
    book.Title = QStringLiteral("Title ") + isbn;
    book.Amount = amount;
    book.PublicationDate = date;
    book.SalesRank = rank;
    book.DetailPageUrl = QStringLiteral("https://www.amazon.co.jp/dp/") + isbn;
    return book;
}

// Types the name into the save dialog, as the user would, and confirms it.
void SaveAs(QFileDialog* dialog, const QString& fileName)
{
    dialog->setDirectory(QFileInfo(fileName).path());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QFileInfo(fileName).fileName());
    QTest::keyClick(name, Qt::Key_Return);
}

// Records, for every paint of a widget, which cursor the application showed.
class PaintWatch final : public QObject
{
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    std::vector<Qt::CursorShape> shapes;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QCursor* cursor = QApplication::overrideCursor();
            shapes.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
        }
        return false;
    }
};

class FormMainGrid : public ::testing::Test
{
protected:
    FormMainGrid()
    {
        form.Config().SetLibraryNames({kMitaka});
        form.GridBooks->UpdateColumns();
        form.SaveDialogCsv->setOption(QFileDialog::DontUseNativeDialog);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    // Three books: the first two answered by the bookseller, the third not.
    void Fill()
    {
        grid().SetIsbnList({QStringLiteral("4101010013"), QStringLiteral("4003101014"), QStringLiteral("4061592181")});
        const std::vector<TBookData> batch{
            Answer(QStringLiteral("4101010013"), QStringLiteral("500"), QStringLiteral("2003-06"), QStringLiteral("12")),
            Answer(QStringLiteral("4003101014"), QStringLiteral("1500"), QStringLiteral("2010-12-01"), QString())};
        grid().SetAmazonData(batch);
        grid().SetLibraryResult(QStringLiteral("4101010013"), kRecord, kMitaka);
        grid().SetLibraryResult(QStringLiteral("4003101014"), QString(), kMitaka);
    }

    TGridBooks& grid() { return *form.GridBooks; }
    QStringList IsbnColumn()
    {
        QStringList isbns;
        for (int row = 1; row < grid().RowCount(); ++row)
            isbns.append(grid().GetCellText(0, row));
        return isbns;
    }
    QString CsvFile(const QString& name) { return QDir(folder.path()).filePath(name); }

    TempFolder folder;
    TFormMain form{folder.file(QStringLiteral("quillmoor.ini"))};
};

} // namespace

TEST_F(FormMainGrid, GridSitsInItsPanelWithThePopupMenuOfTheResultCommands)
{
    EXPECT_EQ(form.GridBooks->parentWidget(), form.PanelGridBooks);
    EXPECT_EQ(grid().size(), form.PanelGridBooks->size());
    EXPECT_EQ(grid().ColCount(), 6);
    EXPECT_EQ(grid().GetHeaderText(5), kMitaka);
    // The library selection confirmed with OK: the columns follow it at once.
    form.Config().SetLibraryNames({kMitaka, QStringLiteral("品川区立図書館")});
    Q_EMIT form.LibrarySelectionChanged();
    EXPECT_EQ(grid().ColCount(), 7);
    EXPECT_EQ(grid().GetHeaderText(6), QStringLiteral("品川区立図書館"));
    QStringList items;
    for (QAction* action : form.PopupMenuGrid->actions())
        items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(items, QStringList({QStringLiteral("URLをブラウザで開く(&U)"), QStringLiteral("コピー(&C)"),
                                  QStringLiteral("-"), QStringLiteral("金額でソートする"),
                                  QStringLiteral("発売日でソートする"),
                                  QStringLiteral("Amazonのランキングでソートする")}));

    // A right click makes the cell under the pointer current and opens the
    // menu, whose commands then act on that cell.
    Fill();
    QApplication::clipboard()->setText(QStringLiteral("old"));
    const QPoint at = grid().CellRect(2, 2).center();
    QTest::mouseClick(grid().viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, grid().viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid().viewport(), &click);
    ASSERT_TRUE(form.PopupMenuGrid->isVisible());
    EXPECT_EQ(grid().Col(), 2);
    EXPECT_EQ(grid().Row(), 2);
    QTest::mouseClick(form.PopupMenuGrid, Qt::LeftButton, {},
                      form.PopupMenuGrid->actionGeometry(form.ActionGridCopyCellValue).center());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1500"));
}

TEST_F(FormMainGrid, CopiesTheTrimmedTextOfTheCurrentCellAndSaysSo)
{
    Fill();
    ASSERT_TRUE(grid().SetCurrentCell(1, 1));
    form.ActionGridCopyCellValue->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Title 4101010013"));
    EXPECT_EQ(form.StatusBar1->currentMessage(), QStringLiteral("コピーしました。"));

    // A cell with no answer copies the empty text, and says so all the same.
    form.StatusBar1->clearMessage();
    ASSERT_TRUE(grid().SetCurrentCell(3, 3));
    form.ActionGridCopyCellValue->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QString());
    EXPECT_EQ(form.StatusBar1->currentMessage(), QStringLiteral("コピーしました。"));
}

TEST_F(FormMainGrid, OpensTheUrlOfTheCurrentCell)
{
    UrlCapture capture;
    form.ActionGridOpenUrl->trigger();
    Fill();
    ASSERT_TRUE(grid().SetCurrentCell(5, 1));
    form.ActionGridOpenUrl->trigger();
    ASSERT_TRUE(grid().SetCurrentCell(5, 2));
    form.ActionGridOpenUrl->trigger();
    ASSERT_TRUE(grid().SetCurrentCell(4, 2));
    form.ActionGridOpenUrl->trigger();
    ASSERT_TRUE(grid().SetCurrentCell(4, 3));
    form.ActionGridOpenUrl->trigger();
    EXPECT_EQ(capture.urls(), QStringList({kRecord, QStringLiteral("https://www.amazon.co.jp/dp/4003101014")}));
}

TEST_F(FormMainGrid, SortsWithTheHourglassAndShowsTheNewOrderBeforeTheCommandEnds)
{
    PaintWatch watch(grid().viewport());
    // Nothing to sort: the grid is repainted all the same.
    form.ActionGridSortBySalesRank->trigger();
    ASSERT_FALSE(watch.shapes.empty());
    EXPECT_EQ(watch.shapes.back(), Qt::WaitCursor);

    Fill();
    ASSERT_TRUE(grid().SetCurrentCell(2, 3));
    watch.shapes.clear();

    form.ActionGridSortByAmount->trigger();
    EXPECT_EQ(IsbnColumn(), QStringList({QStringLiteral("4003101014"), QStringLiteral("4101010013"),
                                         QStringLiteral("4061592181")}));
    ASSERT_FALSE(watch.shapes.empty());
    EXPECT_EQ(watch.shapes.back(), Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The current cell keeps its place and shows the record now there.
    EXPECT_EQ(grid().Col(), 2);
    EXPECT_EQ(grid().Row(), 3);

    watch.shapes.clear();
    form.ActionGridSortBySalesRank->trigger();
    EXPECT_EQ(IsbnColumn(), QStringList({QStringLiteral("4003101014"), QStringLiteral("4061592181"),
                                         QStringLiteral("4101010013")}));
    ASSERT_FALSE(watch.shapes.empty());
    EXPECT_EQ(watch.shapes.back(), Qt::WaitCursor);

    watch.shapes.clear();
    form.ActionGridSortByPublicationDate->trigger();
    EXPECT_EQ(IsbnColumn(), QStringList({QStringLiteral("4003101014"), QStringLiteral("4101010013"),
                                         QStringLiteral("4061592181")}));
    ASSERT_FALSE(watch.shapes.empty());

    // Results that arrive after a sort land in the rows of their books.
    grid().SetLibraryResult(QStringLiteral("4061592181"), QString(), kMitaka);
    EXPECT_EQ(grid().GetCellText(5, 3), QStringLiteral("×"));
}

TEST_F(FormMainGrid, SavesTheGridAsCsvUnderTheChosenName)
{
    Fill();
    // Cancelled: nothing written.
    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    form.ActionFileSaveToCsv->trigger();
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.csv")}).isEmpty());

    // A name without extension gets ".csv".
    WhenModal<QFileDialog>([this](QFileDialog* dialog) {
        EXPECT_EQ(dialog->nameFilters(),
                  QStringList({QStringLiteral("CSVファイル (*.csv)"), QStringLiteral("すべてのファイル (*)")}));
        SaveAs(dialog, CsvFile(QStringLiteral("results")));
    });
    QTest::mouseClick(form.ButtonSaveToCsv, Qt::LeftButton);
    QFile saved(CsvFile(QStringLiteral("results.csv")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString text = DecodeCodePage(saved.readAll(), kCodePageShiftJis);
    EXPECT_EQ(text, QStringLiteral("ISBN,書名(Amazon),金額,発売日,ﾗﾝｷﾝｸﾞ,三鷹市立図書館\r\n"
                                   "4101010013,\"Title 4101010013\",500,2003-06,12,%1\r\n"
                                   "4003101014,\"Title 4003101014\",1500,2010-12-01,,×\r\n"
                                   "4061592181,,,,,\r\n")
                        .arg(kRecord));
}

TEST_F(FormMainGrid, ReplacesAnExistingFileOnlyAfterConfirmation)
{
    const QString target = CsvFile(QStringLiteral("old.csv"));
    folder.write(QStringLiteral("old.csv"), QByteArray(200, 'x'));
    bool asked = false;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            asked = true;
            box->button(QMessageBox::Yes)->click();
        });
        SaveAs(dialog, target);
    });
    form.ActionFileSaveToCsv->trigger();
    EXPECT_TRUE(asked);
    EXPECT_EQ(folder.read(QStringLiteral("old.csv")),
              EncodeCodePage(QStringLiteral("ISBN,書名(Amazon),金額,発売日,ﾗﾝｷﾝｸﾞ,三鷹市立図書館\r\n,,,,,\r\n"),
                             kCodePageShiftJis));
}

TEST_F(FormMainGrid, AFailedSaveReachesTheErrorDisplayAndKeepsTheOldFile)
{
    Fill();
    const QByteArray old(20, 'x');
    folder.write(QStringLiteral("kept.csv"), old);
    QStringList shown;
    const auto previous =
        TQuillmoorApplication::SetExceptionDisplay([&](const QString& message) { shown.append(message); });
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        SaveAs(dialog, CsvFile(QStringLiteral("kept.csv")));
    });
    {
        const FileSizeLimit limit(16);
        QTest::mouseClick(form.ButtonSaveToCsv, Qt::LeftButton);
    }
    TQuillmoorApplication::SetExceptionDisplay(previous);
    ASSERT_EQ(shown.size(), 1);
    // In the window's language, naming the file and why.
    EXPECT_EQ(shown[0], QStringLiteral("ファイル「%1」を作成できません。ファイルが大きすぎます。")
                            .arg(CsvFile(QStringLiteral("kept.csv"))));
    EXPECT_EQ(folder.read(QStringLiteral("kept.csv")), old);
}

TEST_F(FormMainGrid, ClearEmptiesTheMemoButLeavesTheResults)
{
    Fill();
    form.MemoIsbn->setPlainText(QStringLiteral("4101010013"));
    form.ActionIsbnClear->trigger();
    EXPECT_TRUE(form.MemoIsbn->toPlainText().isEmpty());
    EXPECT_EQ(grid().RowCount(), 4);
    EXPECT_EQ(grid().GetCellText(2, 2), QStringLiteral("1500 "));
}

TEST_F(FormMainGrid, ShowsSearchProgressOnTheRightBesideTheHints)
{
    EXPECT_FALSE(form.SearchProgress->isVisible());
    form.SearchProgress->SetSearching(true);
    form.SearchProgress->SetProgress(3, 8);
    EXPECT_EQ(form.SearchProgress->CountText(), QStringLiteral("3/8"));
    EXPECT_EQ(form.SearchProgress->BarValue(), 3);
    EXPECT_EQ(form.SearchProgress->BarMaximum(), 8);
    form.StatusBar1->showMessage(QStringLiteral("検索を開始する"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.SearchProgress->isVisible());
    EXPECT_EQ(form.StatusBar1->currentMessage(), QStringLiteral("検索を開始する"));
    EXPECT_GT(form.SearchProgress->geometry().left(), form.StatusBar1->width() / 2);
    EXPECT_GT(form.SearchProgress->geometry().right(), form.StatusBar1->width() - 40);
    // Nothing expected yet: an empty bar, not a busy one.
    form.SearchProgress->SetProgress(0, 0);
    EXPECT_EQ(form.SearchProgress->CountText(), QStringLiteral("0/0"));
    EXPECT_GT(form.SearchProgress->BarMaximum(), 0);
}
