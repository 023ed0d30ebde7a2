#include "calil/calil_search_thread.h"

#include "calil/calil_budget.h"
#include "calil/calil_check_answer.h"
#include "calil/calil_clock.h"
#include "calil/calil_library_fetch.h"
#include "calil/calil_system_id.h"
#include "calil/calil_urls.h"
#include "libraries/http_client.h"
#include "search/main_thread_call.h"
#include "search/search_driver.h"
#include "util/error.h"

#include <QDateTime>
#include <QDir>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <limits>

namespace {

using TPairKey = std::pair<QString, QString>; // ISBN as sent, system id

QString RequestFailure(const QString& reason) { return QStringLiteral("カーリルへの問い合わせに失敗しました: ") + reason; }

const QString kNoResult = QStringLiteral("カーリルからこの本の結果が返りませんでした");

} // namespace

struct TCalilSearchThread::TSession
{
    QString id;
    QList<TPairKey> pending;
    qint64 nextPollAtMs = 0;
};

TCalilSearchThread::TCalilSearchThread(TSearchDriver& driver, const TProxySettings& proxy)
    : TSearchWorker(driver, proxy)
{
}

TCalilSearchThread::~TCalilSearchThread() = default;

void TCalilSearchThread::SetParameters(const QStringList& isbns, std::vector<TCalilLibrary> libraries,
                                       TCalilSearchSettings settings)
{
    isbns_ = isbns;
    libraries_ = std::move(libraries);
    settings_ = std::move(settings);
    if (!settings_.clock)
        settings_.clock = std::make_shared<TCalilClock>();
}

QString TCalilSearchThread::WaitingNotice(qint64 resumeAtMs)
{
    // The minute it will be going again, not the one it is still waiting in.
    constexpr qint64 kMinuteMs = 60 * 1000;
    const qint64 roundedUp = (resumeAtMs + kMinuteMs - 1) / kMinuteMs * kMinuteMs;
    const QString time = QDateTime::fromMSecsSinceEpoch(roundedUp).toLocalTime().toString(QStringLiteral("HH:mm"));
    return QStringLiteral("カーリルの上限のため %1 まで待機中").arg(time);
}

void TCalilSearchThread::Search(THttpClient& client)
{
    // Each book is asked once, in the order of the list; a key listed twice
    // gets its answer twice, as from a catalogue.
    QStringList asked;
    for (const QString& isbn : std::as_const(isbns_)) {
        if (occurrences_[isbn]++ == 0 && !isbn.isEmpty())
            asked.append(isbn);
    }
    for (const TCalilLibrary& library : libraries_)
        namesOf_[library.systemId].append(library.name);
    // A key with nothing to ask about is held nowhere.
    if (occurrences_.contains(QString())) {
        std::vector<TPair> empty;
        for (auto systemId = namesOf_.keyBegin(); systemId != namesOf_.keyEnd(); ++systemId)
            empty.push_back({QString(), *systemId, TLibraryAnswer{}});
        Deliver(empty);
    }
    // What a system is asked: the books some library of it still wants.
    const auto askedOf = [&](const QString& systemId) {
        QStringList isbns;
        for (const QString& isbn : std::as_const(asked))
            if (SystemWants(systemId, isbn))
                isbns.append(isbn);
        return isbns;
    };
    const auto allPairsOf = [&](const QString& systemId) {
        QList<TPairKey> pairs;
        for (const QString& isbn : askedOf(systemId))
            pairs.append({isbn, systemId});
        return pairs;
    };

    if (settings_.appKey.isEmpty()) {
        QStringList names;
        QList<TPairKey> pairs;
        for (auto systemId = namesOf_.keyBegin(); systemId != namesOf_.keyEnd(); ++systemId) {
            names.append(namesOf_.value(*systemId));
            pairs.append(allPairsOf(*systemId));
        }
        Fail(pairs,
             QStringLiteral("カーリルのアプリケーションキーが設定されていないため、次の図書館を検索できません: ")
                 + names.join(QStringLiteral("、")),
             true);
        return;
    }

    ConfirmSystemIds(client);
    namesOf_.clear();
    QStringList systems;
    QList<TPairKey> unusable;
    for (const TCalilLibrary& library : libraries_) {
        namesOf_[library.systemId].append(library.name);
        if (!IsValidCalilSystemId(library.systemId))
            unusable.append(allPairsOf(library.systemId));
        else if (!systems.contains(library.systemId))
            systems.append(library.systemId);
    }
    if (!unusable.isEmpty())
        Fail(unusable, QStringLiteral("カーリルの図書館IDが正しくありません"), true);

    // Systems that want the same books share sessions.
    QMap<QStringList, QStringList> systemsByBooks;
    for (const QString& systemId : std::as_const(systems))
        systemsByBooks[askedOf(systemId)].append(systemId);
    for (auto group = systemsByBooks.cbegin(); group != systemsByBooks.cend(); ++group) {
        for (const TCalilBlock& block : PlanCalilSessions(group.key(), group.value()))
            queue_.push_back(block);
    }
    budget_ = std::make_unique<TCalilBudget>(QDir(settings_.cacheFolder).filePath(QStringLiteral("calil-budget")),
                                             settings_.appKey, settings_.clock);
    const TCalilClock& clock = *settings_.clock;
    const auto stopped = [this] { return isInterruptionRequested(); };

    while (!isInterruptionRequested()) {
        const bool heldBack = StartSessions(client);
        if (isInterruptionRequested() || (queue_.empty() && sessions_.empty()))
            break;
        qint64 wakeAt = std::numeric_limits<qint64>::max();
        if (heldBack) {
            wakeAt = budget_->TimeWhenLeft(queue_.front().Cost());
            ShowNotice(WaitingNotice(wakeAt));
        } else {
            ShowNotice(QString());
        }
        for (const auto& session : sessions_)
            wakeAt = std::min(wakeAt, session->nextPollAtMs);
        if (!clock.WaitUntil(wakeAt, stopped))
            break;
        const qint64 now = clock.NowMs();
        for (const auto& session : sessions_) {
            if (isInterruptionRequested())
                break;
            if (session->nextPollAtMs <= now)
                Poll(client, *session);
        }
        std::erase_if(sessions_, [](const auto& session) { return session->pending.isEmpty(); });
    }
    ShowNotice(QString());
}

