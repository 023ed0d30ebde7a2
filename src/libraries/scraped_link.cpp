#include "libraries/scraped_link.h"

#include <algorithm>

QString BoundedDetailUrl(QString url)
{
    if (url.size() > kMaxDetailUrlLength)
        return QString();
    return url;
}

std::optional<QStringView> QuotedValueUpToItsEnd(QStringView page, qsizetype from)
{
    // Only as far as the longest value worth having: the scan stays short on
    // a page that never closes the quote.
    const qsizetype end = std::min(page.size(), from + kMaxDetailUrlLength + 1);
    for (qsizetype i = from; i < end; ++i) {
        switch (page[i].unicode()) {
        case u'"':
            return page.sliced(from, i - from);
        case u'<':
        case u'>':
        case u'\r':
        case u'\n':
            return std::nullopt;
        default:
            break;
        }
    }
    return std::nullopt;
}
