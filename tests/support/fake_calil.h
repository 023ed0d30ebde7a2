#pragma once

#include "support/loopback_server.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

// An in-process Calil API on 127.0.0.1: /check starts and polls sessions,
// /library lists the library buildings of a prefecture, in the shapes of
// Calil's answers (JSON, or JSONP when asked without callback=no or when
// told to). Every pair of a session stays "Running" for a set number of the
// session's answers (the start's answer is the first), then is done: held
// with its record page and buildings' statuses, not held, or the status it
// was given ("Error", or one Calil does not have).
//
// It records every request with its arrival time, and can fail requests
// with an HTTP status or hold answers back until released. Serving starts in
// the constructor; the destructor releases what is held and stops.
class FakeCalil final
{
public:
    static inline const QString kAppKey = QStringLiteral("calil-test-key/+=");

    struct Request
    {
        bool start = false;         // a new session, not a poll
        QString session;            // the session started (named by the fake) or polled
        QStringList isbns;          // a start's books, as sent
        QStringList systemIds;      // a start's systems
        QString appKey;
        std::chrono::steady_clock::time_point at;
        int Pairs() const { return int(isbns.size() * systemIds.size()); }
    };

    FakeCalil();
    ~FakeCalil();
    FakeCalil(const FakeCalil&) = delete;
    FakeCalil& operator=(const FakeCalil&) = delete;

    QString baseUrl() const { return server_.baseUrl(); }

    // Holdings: a record page and the status of each building.
    void Hold(const QString& isbn, const QString& systemId, const QString& reserveUrl,
              const QMap<QString, QString>& buildings);
    // A pair answered with this status instead ("Error", "Maintenance").
    void SetStatus(const QString& isbn, const QString& systemId, const QString& status);
    // How many answers of its session a pair stays "Running" (default 1:
    // running at the start, done at the first poll); per pair, or for all.
    void SetRunningAnswers(int answers);
    void SetRunningAnswers(const QString& isbn, const QString& systemId, int answers);
    // Done pairs say "Cache" instead of "OK".
    void SetDoneStatus(const QString& status);
    // Wraps every answer as JSONP, whatever the request asked for.
    void SetAlwaysJsonp(bool jsonp);
    // Answers every later /check request with this HTTP status (0: normally).
    void FailChecksWithStatus(int status);
    // Holds every /check answer after the first `answers` until Release().
    void HoldAnswersAfter(int answers);
    void Release();

    // /library: one building of a system.
    void AddBuilding(const QString& prefecture, const QString& systemId, const QString& systemName,
                     const QString& formal, bool primary);

    std::vector<Request> checkRequests() const;
    int checkRequestCount() const;
    bool WaitForCheckRequests(int count, std::chrono::milliseconds timeout) const;
    // The prefectures /library was asked for, in order.
    QStringList libraryRequests() const;

private:
    struct Pair
    {
        QString isbn;
        QString systemId;
    };
    struct Session
    {
        std::vector<Pair> pairs;
        int answers = 0;
    };

    void AnswerCheck(const httplib::Request& request, httplib::Response& response);
    void AnswerLibrary(const httplib::Request& request, httplib::Response& response);
    QByteArray SessionAnswer(const QString& id, Session& session) const;
    QString Key(const QString& isbn, const QString& systemId) const { return isbn + u'\t' + systemId; }

    LoopbackServer server_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    QHash<QString, QByteArray> holdings_; // pair key -> its done JSON object
    QHash<QString, QString> statuses_;
    QHash<QString, int> runningFor_;
    int runningAnswers_ = 1;
    QString doneStatus_ = QStringLiteral("OK");
    bool alwaysJsonp_ = false;
    int failStatus_ = 0;
    int holdAfter_ = -1;
    int answered_ = 0;
    bool stopping_ = false;
    QHash<QString, Session> sessions_;
    int nextSession_ = 1;
    QMap<QString, QByteArray> buildings_; // prefecture -> JSON objects, comma-separated
    std::vector<Request> requests_;
    QStringList libraryRequests_;
};
