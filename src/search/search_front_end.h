#pragma once

#include <QString>

#include <functional>

// What the user chose when shown a catalogue failure.
struct TCatalogueErrorChoice
{
    // Stop the whole search, as "検索中止" does.
    bool cancelSearch = false;
    // Let this library's later failures of this search pass without a box;
    // they still count as failures.
    bool silenceLibrary = false;
};

// What a search needs from the program around it: the window shows message
// boxes, the command line writes to standard error. Everything here is
// called on the main thread.
class TSearchFrontEnd
{
public:
    using ErrorAnswered = std::function<void(TCatalogueErrorChoice)>;

    virtual ~TSearchFrontEnd() = default;

    // The search cannot start without the bookseller's access key id.
    // Returns when the user has seen it.
    virtual void ShowMissingKeyWarning(const QString& text) = 0;
    // A catalogue request failed. The worker that asked waits until
    // `answered` has been called with the user's choice: at once, or when the
    // user has closed the box. Only one failure is shown at a time.
    virtual void ShowCatalogueError(const QString& message, const QString& libraryName,
                                    ErrorAnswered answered) = 0;
    // The program is closing: a failure still shown goes away unanswered.
    virtual void DismissCatalogueError() {}
    // A word on how the search goes ("カーリルの上限のため 14:05 まで待機中"),
    // shown until the next one; an empty text takes it away.
    virtual void ShowSearchNotice(const QString& text) { Q_UNUSED(text); }
    // The lookup cache could not be used as it should (the search goes on
    // without it, or it was made anew): told once, and it stays told.
    virtual void ShowCacheProblem(const QString& text) { ShowSearchNotice(text); }
};
