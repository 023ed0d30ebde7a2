#include "search/search_list.h"

#include "books/isbn.h"

#include <QSet>

QStringList BuildSearchList(const QStringList& memoLines)
{
    QStringList keys;
    QSet<QString> seen;
    for (const QString& line : memoLines) {
        if (line.size() <= 9 || seen.contains(line))
            continue;
        keys.append(Isbn13ToIsbn10(NormalizeIsbn(line)));
        seen.insert(line);
    }
    return keys;
}
