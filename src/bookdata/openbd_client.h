#pragma once

#include "bookdata/book_facts.h"

#include <QStringList>

#include <optional>
#include <vector>

class THttpClient;

// The name under which openBD's failures reach the user.
inline const QString kOpenBdSourceName = QStringLiteral("openBD");

// How many ISBNs one lookup may carry, as openBD's interface promises.
inline constexpr qsizetype kOpenBdMaxIsbns = 1000;

// Looks up to kOpenBdMaxIsbns ISBNs (non-empty, as they stand) up at openBD
// (base URL scheme://host[:port]) in one request, and gives the facts of each
// position (see ParseOpenBdAnswer). The list goes in a form body: a thousand
// ISBNs make a URL longer than servers and proxies commonly accept. A failed
// request raises HttpError, an unreadable answer JsonError.
std::vector<std::optional<TBookFacts>> LookupOpenBd(const QStringList& isbns, THttpClient& client,
                                                    const QString& baseUrl);
