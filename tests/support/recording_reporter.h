#pragma once

#include "libraries/error_reporter.h"

#include <QStringList>

#include <functional>
#include <mutex>

// An error reporter for tests: remembers every message, in order, from any
// thread. An optional hook runs on the reporting thread after recording, for
// tests that make the reporter take its time like a modal box does.
class RecordingReporter final : public TErrorReporter
{
public:
    void ReportError(const QString& message) override;

    QStringList messages() const;
    int count() const;
    void SetOnReport(std::function<void(const QString&)> hook);

private:
    mutable std::mutex mutex_;
    QStringList messages_;
    std::function<void(const QString&)> onReport_;
};
