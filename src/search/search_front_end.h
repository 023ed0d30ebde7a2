#pragma once

#include <QString>

// What a search needs from the program around it: the window shows message
// boxes, the command line writes to standard error. Both are called on the
// main thread and return when the user has seen the message.
class TSearchFrontEnd
{
public:
    virtual ~TSearchFrontEnd() = default;

    // The search cannot start without the bookseller's access key id.
    virtual void ShowMissingKeyWarning(const QString& text) = 0;
    // A catalogue request failed; the worker that asked waits meanwhile.
    virtual void ShowCatalogueError(const QString& message) = 0;
};
