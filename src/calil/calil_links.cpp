#include "calil/calil_links.h"

#include <algorithm>

QString CalilBookUrl(const QString& isbn)
{
    const bool plain = !isbn.isEmpty() && std::all_of(isbn.cbegin(), isbn.cend(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u'x' || c == u'X';
    });
    return plain ? QStringLiteral("https://calil.jp/book/") + isbn.toUpper() : QString();
}
