#pragma once

#include "search/search_front_end.h"

#include <QStringList>

#include <functional>

// Records what a search would show the user.
class RecordingFrontEnd final : public TSearchFrontEnd
{
public:
    void ShowMissingKeyWarning(const QString& text) override { warnings.append(text); }
    void ShowCatalogueError(const QString& message) override
    {
        errors.append(message);
        if (onError)
            onError(message);
    }

    QStringList warnings;
    QStringList errors;
    std::function<void(const QString&)> onError;
};
