#pragma once

#include "results/book_data.h"

#include <QList>
#include <QString>

class THttpClient;

// How often one batch is tried before it is given up.
inline constexpr int kItemLookupAttempts = 3;

// Looks up a batch of up to ten ISBNs (a comma text) at the bookseller's API
// host (host[:port]) and returns the records of its answer. The signed URL is
// built once; a failed attempt (no connection, error status, an answer that
// cannot be read) is retried at once with the same URL, and after the last
// failed attempt the result is empty. Failures are not reported: the rows of
// the batch just keep empty cells. Only an ISBN-13 with an x among its
// digits raises (ConversionError, from its conversion to ISBN-10).
QList<TBookData> LookupItems(const QString& isbnCommaText, THttpClient& client,
                             const QString& accessKeyId, const QString& secretAccessKey,
                             const QString& host);
