#pragma once

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
QString FixedColumnHeader(int column);
