#pragma once

#include "results/book_data.h"

// The orders of the results table's three sorts. Each returns true when x
// must stand before y and is a strict weak ordering, so std::stable_sort
// keeps records that compare equal in their previous order.

// Highest list price first; a missing or unreadable amount counts as -1.
bool CompareByAmount(const TBookData& x, const TBookData& y);
// Latest date first, by ordinal comparison of the untrimmed text, so the
// answered-but-undated " " sorts above the never-answered "".
bool CompareByPublicationDate(const TBookData& x, const TBookData& y);
// Rank 1 first; a missing or unreadable rank counts as 0 and so comes first.
bool CompareBySalesRank(const TBookData& x, const TBookData& y);

// The values the comparators compare: the trimmed text as a signed 32-bit
// integer, or the value standing in for a missing one.
qint32 AmountSortValue(const TBookData& book);
qint32 SalesRankSortValue(const TBookData& book);
