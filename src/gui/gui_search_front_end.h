#pragma once

#include "search/search_front_end.h"

#include <QPointer>

#include <functional>

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
    void ShowSearchNotice(const QString& text) override;
    void ShowCacheProblem(const QString& text) override;

    // Where notices go: the window's status bar.
    void SetNoticeDisplay(std::function<void(const QString&)> display) { noticeDisplay_ = std::move(display); }
    // Where the cache's trouble is told: the status bar, until the next hint.
    void SetCacheProblemDisplay(std::function<void(const QString&)> display)
    {
        cacheProblemDisplay_ = std::move(display);
    }

private:
    QWidget* owner_;
    std::function<void(const QString&)> noticeDisplay_;
    std::function<void(const QString&)> cacheProblemDisplay_;
    QPointer<QMessageBox> errorBox_;
};
