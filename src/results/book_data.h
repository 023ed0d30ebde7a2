#pragma once

#include "results/library_answer.h"

#include <QDateTime>
#include <QMap>
#include <QString>

// One row of results, or one record the bookseller delivered. A plain value:
// copies share nothing. Every field holds text exactly as delivered.
struct TBookData
{
    QString Isbn;
    QString Title;
    QString DetailPageUrl;
    QString PublicationDate;
    QString SalesRank;
    QString Amount;
    // Library display name -> what that library answered.
    QMap<QString, TLibraryAnswer> LibraryResults;
    // Why a keyless source could not look the book up; empty when it could.
    // The book cells it left empty show the failure marker meanwhile.
    QString BookDataFailure;
    // When the book data was fetched, for data remembered from an earlier
    // search; null for data fetched by this search.
    QDateTime BookDataFetched;

    // The ISBN reduced to its digits, x and X.
    QString GetNormalizedIsbn() const;

    friend bool operator==(const TBookData&, const TBookData&) = default;
};
