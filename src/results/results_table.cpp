#include "results/results_table.h"

#include "config/app_config.h"
#include "results/book_order.h"
#include "results/result_columns.h"
#include "util/text_trim.h"

#include <algorithm>
#include <limits>

namespace {

// The field a book column shows.
const QString& BookField(const TBookData& book, int column)
{
    switch (column) {
    case kColumnTitle: return book.Title;
    case kColumnAmount: return book.Amount;
    case kColumnPublicationDate: return book.PublicationDate;
    default: return book.SalesRank;
    }
}

// A failed lookup shows in the book cells it could have filled and that hold
// no value; a value already there stays. No keyless source has a rank, so
// the rank of a row that was answered stays blank.
bool ShowsBookDataFailure(const TBookData& book, int column)
{
    if (book.BookDataFailure.isEmpty() || !IsBookColumn(column))
        return false;
    if (!TrimBlanks(BookField(book, column)).isEmpty())
        return false;
    return column != kColumnSalesRank || book.Title.isEmpty();
}

} // namespace

TResultsTable::TResultsTable(QObject* parent) : QAbstractTableModel(parent) {}

TResultsTable::~TResultsTable() = default;

void TResultsTable::SetConfig(const TAppConfig& config) { config_ = &config; }

QStringList TResultsTable::LibraryNames() const
{
    // Read afresh every time: the selection dialog may have changed it.
    return config_ ? config_->GetLibraryNames() : QStringList();
}

void TResultsTable::UpdateColumns()
{
    const int count = kFixedColumnCount + int(LibraryNames().size());
    if (count > columnCount_) {
        beginInsertColumns({}, columnCount_, count - 1);
        columnCount_ = count;
        endInsertColumns();
    } else if (count < columnCount_) {
        beginRemoveColumns({}, count, columnCount_ - 1);
        columnCount_ = count;
        endRemoveColumns();
    }
    // The settings may have chosen another source for the title's header.
    Q_EMIT headerDataChanged(Qt::Horizontal, kColumnTitle, kColumnTitle);
    // A column that stays may now stand for another library.
    if (columnCount_ > kFirstLibraryColumn) {
        Q_EMIT headerDataChanged(Qt::Horizontal, kFirstLibraryColumn, columnCount_ - 1);
        NotifyRecordsChanged(0, qsizetype(books_.size()) - 1, kFirstLibraryColumn, columnCount_ - 1);
    }
}

void TResultsTable::SetGridRowCount(int count)
{
    count = std::max(count, 2);
    if (count > gridRowCount_) {
        beginInsertRows({}, gridRowCount_ - 1, count - 2);
        gridRowCount_ = count;
        endInsertRows();
    } else if (count < gridRowCount_) {
        beginRemoveRows({}, count - 1, gridRowCount_ - 2);
        gridRowCount_ = count;
        endRemoveRows();
    }
}

void TResultsTable::SetIsbnList(const QStringList& isbns)
{
    std::vector<TBookData> books(size_t(isbns.size()));
    for (qsizetype i = 0; i < isbns.size(); ++i)
        books[size_t(i)].Isbn = isbns[i];
    books_.swap(books);
    index_.Rebuild(books_);

    constexpr qsizetype maxRows = std::numeric_limits<int>::max();
    SetGridRowCount(int(std::min(isbns.size() + 1, maxRows)));
    // Rows that stayed show new records. Resetting the model instead would
    // also reset the column widths the user dragged.
    NotifyRecordsChanged(0, rowCount() - 1, 0, columnCount_ - 1);
}

