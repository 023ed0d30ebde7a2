#include "config/book_data_source.h"

namespace {

const QString kAmazon = QStringLiteral("Amazon");
const QString kOpenBd = QStringLiteral("openBD");
const QString kNone = QStringLiteral("None");

} // namespace

QString BookDataSourceIniValue(TBookDataSource source)
{
    switch (source) {
    case TBookDataSource::OpenBd: return kOpenBd;
    case TBookDataSource::None: return kNone;
    case TBookDataSource::Amazon: break;
    }
    return kAmazon;
}

TBookDataSource BookDataSourceFromIniValue(const QString& value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.compare(kOpenBd, Qt::CaseInsensitive) == 0)
        return TBookDataSource::OpenBd;
    if (trimmed.compare(kNone, Qt::CaseInsensitive) == 0)
        return TBookDataSource::None;
    return TBookDataSource::Amazon;
}
