#pragma once

#include <QStringList>

#include <vector>

// Calil answers at most this many book-requests (one ISBN in one system)
// per /check session.
inline constexpr int kCalilPairsPerSession = 100;

// The books and systems of one /check session: every ISBN in every system.
struct TCalilBlock
{
    QStringList isbns;
    QStringList systemIds;

    int Cost() const { return int(isbns.size() * systemIds.size()); }
    bool IsEmpty() const { return isbns.isEmpty() || systemIds.isEmpty(); }
};

// Packs every ISBN x system pair into as few sessions of at most
// kCalilPairsPerSession pairs as rectangles allow: the systems are split
// into groups of one size and the ISBNs into chunks that fill a session
// (100 ISBNs in 8 systems: 8 sessions of 25 ISBNs in 4 systems).
std::vector<TCalilBlock> PlanCalilSessions(const QStringList& isbns, const QStringList& systemIds,
                                           int pairsPerSession = kCalilPairsPerSession);

// Splits off the largest part of the block that costs at most `allowed`
// pairs: whole ISBNs in all its systems, or, when not even one ISBN fits,
// one ISBN in as many systems as fit. The rest is appended to `rest`.
TCalilBlock TakeWithin(const TCalilBlock& block, int allowed, std::vector<TCalilBlock>& rest);
