#include "support/recording_reporter.h"

void RecordingReporter::ReportError(const QString& message)
{
    std::function<void(const QString&)> hook;
    {
        std::lock_guard lock(mutex_);
        messages_.append(message);
        hook = onReport_;
    }
    if (hook)
        hook(message);
}

QStringList RecordingReporter::messages() const
{
    std::lock_guard lock(mutex_);
    return messages_;
}

int RecordingReporter::count() const
{
    std::lock_guard lock(mutex_);
    return int(messages_.size());
}

void RecordingReporter::SetOnReport(std::function<void(const QString&)> hook)
{
    std::lock_guard lock(mutex_);
    onReport_ = std::move(hook);
}
