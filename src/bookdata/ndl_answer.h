#pragma once

#include "bookdata/book_facts.h"

#include <QString>

#include <optional>

// Reads NDL Search's OpenSearch answer (RSS 2.0) to a lookup of one ISBN:
// the facts of its first record, or nothing when it found none. The price is
// free text ("3,200円", "3200円+税"), the date "2018.7" or "2018"; both come
// back in the forms of TBookFacts, and a record address only when it is a
// web address. The answer is bounded like every XML from the network (see
// ParseUntrustedXml); one that is not well-formed, not bounded or no RSS
// raises XmlError.
std::optional<TBookFacts> ParseNdlAnswer(const QString& xml);