void TResultsTable::SetAmazonData(std::span<const TBookData> batch)
{
    TCriticalSectionLock lock(lock_);
    qsizetype first = std::numeric_limits<qsizetype>::max();
    qsizetype last = -1;
    const auto notify = [&] {
        if (last >= 0)
            NotifyRecordsChanged(first, last, kColumnTitle, kColumnSalesRank);
    };
    try {
        for (const TBookData& delivered : batch) {
            const std::optional<TIsbnRowIndex::Key> key = TIsbnRowIndex::KeyOfDelivery(delivered);
            const qsizetype top = key ? index_.FirstRowOf(*key) : -1;
            // The trailing space marks the cell as answered even where the
            // answer lacked the value; readers trim it away.
            for (qsizetype row = top; row >= 0; row = index_.NextRowOf(row)) {
                TBookData& book = books_[size_t(row)];
                book.Title = delivered.Title + u' ';
                book.Amount = delivered.Amount + u' ';
                book.SalesRank = delivered.SalesRank + u' ';
                book.PublicationDate = delivered.PublicationDate + u' ';
                book.DetailPageUrl = delivered.DetailPageUrl;
                book.BookDataFetched = delivered.BookDataFetched;
                first = std::min(first, row);
                last = std::max(last, row);
            }
        }
    } catch (...) {
        // The rows filled before the error keep their values; show them.
        notify();
        throw;
    }
    notify();
}

void TResultsTable::SetLibraryResult(const QString& isbn, const QString& result, const QString& libraryName)
{
    SetLibraryAnswer(isbn, TLibraryAnswer::FromSearchResult(result), libraryName);
}

void TResultsTable::SetLibraryAnswer(const QString& isbn, const TLibraryAnswer& answer,
                                     const QString& libraryName)
{
    TCriticalSectionLock lock(lock_);
    const std::optional<TIsbnRowIndex::Key> key = TIsbnRowIndex::KeyOfIsbn(isbn);
    // Only the first row of a key in the current order: a repeated ISBN's
    // lower rows keep empty library cells.
    const qsizetype row = key ? index_.FirstRowOf(*key) : -1;
    if (row < 0)
        return;
    books_[size_t(row)].LibraryResults.insert(libraryName, answer);
    const qsizetype library = LibraryNames().indexOf(libraryName);
    if (library >= 0) {
        const int column = kFirstLibraryColumn + int(library);
        NotifyRecordsChanged(row, row, column, column);
    }
}

void TResultsTable::SetBookDataFailure(const QString& isbn, const QString& message)
{
    TCriticalSectionLock lock(lock_);
    TBookData asked;
    asked.Isbn = isbn;
    qsizetype first = std::numeric_limits<qsizetype>::max();
    qsizetype last = -1;
    for (qsizetype row = index_.FirstRowOf(TIsbnRowIndex::KeyOfRecord(asked)); row >= 0; row = index_.NextRowOf(row)) {
        books_[size_t(row)].BookDataFailure = message;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last >= 0)
        NotifyRecordsChanged(first, last, kColumnTitle, kColumnSalesRank);
}

void TResultsTable::SetBookDataSource(TBookDataSource source)
{
    bookDataSource_ = source;
    Q_EMIT headerDataChanged(Qt::Horizontal, kColumnTitle, kColumnTitle);
}

TBookDataSource TResultsTable::BookDataSource() const
{
    if (bookDataSource_)
        return *bookDataSource_;
    return config_ ? config_->GetBookDataSource() : TBookDataSource::Amazon;
}

template <typename Less>
void TResultsTable::SortBooks(Less less)
{
    TCriticalSectionLock lock(lock_);
    // Persistent indexes stay where they are: the current cell keeps its
    // position and shows whatever record now stands there.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    if (!books_.empty()) {
        std::stable_sort(books_.begin(), books_.end(), less);
        index_.Rebuild(books_);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT SortFinished();
}

void TResultsTable::SortByAmount() { SortBooks(CompareByAmount); }

void TResultsTable::SortByPublicationDate() { SortBooks(CompareByPublicationDate); }

void TResultsTable::SortBySalesRank() { SortBooks(CompareBySalesRank); }

QString TResultsTable::GetCellText(int column, int row) const
{
    // Row 0 is the header; its texts come from GetHeaderText.
    if (column < 0 || row < 1 || row > qsizetype(books_.size()))
        return {};
    const TBookData& book = books_[size_t(row - 1)];
    if (column == kColumnIsbn)
        return book.Isbn;
    if (IsBookColumn(column))
        return ShowsBookDataFailure(book, column) ? TLibraryAnswer::kFailureMarker : BookField(book, column);
    const TLibraryAnswer* answer = GetLibraryAnswer(column, row);
    return answer ? answer->CellText() : QString();
}

