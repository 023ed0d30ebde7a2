#include "results/isbn_row_index.h"

#include "books/isbn.h"
#include "util/error.h"

namespace {

// Packs a text of at most 12 characters from 0-9, x, X into an integer;
// every character gets a nonzero nibble, so texts of different lengths never
// collide. Empty for any other text.
std::optional<TIsbnRowIndex::Key> PackKey(const QString& text)
{
    if (text.size() > 12)
        return std::nullopt;
    TIsbnRowIndex::Key key = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        unsigned nibble = 0;
        if (u >= u'0' && u <= u'9')
            nibble = unsigned(u - u'0') + 1;
        else if (u == u'x')
            nibble = 11;
        else if (u == u'X')
            nibble = 12;
        else
            return std::nullopt;
        key = key << 4 | nibble;
    }
    return key;
}

} // namespace

TIsbnRowIndex::Key TIsbnRowIndex::KeyOfRecord(const TBookData& book)
{
    // A normalised text of 13 or more characters turns into 10; a shorter
    // one stays as it is. Either way it packs.
    return *PackKey(Isbn13ToIsbn10(book.GetNormalizedIsbn()));
}

std::optional<TIsbnRowIndex::Key> TIsbnRowIndex::KeyOfIsbn(const QString& isbn)
{
    return PackKey(Isbn13ToIsbn10(isbn));
}

std::optional<TIsbnRowIndex::Key> TIsbnRowIndex::KeyOfDelivery(const TBookData& book)
{
    if (book.GetNormalizedIsbn().isEmpty())
        return std::nullopt;
    return KeyOfRecord(book);
}

void TIsbnRowIndex::Rebuild(const std::vector<TBookData>& books)
{
    firstRows_.clear();
    firstRows_.reserve(qsizetype(books.size()));
    nextRows_.assign(books.size(), -1);
    // From the bottom up, so that each key ends up at its top row with the
    // rows below it chained in order.
    for (qsizetype row = qsizetype(books.size()) - 1; row >= 0; --row) {
        Key key = 0;
        try {
            key = KeyOfRecord(books[size_t(row)]);
        } catch (const ConversionError&) {
            continue; // such a row can never be matched
        }
        const auto found = firstRows_.find(key);
        if (found == firstRows_.end()) {
            firstRows_.insert(key, row);
        } else {
            nextRows_[size_t(row)] = *found;
            *found = row;
        }
    }
}
