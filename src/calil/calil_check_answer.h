#pragma once

#include "results/library_answer.h"

#include <QByteArray>
#include <QHash>
#include <QJsonValue>
#include <QString>

// What Calil said about one book in one library system: still being asked,
// or done with an answer (held with its record page and best lending
// status, not held, or failed).
struct TCalilPairState
{
    bool running = true;
    TLibraryAnswer answer;
};

// One answer of /check: the session, whether Calil is still asking
// libraries ("continue": 1), and the state of every book and system it
// lists, keyed by the ISBN exactly as it was sent and the system id.
struct TCalilCheckAnswer
{
    QString session;
    bool more = false;
    QHash<QString, QHash<QString, TCalilPairState>> books;

    // The state of a pair, or null when the answer does not list it.
    const TCalilPairState* Find(const QString& isbn, const QString& systemId) const;
};

// Reads a /check answer, JSON or JSONP. Raises CalilError when it is not
// one; a pair of an unexpected shape becomes a failed pair instead.
TCalilCheckAnswer ParseCalilCheckAnswer(const QByteArray& body);

// One system's entry for one book. Running while Calil still asks; OK and
// Cache are done: held when there is a record page or a building reports a
// status other than 蔵書なし (a held book without a record page leads to
// Calil's page of the book); Error and any status not known are failures.
TCalilPairState PairStateOf(const QJsonValue& entry, const QString& isbn);
