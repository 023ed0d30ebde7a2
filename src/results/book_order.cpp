#include "results/book_order.h"

#include "util/integer_text.h"
#include "util/text_trim.h"

#include <string_view>

namespace {

qint32 IntegerOr(const QString& text, qint32 missing)
{
    return ParseInt32(TrimBlanks(text)).value_or(missing);
}

} // namespace

qint32 AmountSortValue(const TBookData& book) { return IntegerOr(book.Amount, -1); }

qint32 SalesRankSortValue(const TBookData& book) { return IntegerOr(book.SalesRank, 0); }

bool CompareByAmount(const TBookData& x, const TBookData& y)
{
    return AmountSortValue(x) > AmountSortValue(y);
}

bool CompareByPublicationDate(const TBookData& x, const TBookData& y)
{
    // Code unit by code unit as unsigned numbers: no locale, no case rules,
    // and a surrogate sorts below U+E000 to U+FFFF.
    const QStringView xDate(x.PublicationDate);
    const QStringView yDate(y.PublicationDate);
    return std::u16string_view(yDate.utf16(), size_t(yDate.size()))
        < std::u16string_view(xDate.utf16(), size_t(xDate.size()));
}

bool CompareBySalesRank(const TBookData& x, const TBookData& y)
{
    return SalesRankSortValue(x) < SalesRankSortValue(y);
}