void TCalilSearchThread::ConfirmSystemIds(THttpClient& client)
{
    const TCalilLibraryCache cache(settings_.cacheFolder);
    for (TCalilLibrary& library : libraries_) {
        if (library.systemNameToConfirm.isEmpty() || isInterruptionRequested())
            continue;
        std::optional<std::vector<TCalilSystem>> systems = cache.Read(library.prefecture);
        if (!systems) {
            try {
                systems = FetchCalilLibraries(client, settings_.baseUrl, settings_.appKey, library.prefecture, cache);
            } catch (const QuillmoorError&) {
                continue; // the presumed id is asked then
            }
        }
        for (const TCalilSystem& system : *systems) {
            if (system.systemName == library.systemNameToConfirm) {
                library.systemId = system.systemId;
                break;
            }
        }
    }
}

bool TCalilSearchThread::StartSessions(THttpClient& client)
{
    while (!queue_.empty() && int(sessions_.size()) < kMaxOpenSessions && !isInterruptionRequested()) {
        TCalilBlock next = queue_.front();
        TCalilBlock taken;
        std::vector<TCalilBlock> rest;
        // What is left of the budget is sent at once when nothing else runs;
        // beside running sessions only whole sessions start, so that the
        // budget does not crumble into sessions of a book or two.
        const bool partAllowed = sessions_.empty();
        budget_->Spend([&](int left) {
            const int allowed = left >= next.Cost() || (partAllowed && left >= next.systemIds.size()) ? left : 0;
            taken = TakeWithin(next, allowed, rest);
            return taken.Cost();
        });
        if (taken.IsEmpty())
            return true; // held back by the budget
        queue_.pop_front();
        for (auto block = rest.rbegin(); block != rest.rend(); ++block)
            queue_.push_front(*block);
        Start(client, taken);
    }
    return false;
}

