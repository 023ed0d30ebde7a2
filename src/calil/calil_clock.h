#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <functional>
#include <memory>

// The time Calil's rules are kept by: the 2-second polling interval and the
// hourly budget. Normally the wall clock; for tests one that runs faster by
// a factor, so that the same rules hold in milliseconds instead of seconds
// and hours (the rules themselves stay one constant each).
class TCalilClock final
{
public:
    // The wall clock.
    TCalilClock();
    // A clock that starts at the wall clock's time and then runs `factor`
    // times as fast.
    static std::shared_ptr<const TCalilClock> Accelerated(double factor);

    // Milliseconds since 1970 on this clock.
    qint64 NowMs() const;
    // How much real time a span on this clock takes.
    qint64 RealMsFor(qint64 clockMs) const;

    // Sleeps until this clock shows `whenMs`, waking now and then to ask
    // `stop`. True when the time has come, false when `stop` said so first.
    bool WaitUntil(qint64 whenMs, const std::function<bool()>& stop) const;

private:
    explicit TCalilClock(double factor);

    double factor_ = 1.0;
    qint64 originMs_ = 0;
    QElapsedTimer sinceOrigin_;
};
