#pragma once

#include <QString>

// Where a backend reports a failed catalogue request. ReportError returns
// only when the user has seen the message: the window shows a modal error
// box on the main thread while the calling worker waits; the command line
// prints one line to standard error. Called from worker threads.
class TErrorReporter
{
public:
    virtual ~TErrorReporter() = default;
    virtual void ReportError(const QString& message) = 0;
};
