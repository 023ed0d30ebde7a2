#include "calil/calil_session_plan.h"

#include <algorithm>

namespace {

int CeilDiv(qsizetype a, qsizetype b) { return int((a + b - 1) / b); }

} // namespace

std::vector<TCalilBlock> PlanCalilSessions(const QStringList& isbns, const QStringList& systemIds,
                                           int pairsPerSession)
{
    std::vector<TCalilBlock> blocks;
    if (isbns.isEmpty() || systemIds.isEmpty() || pairsPerSession < 1)
        return blocks;
    // The group size with the fewest sessions; among equals the largest,
    // which asks each book in the most systems at once.
    const qsizetype largestGroup = std::min<qsizetype>(systemIds.size(), pairsPerSession);
    qsizetype bestGroup = 1;
    int bestSessions = -1;
    for (qsizetype group = 1; group <= largestGroup; ++group) {
        const qsizetype chunk = pairsPerSession / group;
        const int sessions = CeilDiv(systemIds.size(), group) * CeilDiv(isbns.size(), chunk);
        if (bestSessions < 0 || sessions <= bestSessions) {
            bestSessions = sessions;
            bestGroup = group;
        }
    }
    const qsizetype chunk = pairsPerSession / bestGroup;
    for (qsizetype s = 0; s < systemIds.size(); s += bestGroup) {
        for (qsizetype i = 0; i < isbns.size(); i += chunk)
            blocks.push_back({isbns.mid(i, chunk), systemIds.mid(s, bestGroup)});
    }
    return blocks;
}

TCalilBlock TakeWithin(const TCalilBlock& block, int allowed, std::vector<TCalilBlock>& rest)
{
    if (block.IsEmpty() || allowed <= 0) {
        if (!block.IsEmpty())
            rest.push_back(block);
        return {};
    }
    if (block.Cost() <= allowed)
        return block;
    const qsizetype wholeIsbns = allowed / block.systemIds.size();
    if (wholeIsbns > 0) {
        rest.push_back({block.isbns.mid(wholeIsbns), block.systemIds});
        return {block.isbns.mid(0, wholeIsbns), block.systemIds};
    }
    // One book in the systems that fit; the same book in the others, then
    // the other books in all of them.
    rest.push_back({block.isbns.mid(0, 1), block.systemIds.mid(allowed)});
    if (block.isbns.size() > 1)
        rest.push_back({block.isbns.mid(1), block.systemIds});
    return {block.isbns.mid(0, 1), block.systemIds.mid(0, allowed)};
}