void TCalilSearchThread::Start(THttpClient& client, const TCalilBlock& block)
{
    auto session = std::make_unique<TSession>();
    for (const QString& isbn : block.isbns) {
        for (const QString& systemId : block.systemIds)
            session->pending.append({isbn, systemId});
    }
    TCalilCheckAnswer answer;
    try {
        answer = ParseCalilCheckAnswer(client.Get(CalilCheckUrl(settings_.baseUrl, settings_.appKey, block.isbns, block.systemIds)));
    } catch (const QuillmoorError& error) {
        if (!isInterruptionRequested())
            Fail(session->pending, RequestFailure(error.message()), true);
        return;
    }
    if (isInterruptionRequested())
        return;
    session->id = answer.session;
    if (Take(answer, *session))
        sessions_.push_back(std::move(session));
}

void TCalilSearchThread::Poll(THttpClient& client, TSession& session)
{
    TCalilCheckAnswer answer;
    try {
        answer = ParseCalilCheckAnswer(client.Get(CalilPollUrl(settings_.baseUrl, settings_.appKey, session.id)));
    } catch (const QuillmoorError& error) {
        if (!isInterruptionRequested())
            Fail(session.pending, RequestFailure(error.message()), true);
        session.pending.clear();
        return;
    }
    if (isInterruptionRequested())
        return;
    if (!Take(answer, session))
        session.pending.clear();
}

bool TCalilSearchThread::Take(const TCalilCheckAnswer& answer, TSession& session)
{
    std::vector<TPair> done;
    QStringList failedLibraries;
    QList<TPairKey> waiting;
    for (const TPairKey& pair : std::as_const(session.pending)) {
        const TCalilPairState* state = answer.Find(pair.first, pair.second);
        if (state == nullptr || state->running) {
            waiting.append(pair);
            continue;
        }
        done.push_back({pair.first, pair.second, state->answer});
        if (state->answer.IsFailure()) {
            for (const QString& name : namesOf_.value(pair.second)) {
                if (!failedLibraries.contains(name))
                    failedLibraries.append(name);
            }
        }
    }
    Deliver(done);
    if (!failedLibraries.isEmpty() && !isInterruptionRequested()) {
        Driver().ReportLookupFailure(*this, kSourceName,
                                     QStringLiteral("カーリルが次の図書館の蔵書を確認できませんでした: ")
                                         + failedLibraries.join(QStringLiteral("、")));
    }
    session.pending = waiting;
    if (waiting.isEmpty())
        return false;
    // Done by Calil's word, or no way to ask again: what is left has no
    // answer coming.
    if (!answer.more || session.id.isEmpty()) {
        Fail(waiting, kNoResult, false);
        session.pending.clear();
        return false;
    }
    // Counted from the answer, so that two requests of a session never come
    // closer than the interval, however long one took.
    session.nextPollAtMs = settings_.clock->NowMs() + kCalilPollIntervalMs;
    return true;
}

void TCalilSearchThread::Fail(const QList<TPairKey>& pairs, const QString& message, bool report)
{
    if (report && !isInterruptionRequested())
        Driver().ReportLookupFailure(*this, kSourceName, message);
    std::vector<TPair> failed;
    for (const TPairKey& pair : pairs)
        failed.push_back({pair.first, pair.second, TLibraryAnswer::Failure(message)});
    Deliver(failed);
}

void TCalilSearchThread::Deliver(const std::vector<TPair>& pairs)
{
    if (pairs.empty() || isInterruptionRequested())
        return;
    CallOnMainThread(&Driver(), [&] {
        for (const TPair& pair : pairs) {
            for (const QString& name : namesOf_.value(pair.systemId)) {
                const auto library = std::find_if(libraries_.cbegin(), libraries_.cend(),
                                                  [&name](const TCalilLibrary& l) { return l.name == name; });
                if (library != libraries_.cend() && !library->Wants(pair.isbn))
                    continue; // known already, delivered by whoever knew it
                for (int i = 0; i < occurrences_.value(pair.isbn); ++i) {
                    // Stopped while this call waited to be served.
                    if (isInterruptionRequested())
                        return;
                    Driver().DeliverLibraryAnswer(pair.isbn, pair.answer, name);
                }
            }
        }
    });
}

bool TCalilSearchThread::SystemWants(const QString& systemId, const QString& isbn) const
{
    return std::any_of(libraries_.cbegin(), libraries_.cend(), [&](const TCalilLibrary& library) {
        return library.systemId == systemId && library.Wants(isbn);
    });
}

void TCalilSearchThread::ShowNotice(const QString& text)
{
    if (text == notice_)
        return;
    notice_ = text;
    Driver().ShowSearchNotice(text);
}
