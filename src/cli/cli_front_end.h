#pragma once

#include "search/search_front_end.h"

#include <cstdio>
#include <functional>

// The command line's side of a search: messages become lines on standard
// error, and a missing access key is remembered for the exit status. A
// catalogue failure is answered at once: the search goes on.
class TCliFrontEnd final : public TSearchFrontEnd
{
public:
    explicit TCliFrontEnd(std::FILE* errors) : errors_(errors) {}

    void ShowMissingKeyWarning(const QString& text) override;
    void ShowCatalogueError(const QString& message, const QString& libraryName,
                            ErrorAnswered answered) override;
    // A notice ("カーリルの上限のため 14:05 まで待機中") is a line of its own.
    void ShowSearchNotice(const QString& text) override;

    bool MissingKey() const { return missingKey_; }
    // Called before a message line, so that a progress bar can step aside.
    void SetBeforeMessage(std::function<void()> hook) { beforeMessage_ = std::move(hook); }

private:
    void WriteLine(const QString& text);

    std::FILE* errors_;
    bool missingKey_ = false;
    std::function<void()> beforeMessage_;
};