const TLibraryAnswer* TResultsTable::GetLibraryAnswer(int column, int row) const
{
    if (column < kFirstLibraryColumn || row < 1 || row > qsizetype(books_.size()))
        return nullptr;
    const QStringList names = LibraryNames();
    const qsizetype library = column - kFirstLibraryColumn;
    if (library >= names.size())
        return nullptr;
    const auto& results = books_[size_t(row - 1)].LibraryResults;
    const auto found = results.constFind(names[library]);
    return found != results.cend() ? &found.value() : nullptr;
}

bool TResultsTable::HasLendingStatus(int column) const
{
    if (column < kFirstLibraryColumn || config_ == nullptr)
        return false;
    const QStringList names = LibraryNames();
    const qsizetype library = column - kFirstLibraryColumn;
    return library < names.size() && config_->IsAskedThroughCalil(names[library]);
}

QDateTime TResultsTable::GetCellFetched(int column, int row) const
{
    if (column < 1 || row < 1 || row > qsizetype(books_.size()))
        return {};
    if (IsBookColumn(column))
        return GetCellText(column, row).isEmpty() ? QDateTime() : books_[size_t(row - 1)].BookDataFetched;
    const TLibraryAnswer* answer = GetLibraryAnswer(column, row);
    return answer ? answer->Fetched : QDateTime();
}

std::optional<QString> TResultsTable::GetCellFailure(int column, int row) const
{
    if (column < 0 || row < 1 || row > qsizetype(books_.size()))
        return std::nullopt;
    const TBookData& book = books_[size_t(row - 1)];
    if (IsBookColumn(column))
        return ShowsBookDataFailure(book, column) ? std::optional(book.BookDataFailure) : std::nullopt;
    const TLibraryAnswer* answer = GetLibraryAnswer(column, row);
    return answer && answer->IsFailure() ? std::optional(answer->Message) : std::nullopt;
}

QString TResultsTable::GetHeaderText(int column) const
{
    if (column < kFirstLibraryColumn)
        return FixedColumnHeader(column, BookDataSource());
    const QStringList names = LibraryNames();
    const qsizetype library = column - kFirstLibraryColumn;
    return library < names.size() ? names[library] : QString();
}

QString TResultsTable::GetCellUrl(int column, int row) const
{
    if (column < 1 || row < 1 || row > qsizetype(books_.size()))
        return {};
    QString url = books_[size_t(row - 1)].DetailPageUrl;
    if (column >= kFirstLibraryColumn) {
        const TLibraryAnswer* answer = GetLibraryAnswer(column, row);
        url = answer && answer->Kind == TLibraryAnswer::TKind::Found ? answer->Url : QString();
    }
    // Texts this short are no address.
    return url.size() > 2 ? url : QString();
}

void TResultsTable::NotifyRecordsChanged(qsizetype first, qsizetype last, int firstColumn, int lastColumn)
{
    last = std::min<qsizetype>(last, rowCount() - 1);
    lastColumn = std::min(lastColumn, columnCount_ - 1);
    if (first > last || firstColumn > lastColumn)
        return;
    Q_EMIT dataChanged(index(int(first), firstColumn), index(int(last), lastColumn));
}

int TResultsTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : gridRowCount_ - 1;
}

int TResultsTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnCount_;
}

QVariant TResultsTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    switch (role) {
    case Qt::DisplayRole: return GetCellText(index.column(), index.row() + 1);
    case UrlRole: return GetCellUrl(index.column(), index.row() + 1);
    case Qt::ToolTipRole: {
        // A failed lookup tells why; the cell itself only shows the marker.
        const std::optional<QString> failure = GetCellFailure(index.column(), index.row() + 1);
        return failure ? QVariant(*failure) : QVariant();
    }
    default: return {};
    }
}

QVariant TResultsTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount_)
        return {};
    return GetHeaderText(section);
}

Qt::ItemFlags TResultsTable::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
