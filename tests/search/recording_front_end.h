#pragma once

#include "search/search_front_end.h"

#include <QStringList>

#include <functional>

// Records what a search would show the user.
class RecordingFrontEnd final : public TSearchFrontEnd
{
public:
    void ShowMissingKeyWarning(const QString& text) override { warnings.append(text); }
    // Answers at once, with `choice`, as the command line does.
    void ShowCatalogueError(const QString& message, const QString& libraryName, ErrorAnswered answered) override
    {
        errors.append(message);
        libraries.append(libraryName);
        if (onError)
            onError(message);
        answered(choice);
    }

    QStringList warnings;
    QStringList errors;
    QStringList libraries;
    TCatalogueErrorChoice choice;
    std::function<void(const QString&)> onError;
};
