#pragma once

#include "results/book_data.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// Finds the rows of a matching key without scanning the table. A row's key
// is the ISBN-10 form of its normalised ISBN: at most 12 of the characters
// 0-9, x and X, which pack into an integer, 4 bits a character. The index
// maps each key to its first row and chains every row to the next row of
// its key, top to bottom. Built from the records as they stand; rebuild it
// whenever their order or their ISBNs change.
class TIsbnRowIndex final
{
public:
    using Key = quint64;

    // The key of a record: the ISBN-10 form of its normalised ISBN. Raises
    // ConversionError for 13 or more ISBN characters with an x among the
    // converted ones.
    static Key KeyOfRecord(const TBookData& book);
    // The key of a library result: the ISBN-10 form of the ISBN as passed,
    // not normalised. Raises as KeyOfRecord. Empty when no row can have it
    // (a character no normalised ISBN holds).
    static std::optional<Key> KeyOfIsbn(const QString& isbn);
    // The key of a record the bookseller delivered: as KeyOfRecord, but
    // empty for an item without an ISBN (nothing left after normalising),
    // which belongs to no row, not even to a row whose own ISBN is empty.
    static std::optional<Key> KeyOfDelivery(const TBookData& book);

    // A row whose key cannot be computed gets no entry: it matches nothing,
    // and it does not stop deliveries to the rows around it.
    void Rebuild(const std::vector<TBookData>& books);

    // The top row of a key, or -1 for an unknown key.
    qsizetype FirstRowOf(Key key) const { return firstRows_.value(key, -1); }
    // The next row below with the same key, or -1.
    qsizetype NextRowOf(qsizetype row) const { return nextRows_[size_t(row)]; }

private:
    QHash<Key, qsizetype> firstRows_;
    std::vector<qsizetype> nextRows_;
};
