#include "search/failure_reports.h"

#include "search/main_thread_call.h"
#include "search/search_front_end.h"

#include <QScopeGuard>
#include <QThread>

TFailureReports::TFailureReports(TSearchFrontEnd& frontEnd, std::function<void()> cancelSearch)
    : frontEnd_(frontEnd), cancelSearch_(std::move(cancelSearch))
{
}

TFailureReports::~TFailureReports() { ReleaseAll(); }

void TFailureReports::Report(QObject* context, const QThread& worker, const QString& libraryName,
                             const QString& message)
{
    auto answered = std::make_shared<std::promise<void>>();
    std::future<void> seen = answered->get_future();
    CallOnMainThread(context, [&] { Enqueue({&worker, libraryName, message, answered}); });
    seen.wait();
}

void TFailureReports::ReleaseAll()
{
    closing_ = true;
    if (shown_) {
        shown_->answered->set_value();
        shown_.reset();
        frontEnd_.DismissCatalogueError();
    }
    for (TPending& pending : queue_)
        pending.answered->set_value();
    queue_.clear();
}

void TFailureReports::Enqueue(TPending pending)
{
    queue_.push_back(std::move(pending));
    ShowNext();
}

void TFailureReports::ShowNext()
{
    // The command line answers at once, from inside ShowCatalogueError: the
    // loop then goes on with the next one instead of recursing.
    if (showingNext_)
        return;
    showingNext_ = true;
    const auto done = qScopeGuard([this] { showingNext_ = false; });
    while (!shown_ && !queue_.empty()) {
        TPending next = std::move(queue_.front());
        queue_.pop_front();
        if (PassesWithoutBox(next)) {
            next.answered->set_value();
            continue;
        }
        shown_ = std::move(next);
        frontEnd_.ShowCatalogueError(shown_->message, shown_->libraryName,
                                     [this](TCatalogueErrorChoice choice) { Answered(choice); });
    }
}

bool TFailureReports::PassesWithoutBox(const TPending& pending) const
{
    return closing_ || pending.worker->isInterruptionRequested() || silenced_.contains(pending.libraryName);
}

void TFailureReports::Answered(TCatalogueErrorChoice choice)
{
    if (!shown_)
        return; // dismissed meanwhile
    TPending answered = std::move(*shown_);
    shown_.reset();
    if (choice.silenceLibrary)
        silenced_.insert(answered.libraryName);
    if (choice.cancelSearch)
        cancelSearch_();
    answered.answered->set_value();
    ShowNext();
}
