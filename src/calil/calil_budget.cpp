#include "calil/calil_budget.h"

#include "amazon/sha256.h"
#include "calil/calil_clock.h"
#include "util/atomic_file.h"
#include "util/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <numeric>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QByteArray kHeader = "quillmoor-calil-budget 1";
constexpr int kLockWaitMs = 5000;

// An exclusive lock on a file beside the budget, held while it is read and
// rewritten. The system lets go of it when its holder ends, however it ends.
class TFileLock final
{
public:
    explicit TFileLock(const QString& fileName)
    {
        fd_ = open(QFile::encodeName(fileName).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return;
        for (int waited = 0; waited < kLockWaitMs; ++waited) {
            if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                locked_ = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR)
                return;
            QThread::msleep(1);
        }
    }
    ~TFileLock()
    {
        if (fd_ >= 0)
            close(fd_); // releases the lock
    }
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    bool IsLocked() const { return locked_; }

private:
    int fd_ = -1;
    bool locked_ = false;
};

int Sum(const auto& spent)
{
    return std::accumulate(spent.begin(), spent.end(), 0, [](int sum, const auto& entry) { return sum + entry.count; });
}

} // namespace

TCalilBudget::TCalilBudget(QString fileName, const QString& appKey, std::shared_ptr<const TCalilClock> clock)
    : fileName_(std::move(fileName)),
      keyDigest_(QString::fromLatin1(TSha256::Hash(appKey.toUtf8()).toHex().left(16))),
      clock_(std::move(clock))
{
}

int TCalilBudget::Spend(const std::function<int(int left)>& decide)
{
    const auto spendFrom = [&](std::vector<Spent>& spent) {
        const qint64 now = clock_->NowMs();
        spent = Current(std::move(spent), now);
        const int left = std::max(0, kCalilRequestsPerHour - Sum(spent));
        const int taken = std::clamp(decide(left), 0, left);
        if (taken > 0)
            spent.push_back({now, taken});
        return taken;
    };

    if (!fileFailed_) {
        QDir().mkpath(QFileInfo(fileName_).absolutePath());
        const TFileLock lock(fileName_ + QStringLiteral(".lock"));
        if (lock.IsLocked()) {
            Ledger ledger = Read();
            const int taken = spendFrom(ledger.mine);
            if (Write(ledger))
                return taken;
            // From now on this object keeps count alone, from what it knew.
            inMemory_ = ledger.mine;
            fileFailed_ = true;
            return taken;
        }
        fileFailed_ = true;
    }
    return spendFrom(inMemory_);
}

int TCalilBudget::Left() const
{
    std::vector<Spent> spent = fileFailed_ ? inMemory_ : Read().mine;
    return std::max(0, kCalilRequestsPerHour - Sum(Current(std::move(spent), clock_->NowMs())));
}

qint64 TCalilBudget::TimeWhenLeft(int amount) const
{
    const qint64 now = clock_->NowMs();
    std::vector<Spent> spent = Current(fileFailed_ ? inMemory_ : Read().mine, now);
    std::sort(spent.begin(), spent.end(), [](const Spent& a, const Spent& b) { return a.atMs < b.atMs; });
    int left = kCalilRequestsPerHour - Sum(spent);
    amount = std::min(amount, kCalilRequestsPerHour);
    if (left >= amount)
        return now;
    for (const Spent& entry : spent) {
        left += entry.count;
        if (left >= amount)
            return entry.atMs + kCalilBudgetWindowMs;
    }
    return now + kCalilBudgetWindowMs;
}

std::vector<TCalilBudget::Spent> TCalilBudget::Current(std::vector<Spent> spent, qint64 nowMs) const
{
    // A time ahead of the clock (the clock was set back) counts as now.
    std::erase_if(spent, [nowMs](const Spent& entry) { return entry.atMs + kCalilBudgetWindowMs <= nowMs; });
    for (Spent& entry : spent)
        entry.atMs = std::min(entry.atMs, nowMs);
    return spent;
}

TCalilBudget::Ledger TCalilBudget::Read() const
{
    Ledger ledger;
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly))
        return ledger;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != kHeader)
        return ledger; // not ours: written over
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].trimmed().split(' ');
        if (fields.size() != 3)
            continue;
        bool timeOk = false;
        bool countOk = false;
        const qint64 at = fields[1].toLongLong(&timeOk);
        const int count = fields[2].toInt(&countOk);
        if (!timeOk || !countOk || count <= 0 || count > kCalilRequestsPerHour)
            continue;
        if (QString::fromLatin1(fields[0]) == keyDigest_)
            ledger.mine.push_back({at, count});
        else
            ledger.others.push_back(QString::fromLatin1(lines[i].trimmed()));
    }
    return ledger;
}

bool TCalilBudget::Write(const Ledger& ledger) const
{
    QByteArray text = kHeader + '\n';
    for (const Spent& entry : ledger.mine)
        text += keyDigest_.toLatin1() + ' ' + QByteArray::number(entry.atMs) + ' ' + QByteArray::number(entry.count) + '\n';
    // Other keys' entries older than the window are of no use to anybody.
    const qint64 now = clock_->NowMs();
    for (const QString& line : ledger.others) {
        const QList<QByteArray> fields = line.toLatin1().split(' ');
        if (fields.size() == 3 && fields[1].toLongLong() + kCalilBudgetWindowMs > now)
            text += line.toLatin1() + '\n';
    }
    try {
        WriteFileAtomically(fileName_, text, TNewFileAccess::OwnerOnly);
        return true;
    } catch (const FileError&) {
        return false;
    }
}
