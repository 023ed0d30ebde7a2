#pragma once

#include "calil/calil_session_plan.h"
#include "results/library_answer.h"
#include "search/search_worker.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

class TCalilBudget;
class TCalilCheckAnswer;
class TCalilClock;

// Calil asks for at least this long between two requests of one session.
inline constexpr qint64 kCalilPollIntervalMs = 2000;

// A library asked through Calil.
struct TCalilLibrary
{
    QString name;
    QString systemId;
    // A built-in whose id is presumed: Calil's list of its prefecture
    // confirms the id by this system name before the search.
    QString prefecture;
    QString systemNameToConfirm;
    // The ISBNs of the search to ask for this library; all when unset (the
    // others are known already).
    std::optional<QSet<QString>> onlyIsbns;

    bool Wants(const QString& isbn) const { return !onlyIsbns || onlyIsbns->contains(isbn); }
};

// Where and under which rules Calil is asked.
struct TCalilSearchSettings
{
    QString appKey;
    QString baseUrl;
    // The library lists and the hourly count live here.
    QString cacheFolder;
    std::shared_ptr<const TCalilClock> clock;
};

// Asks Calil about every ISBN in every library that goes through Calil: one
// worker for all of them. It packs the ISBN x system pairs into sessions of
// at most 100, starts as many as the hourly budget allows (a few at a time),
// polls each session no sooner than 2 s after its last answer until Calil
// says it is done, and delivers every pair as it completes, through the same
// path as the catalogue workers. When the budget is spent it says until when
// it waits, keeps polling what runs, and goes on when requests are free
// again. A failed request is reported once and every pair it carried is
// delivered as a failure.
class TCalilSearchThread final : public TSearchWorker
{
    Q_OBJECT

public:
    // How the user knows the source in failure reports.
    static inline const QString kSourceName = QStringLiteral("カーリル");
    // Sessions open at once: enough to run a search in parallel, few
    // enough to stay polite.
    static constexpr int kMaxOpenSessions = 10;

    TCalilSearchThread(TSearchDriver& driver, const TProxySettings& proxy);
    ~TCalilSearchThread() override;

    // Called before the thread starts.
    void SetParameters(const QStringList& isbns, std::vector<TCalilLibrary> libraries,
                       TCalilSearchSettings settings);

    // The text shown while the budget holds the search back.
    static QString WaitingNotice(qint64 resumeAtMs);

private:
    struct TPair
    {
        QString isbn;
        QString systemId;
        TLibraryAnswer answer;
    };
    struct TSession;

    void Search(THttpClient& client) override;
    void ConfirmSystemIds(THttpClient& client);
    bool StartSessions(THttpClient& client);
    void Start(THttpClient& client, const TCalilBlock& block);
    void Poll(THttpClient& client, TSession& session);
    // Takes what the answer completes; false when the session is over.
    bool Take(const TCalilCheckAnswer& answer, TSession& session);
    void Fail(const QList<std::pair<QString, QString>>& pairs, const QString& message, bool report);
    void Deliver(const std::vector<TPair>& pairs);
    void ShowNotice(const QString& text);
    // Whether some library of the system wants the ISBN asked.
    bool SystemWants(const QString& systemId, const QString& isbn) const;

    QStringList isbns_;
    std::vector<TCalilLibrary> libraries_;
    TCalilSearchSettings settings_;

    // During the search.
    QHash<QString, int> occurrences_;      // search key -> times in the list
    QHash<QString, QStringList> namesOf_;  // system id -> library names
    std::deque<TCalilBlock> queue_;
    std::vector<std::unique_ptr<TSession>> sessions_;
    std::unique_ptr<TCalilBudget> budget_;
    QString notice_;
};
