#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TCalilClock;

// Calil answers at most this many book-requests per key within any hour.
inline constexpr int kCalilRequestsPerHour = 1000;
inline constexpr qint64 kCalilBudgetWindowMs = 60LL * 60 * 1000;

// The book-requests spent under one application key within the last hour,
// kept in a file so that every run of the program, and the window and the
// command line at once, keep to one budget. The file is changed under a
// lock file and rewritten whole through a temporary file: a reader never
// sees half of it, and two programs never both spend the same requests.
//
// The key itself is not written: only a digest that tells keys apart.
class TCalilBudget final
{
public:
    TCalilBudget(QString fileName, const QString& appKey, std::shared_ptr<const TCalilClock> clock);

    // Spends what `decide` asks for out of what is left now (it is given
    // that amount and may ask for less); returns what was spent. When the
    // file cannot be locked or written, the budget is kept for this object
    // alone.
    int Spend(const std::function<int(int left)>& decide);

    // The requests left now.
    int Left() const;
    // The clock time at which `amount` requests will be left, by what is
    // spent now; now when they are left already.
    qint64 TimeWhenLeft(int amount) const;

private:
    struct Spent
    {
        qint64 atMs = 0;
        int count = 0;
    };
    // Other keys' entries are kept as they stand.
    struct Ledger
    {
        std::vector<Spent> mine;
        std::vector<QString> others;
    };

    Ledger Read() const;
    bool Write(const Ledger& ledger) const;
    std::vector<Spent> Current(std::vector<Spent> spent, qint64 nowMs) const;

    QString fileName_;
    QString keyDigest_;
    std::shared_ptr<const TCalilClock> clock_;
    // Used when the file fails us.
    std::vector<Spent> inMemory_;
    bool fileFailed_ = false;
};
