#include "results/isbn_row_index.h"

#include "search/isbn.h"
#include "util/error.h"

QString TIsbnRowIndex::KeyOfRecord(const TBookData& book)
{
    return Isbn13ToIsbn10(book.GetNormalizedIsbn());
}

QString TIsbnRowIndex::KeyOfIsbn(const QString& isbn) { return Isbn13ToIsbn10(isbn); }

void TIsbnRowIndex::Rebuild(const std::vector<TBookData>& books)
{
    rows_.clear();
    rows_.reserve(qsizetype(books.size()));
    for (qsizetype row = 0; row < qsizetype(books.size()); ++row) {
        try {
            rows_[KeyOfRecord(books[size_t(row)])].append(row);
        } catch (const ConversionError&) {
            // Such a row can never be matched; leave it out.
        }
    }
}

std::span<const qsizetype> TIsbnRowIndex::RowsOf(const QString& key) const
{
    const auto found = rows_.constFind(key);
    if (found == rows_.constEnd())
        return {};
    return {found->constData(), size_t(found->size())};
}
