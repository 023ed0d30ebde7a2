#include "calil/calil_clock.h"

#include <QDateTime>
#include <QThread>

#include <algorithm>
#include <cmath>

TCalilClock::TCalilClock() : TCalilClock(1.0) {}

TCalilClock::TCalilClock(double factor) : factor_(factor), originMs_(QDateTime::currentMSecsSinceEpoch())
{
    sinceOrigin_.start();
}

std::shared_ptr<const TCalilClock> TCalilClock::Accelerated(double factor)
{
    return std::shared_ptr<const TCalilClock>(new TCalilClock(factor));
}

qint64 TCalilClock::NowMs() const
{
    if (factor_ == 1.0)
        return QDateTime::currentMSecsSinceEpoch();
    return originMs_ + qint64(std::floor(double(sinceOrigin_.nsecsElapsed()) * factor_ / 1e6));
}

qint64 TCalilClock::RealMsFor(qint64 clockMs) const { return qint64(std::ceil(double(clockMs) / factor_)); }

bool TCalilClock::WaitUntil(qint64 whenMs, const std::function<bool()>& stop) const
{
    // Short naps: a cancelled search ends promptly.
    constexpr qint64 kNapMs = 20;
    for (;;) {
        if (stop && stop())
            return false;
        const qint64 left = whenMs - NowMs();
        if (left <= 0)
            return true;
        QThread::msleep(quint64(std::clamp<qint64>(RealMsFor(left), 1, kNapMs)));
    }
}
