#pragma once

#include "results/book_data.h"

#include <QHash>
#include <QList>
#include <QString>

#include <span>
#include <vector>

// Finds the rows of a matching key without scanning the table: maps the
// ISBN-10 key of every row to its row numbers, in ascending order. Built
// from the records as they stand; rebuild it whenever their order or their
// ISBNs change.
class TIsbnRowIndex final
{
public:
    // The key of a record: the ISBN-10 form of its normalised ISBN. Raises
    // ConversionError for 13 or more ISBN characters with an x among the
    // converted ones.
    static QString KeyOfRecord(const TBookData& book);
    // The key of a library result: the ISBN-10 form of the ISBN as passed,
    // not normalised. Raises as KeyOfRecord.
    static QString KeyOfIsbn(const QString& isbn);

    // A row whose key cannot be computed gets no entry: it matches nothing,
    // and it does not stop deliveries to the rows around it.
    void Rebuild(const std::vector<TBookData>& books);
    void Clear() { rows_.clear(); }

    // The rows of a key, first to last; empty for an unknown key.
    std::span<const qsizetype> RowsOf(const QString& key) const;

private:
    QHash<QString, QList<qsizetype>> rows_;
};
