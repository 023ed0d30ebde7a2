#pragma once

#include "bookdata/book_facts.h"

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

// The largest answer read: a thousand records with their long descriptions
// stay far below it.
inline constexpr qsizetype kMaxOpenBdAnswerSize = 32 * 1024 * 1024;

// Reads openBD's answer to a lookup of these ISBNs: a JSON array with one
// element per ISBN asked, in the same order, null for an ISBN openBD does not
// know. Gives the facts of each position, or nothing where openBD knows
// nothing usable. The answer comes from the network: a value of an unexpected
// type counts as missing, and a record that names another ISBN than the one
// asked at its position is not taken for it. An answer that is no such array,
// or whose length differs from the ISBNs asked (its positions then mean
// nothing), raises JsonError.
std::vector<std::optional<TBookFacts>> ParseOpenBdAnswer(const QByteArray& json, const QStringList& isbns);
