#pragma once

#include "gui/draw_grid.h"
#include "results/results_table.h"

#include <span>

class TAppConfig;

// The results grid: the results table on screen. Row 0 shows the column
// titles, column 0 the ISBNs; a cell without an answer is gray. A double
// click opens the URL behind a cell. A failed lookup, of a library or of the
// book data, is drawn apart from "not held" and tells its reason as the
// cell's tooltip; a library that told its lending status shows it, coloured
// by whether a copy is on the shelf. The table's operations are offered
// here under their own names and go to the table unchanged; the grid
// repaints whenever the table changes.
class TGridBooks final : public TDrawGrid
{
    Q_OBJECT

public:
    // The background of a cell that has received no answer yet.
    static inline const QColor kEmptyCellColor{128, 128, 128};
    // A lookup that failed: it must not look like "not held".
    static inline const QColor kFailedCellColor{255, 222, 222};
    static inline const QColor kFailedTextColor{176, 0, 0};
    // The corner mark of an answer remembered from an earlier search.
    static inline const QColor kCachedMarkColor{120, 120, 120};
    static constexpr int kCachedMarkSize = 6;
    // A lending status at a glance: a copy on the shelf, or all out.
    static inline const QColor kOnShelfCellColor{222, 245, 222};
    static inline const QColor kOnShelfTextColor{0, 110, 0};
    static inline const QColor kOutCellColor{255, 236, 204};
    static inline const QColor kOutTextColor{150, 75, 0};

    explicit TGridBooks(QWidget* parent = nullptr);

    TResultsTable& Table() { return table_; }
    const TResultsTable& Table() const { return table_; }

    void SetConfig(const TAppConfig& config) { table_.SetConfig(config); }
    void UpdateColumns() { table_.UpdateColumns(); }
    void SetIsbnList(const QStringList& isbns) { table_.SetIsbnList(isbns); }
    void SetAmazonData(std::span<const TBookData> batch) { table_.SetAmazonData(batch); }
    void SetLibraryResult(const QString& isbn, const QString& result, const QString& libraryName)
    {
        table_.SetLibraryResult(isbn, result, libraryName);
    }
    QString GetCellText(int column, int row) const { return table_.GetCellText(column, row); }
    QString GetHeaderText(int column) const { return table_.GetHeaderText(column); }

    // Each reorders the records and has the new order on screen before it
    // returns.
    void SortByAmount() { table_.SortByAmount(); }
    void SortByPublicationDate() { table_.SortByPublicationDate(); }
    void SortBySalesRank() { table_.SortBySalesRank(); }

    // Raises FileError when the file cannot be written.
    void SaveToCsv(const QString& fileName) const;

    // Opens the URL behind a cell in the browser: the bookseller's detail
    // page from the four bookseller columns, the catalogue record from a
    // library column. The header row, the ISBN column, "×", empty cells and
    // addresses that are not http or https open nothing.
    void OpenUrl(int row, int column) const;

    // What a cell shows: its text, but the lending status where a library
    // told one (the address stays what opening and copying use).
    QString GetCellDisplayText(int column, int row) const;
    // Calil's page of the row's book, for a cell of a library asked through
    // Calil; empty for every other cell.
    QString CalilPageOf(int column, int row) const;
    // 「カーリルで見る」: opens that page in the browser.
    void OpenCalilPage(int row, int column) const;

protected:
    void DrawCell(QPainter& painter, int column, int row, const QRect& rect, TCellState state) override;
    void DblClick(const QPoint& at) override;
    // Tooltips: why a lookup failed.
    bool viewportEvent(QEvent* event) override;

private:
    void FollowTableShape();
public:
    // The tooltip of a cell: why a lookup failed, where a status is from,
    // and when an answer not asked this time was fetched.
    QString CellTip(int column, int row) const;
    // "2026-12-09 取得"
    static QString FetchedNote(const QDateTime& fetched);

private:

    TResultsTable table_;
};
