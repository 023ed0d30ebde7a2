#pragma once

#include "results/book_data.h"

#include <QString>

// What a keyless source tells about one book, already in the forms the book
// columns show: the title as given, the list price in yen as digits, the
// publication date as YYYY-MM-DD, YYYY-MM or YYYY, and the address of the
// record it came from. An empty text means the source did not say.
struct TBookFacts
{
    QString Title;
    QString Amount;
    QString PublicationDate;
    QString DetailPageUrl;

    bool IsEmpty() const;
    bool HasPrice() const { return !Amount.isEmpty(); }

    // Takes the other's value for every field that is still empty; what is
    // already known is never replaced.
    void FillMissingFrom(const TBookFacts& other);

    // A record for the results table, for the rows of that search key. No
    // keyless source has a sales rank.
    TBookData ToBookData(const QString& isbn) const;

    friend bool operator==(const TBookFacts&, const TBookFacts&) = default;
};
