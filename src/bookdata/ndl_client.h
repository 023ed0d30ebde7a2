#pragma once

#include "bookdata/book_facts.h"

#include <QString>

#include <optional>

class THttpClient;

// The name under which NDL Search's failures reach the user.
inline const QString kNdlSourceName = QStringLiteral("国立国会図書館サーチ");

// Looks one ISBN (10 or 13 digits) up in the National Diet Library's own
// catalogue through NDL Search's OpenSearch interface (base URL
// scheme://host[:port]): the facts of its record, or nothing when it has
// none. A failed request raises HttpError, an unreadable answer XmlError.
std::optional<TBookFacts> LookupNdl(const QString& isbn, THttpClient& client, const QString& baseUrl);
