#pragma once

#include "search/search_front_end.h"

class QWidget;

// The window's side of a search: its messages in modal boxes over the
// window, each with one OK button. A catalogue failure is shown while the
// worker that met it waits; the other workers go on delivering meanwhile.
class TGuiSearchFrontEnd final : public TSearchFrontEnd
{
public:
    explicit TGuiSearchFrontEnd(QWidget* owner) : owner_(owner) {}

    void ShowMissingKeyWarning(const QString& text) override;
    void ShowCatalogueError(const QString& message) override;

private:
    QWidget* owner_;
};
