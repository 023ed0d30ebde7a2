#include "results/result_columns.h"

namespace {

QString TitleHeader(TBookDataSource source)
{
    switch (source) {
    case TBookDataSource::OpenBd: return QStringLiteral("書名(openBD/NDL)");
    case TBookDataSource::None: return QStringLiteral("書名");
    case TBookDataSource::Amazon: break;
    }
    return QStringLiteral("書名(Amazon)");
}

} // namespace

QString FixedColumnHeader(int column, TBookDataSource source)
{
    switch (column) {
    case kColumnIsbn: return QStringLiteral("ISBN");
    case kColumnTitle: return TitleHeader(source);
    case kColumnAmount: return QStringLiteral("金額");
    case kColumnPublicationDate: return QStringLiteral("発売日");
    // Half-width katakana, as the bookseller's own pages write it.
    case kColumnSalesRank: return QStringLiteral("ﾗﾝｷﾝｸﾞ");
    default: return QString();
    }
}
