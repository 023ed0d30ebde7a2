#pragma once

#include "search/search_front_end.h"

#include <QPointer>

class QMessageBox;
class QWidget;

// The window's side of a search: its messages in modal boxes over the
// window. A catalogue failure is shown while the worker that met it waits;
// the other workers go on delivering meanwhile. Its box offers a way out:
// stop the search, or let this library's later failures pass.
class TGuiSearchFrontEnd final : public TSearchFrontEnd
{
public:
    static inline const QString kCancelSearchCaption = QStringLiteral("検索中止");
    static inline const QString kSilenceLibraryCaption =
        QStringLiteral("この図書館のエラーを今回の検索では表示しない");

    explicit TGuiSearchFrontEnd(QWidget* owner) : owner_(owner) {}
    ~TGuiSearchFrontEnd() override;

    void ShowMissingKeyWarning(const QString& text) override;
    void ShowCatalogueError(const QString& message, const QString& libraryName,
                            ErrorAnswered answered) override;
    void DismissCatalogueError() override;

private:
    QWidget* owner_;
    QPointer<QMessageBox> errorBox_;
};
