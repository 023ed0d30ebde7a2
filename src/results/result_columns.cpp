#include "results/result_columns.h"

QString FixedColumnHeader(int column)
{
    switch (column) {
    case kColumnIsbn: return QStringLiteral("ISBN");
    case kColumnTitle: return QStringLiteral("書名(Amazon)");
    case kColumnAmount: return QStringLiteral("金額");
    case kColumnPublicationDate: return QStringLiteral("発売日");
    // Half-width katakana, as the bookseller's own pages write it.
    case kColumnSalesRank: return QStringLiteral("ﾗﾝｷﾝｸﾞ");
    default: return QString();
    }
}
