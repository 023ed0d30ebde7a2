#pragma once

#include <QString>

// Where the four book columns (title, price, date, rank) come from.
enum class TBookDataSource {
    // The bookseller's product API; needs the user's access key pair.
    Amazon,
    // openBD, then the National Diet Library's search for what openBD lacks;
    // no key needed. Neither has a sales rank.
    OpenBd,
    // Nobody: only the libraries are asked.
    None,
};

// The value of [BOOKDATA] Source: "Amazon", "openBD" or "None".
QString BookDataSourceIniValue(TBookDataSource source);
// Reads it back without regard to letter case; anything else gives the
// bookseller, as a missing entry does.
TBookDataSource BookDataSourceFromIniValue(const QString& value);
