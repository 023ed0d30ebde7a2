#pragma once

#include <QSet>
#include <QString>

#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <optional>

class QObject;
class QThread;
class TSearchFrontEnd;
struct TCatalogueErrorChoice;

// Catalogue failures on their way to the user, shown one at a time. The
// worker that met a failure waits until the user has answered it; failures
// that arrive meanwhile queue up instead of piling boxes on top of each
// other, and each is looked at again when its turn comes: after the user
// has stopped the search or silenced that library it passes without a box.
class TFailureReports final
{
public:
    TFailureReports(TSearchFrontEnd& frontEnd, std::function<void()> cancelSearch);
    ~TFailureReports();

    // On the worker's thread: hands the failure to the main thread (the
    // thread of `context`) and returns when the user has answered it or it
    // was let pass.
    void Report(QObject* context, const QThread& worker, const QString& libraryName,
                const QString& message);

    // A new search: every library may show its failures again.
    void StartSearch() { silenced_.clear(); }
    // Closing: the box goes, every waiting worker goes on, later failures
    // pass at once.
    void ReleaseAll();

private:
    struct TPending
    {
        const QThread* worker;
        QString libraryName;
        QString message;
        std::shared_ptr<std::promise<void>> answered;
    };

    void Enqueue(TPending pending);
    void ShowNext();
    bool PassesWithoutBox(const TPending& pending) const;
    void Answered(TCatalogueErrorChoice choice);

    TSearchFrontEnd& frontEnd_;
    std::function<void()> cancelSearch_;
    std::deque<TPending> queue_;
    std::optional<TPending> shown_;
    QSet<QString> silenced_;
    bool closing_ = false;
    bool showingNext_ = false;
};
