#pragma once

#include <QString>
#include <QStringList>

// Whether a copy can be had now: on the shelf, or out for now.
enum class TShelfState { Unknown, OnShelf, Out };

// The lending statuses a library reports per building, best first: 貸出可,
// 蔵書あり, 館内のみ, 貸出中, 予約中, 準備中, 休館中.
const QStringList& LendingStatusOrder();

// The best of the statuses of a library's buildings by that order. A
// status outside the order (蔵書なし, or one not known yet) ranks below all
// of them; it is given only when nothing better is there, and 蔵書なし and
// empty texts never.
QString BestLendingStatus(const QStringList& statuses);

// 貸出可, 蔵書あり and 館内のみ are on the shelf; 貸出中, 予約中, 準備中 and
// 休館中 are not to be had now.
TShelfState ShelfStateOf(const QString& status);
