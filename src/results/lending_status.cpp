#include "results/lending_status.h"

namespace {

const QString kNotHeld = QStringLiteral("蔵書なし");
constexpr qsizetype kFirstOut = 3; // 貸出中

} // namespace

const QStringList& LendingStatusOrder()
{
    static const QStringList order{
        QStringLiteral("貸出可"), QStringLiteral("蔵書あり"), QStringLiteral("館内のみ"),
        QStringLiteral("貸出中"), QStringLiteral("予約中"),   QStringLiteral("準備中"),
        QStringLiteral("休館中"),
    };
    return order;
}

QString BestLendingStatus(const QStringList& statuses)
{
    const QStringList& order = LendingStatusOrder();
    qsizetype bestRank = order.size();
    QString best;
    for (const QString& status : statuses) {
        if (status.isEmpty() || status == kNotHeld)
            continue;
        const qsizetype rank = order.indexOf(status);
        const qsizetype effective = rank < 0 ? order.size() : rank;
        if (effective < bestRank || best.isEmpty()) {
            bestRank = effective;
            best = status;
        }
    }
    return best;
}

TShelfState ShelfStateOf(const QString& status)
{
    const qsizetype rank = LendingStatusOrder().indexOf(status);
    if (rank < 0)
        return TShelfState::Unknown;
    return rank < kFirstOut ? TShelfState::OnShelf : TShelfState::Out;
}
