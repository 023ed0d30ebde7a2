#pragma once

#include "results/book_data.h"

#include <QList>
#include <QString>

// The records of an ItemLookup answer: one per Item element below the
// document element's first Items child, in document order. Every value is
// the element's text as delivered; a missing element gives the empty text.
// A well-formed answer without Items gives no records. Raises XmlError for
// an answer that is not well-formed, declares a document type, or holds more
// than text where a value is read.
QList<TBookData> ParseItemLookupResponse(const QString& text);
