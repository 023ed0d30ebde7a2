#pragma once

#include <QObject>

class QSocketNotifier;

// Turns Ctrl-C (SIGINT) into a Qt signal on the main thread. A second Ctrl-C
// ends the program at once, the usual way.
class TInterruptWatcher final : public QObject
{
    Q_OBJECT

public:
    explicit TInterruptWatcher(QObject* parent = nullptr);
    ~TInterruptWatcher() override;

Q_SIGNALS:
    void Interrupted();

private:
    QSocketNotifier* notifier_ = nullptr;
};
