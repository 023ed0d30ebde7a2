#pragma once

#include "config/book_data_source.h"

#include <QString>

// The fixed columns of the results table, in their order on screen. The
// order is not the order of TBookData's fields: amount comes before the date
// and the rank. Library columns follow, one per selected library.
enum TResultColumn : int {
    kColumnIsbn = 0,
    kColumnTitle = 1,
    kColumnAmount = 2,
    kColumnPublicationDate = 3,
    kColumnSalesRank = 4,
    kFirstLibraryColumn = 5,
};

inline constexpr int kFixedColumnCount = kFirstLibraryColumn;

// The header text of a fixed column, or the empty text for any other column.
// The title's header names the source of the book columns: "書名(Amazon)",
// "書名(openBD/NDL)", or just "書名" when nobody fills them.
QString FixedColumnHeader(int column, TBookDataSource source = TBookDataSource::Amazon);

// The four columns a book-data source fills.
constexpr bool IsBookColumn(int column) { return column >= kColumnTitle && column <= kColumnSalesRank; }
