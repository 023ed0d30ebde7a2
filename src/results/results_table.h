#pragma once

#include "config/book_data_source.h"
#include "results/book_data.h"
#include "results/critical_section_lock.h"
#include "results/isbn_row_index.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <optional>
#include <span>
#include <vector>

class TAppConfig;

// The results of a search: one record per searched ISBN, the columns of the
// selected libraries, and the operations by which workers fill it and the
// grid, the sorts and the CSV writer read it. Everything runs on the main
// thread.
//
// Two coordinate systems meet here. The grid's: row 0 is the header, grid
// row r >= 1 shows record r - 1, and GetCellText/GetHeaderText/GetCellUrl
// take grid coordinates. The item model's: model row r is grid row r + 1,
// and the header comes from headerData. The grid's row count is kept apart
// from the number of records: it is 2 (header and one empty row) before the
// first search and whenever the driver resets it, and records beyond it are
// kept but not shown.
class TResultsTable final : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The URL a cell leads to, for a view's "open" command.
    static constexpr int UrlRole = Qt::UserRole + 1;

    explicit TResultsTable(QObject* parent = nullptr);
    ~TResultsTable() override;

    // The settings the library columns are read from; not owned, must outlive
    // the table. Until set there are no library columns.
    void SetConfig(const TAppConfig& config);
    // Sets the column count to the fixed columns plus the selected libraries.
    void UpdateColumns();

    // Replaces every record by an empty one per ISBN, in list order, and
    // sets the grid's row count to their number plus the header.
    void SetIsbnList(const QStringList& isbns);
    // Merges a batch from the bookseller into every row of each record's
    // key. A ConversionError from a record's key leaves the rows updated
    // before it as they are and reaches the caller.
    void SetAmazonData(std::span<const TBookData> batch);
    // Stores one library's result in the first row of the ISBN's key in the
    // current order; an empty result is stored as "×".
    void SetLibraryResult(const QString& isbn, const QString& result, const QString& libraryName);
    // The same for an answer that may also be a failure or carry a status.
    void SetLibraryAnswer(const QString& isbn, const TLibraryAnswer& answer, const QString& libraryName);
    // A keyless source could not look the ISBN up: every row of its key
    // shows the failure marker in the book cells that hold no value yet.
    // Values already there stay.
    void SetBookDataFailure(const QString& isbn, const QString& message);

    // Who fills the book columns of the current rows; the title's header
    // names it. Until a search sets it, the settings' choice.
    void SetBookDataSource(TBookDataSource source);
    TBookDataSource BookDataSource() const;

    void SortByAmount();
    void SortByPublicationDate();
    void SortBySalesRank();

    QString GetCellText(int column, int row) const;
    QString GetHeaderText(int column) const;
    // The address behind a cell: the record's detail page for the four
    // bookseller columns, the library's record for a library column. Empty
    // where there is nothing to open (header, ISBN column, no record, "×",
    // a failure).
    QString GetCellUrl(int column, int row) const;
    // A library cell's answer; null for other cells and unanswered ones.
    const TLibraryAnswer* GetLibraryAnswer(int column, int row) const;
    // Whether a library column's answers tell the lending status: its
    // library is asked through Calil. The export then gives the status a
    // column of its own.
    bool HasLendingStatus(int column) const;
    // When the answer in a cell was fetched, for an answer remembered from
    // an earlier search; null for every other cell.
    QDateTime GetCellFetched(int column, int row) const;
    // Why the lookup behind a cell failed, for a cell that shows the failure
    // marker; nothing for every other cell.
    std::optional<QString> GetCellFailure(int column, int row) const;

    int GridRowCount() const { return gridRowCount_; }
    // Never below 2: the header and one row.
    void SetGridRowCount(int count);
    int GridColumnCount() const { return columnCount_; }
    QStringList LibraryNames() const;
    const std::vector<TBookData>& Books() const { return books_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // After every sort, also of an empty table. A view repaints at once on
    // it, so that the new order is on screen before the sort command ends.
    void SortFinished();

private:
    template <typename Less>
    void SortBooks(Less less);
    // Announces a change of the records in [first, last] over the given
    // columns, clipped to the rows the grid shows.
    void NotifyRecordsChanged(qsizetype first, qsizetype last, int firstColumn, int lastColumn);

    const TAppConfig* config_ = nullptr;
    std::optional<TBookDataSource> bookDataSource_;
    std::vector<TBookData> books_;
    TIsbnRowIndex index_;
    TCriticalSection lock_;
    int gridRowCount_ = 2;
    int columnCount_ = 5;
};
