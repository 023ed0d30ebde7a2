#include "support/fake_calil.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString Param(const httplib::Request& request, const char* name)
{
    return request.has_param(name) ? QString::fromStdString(request.get_param_value(name)) : QString();
}

} // namespace

FakeCalil::FakeCalil()
{
    server_.server().set_keep_alive_timeout(1);
    server_.server().Get("/check", [this](const httplib::Request& request, httplib::Response& response) {
        AnswerCheck(request, response);
    });
    server_.server().Get("/library", [this](const httplib::Request& request, httplib::Response& response) {
        AnswerLibrary(request, response);
    });
    server_.Start();
}

FakeCalil::~FakeCalil()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    server_.Stop();
}

void FakeCalil::Hold(const QString& isbn, const QString& systemId, const QString& reserveUrl,
                     const QMap<QString, QString>& buildings)
{
    QJsonObject libkey;
    for (auto building = buildings.cbegin(); building != buildings.cend(); ++building)
        libkey.insert(building.key(), building.value());
    const QJsonObject done{{QStringLiteral("libkey"), libkey}, {QStringLiteral("reserveurl"), reserveUrl}};
    std::lock_guard lock(mutex_);
    holdings_.insert(Key(isbn, systemId), QJsonDocument(done).toJson(QJsonDocument::Compact));
}

void FakeCalil::SetStatus(const QString& isbn, const QString& systemId, const QString& status)
{
    std::lock_guard lock(mutex_);
    statuses_.insert(Key(isbn, systemId), status);
}

void FakeCalil::SetRunningAnswers(int answers)
{
    std::lock_guard lock(mutex_);
    runningAnswers_ = answers;
}

void FakeCalil::SetRunningAnswers(const QString& isbn, const QString& systemId, int answers)
{
    std::lock_guard lock(mutex_);
    runningFor_.insert(Key(isbn, systemId), answers);
}

void FakeCalil::SetDoneStatus(const QString& status)
{
    std::lock_guard lock(mutex_);
    doneStatus_ = status;
}

void FakeCalil::SetAlwaysJsonp(bool jsonp)
{
    std::lock_guard lock(mutex_);
    alwaysJsonp_ = jsonp;
}

void FakeCalil::FailChecksWithStatus(int status)
{
    std::lock_guard lock(mutex_);
    failStatus_ = status;
}

void FakeCalil::HoldAnswersAfter(int answers)
{
    std::lock_guard lock(mutex_);
    holdAfter_ = answers;
}

void FakeCalil::Release()
{
    {
        std::lock_guard lock(mutex_);
        holdAfter_ = -1;
    }
    changed_.notify_all();
}

void FakeCalil::AddBuilding(const QString& prefecture, const QString& systemId, const QString& systemName,
                            const QString& formal, bool primary)
{
    const QJsonObject building{{QStringLiteral("systemid"), systemId},
                               {QStringLiteral("systemname"), systemName},
                               {QStringLiteral("libkey"), formal},
                               {QStringLiteral("formal"), formal},
                               {QStringLiteral("short"), formal},
                               {QStringLiteral("pref"), prefecture},
                               {QStringLiteral("city"), systemName.mid(prefecture.size())},
                               {QStringLiteral("category"), QStringLiteral("MEDIUM")},
                               {QStringLiteral("primary"), primary},
                               {QStringLiteral("url_pc"), QStringLiteral("https://library.example/")}};
    std::lock_guard lock(mutex_);
    QByteArray& list = buildings_[prefecture];
    if (!list.isEmpty())
        list += ',';
    list += QJsonDocument(building).toJson(QJsonDocument::Compact);
}

std::vector<FakeCalil::Request> FakeCalil::checkRequests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

int FakeCalil::checkRequestCount() const
{
    std::lock_guard lock(mutex_);
    return int(requests_.size());
}

bool FakeCalil::WaitForCheckRequests(int count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return int(requests_.size()) >= count; });
}

QStringList FakeCalil::libraryRequests() const
{
    std::lock_guard lock(mutex_);
    return libraryRequests_;
}

void FakeCalil::AnswerCheck(const httplib::Request& request, httplib::Response& response)
{
    Request received;
    received.at = std::chrono::steady_clock::now();
    received.appKey = Param(request, "appkey");
    received.session = Param(request, "session");
    received.start = received.session.isEmpty();
    if (received.start) {
        received.isbns = Param(request, "isbn").split(u',', Qt::SkipEmptyParts);
        received.systemIds = Param(request, "systemid").split(u',', Qt::SkipEmptyParts);
    }
    const bool jsonp = Param(request, "callback") != u"no";

    std::unique_lock lock(mutex_);
    if (received.start && failStatus_ == 0) {
        received.session = QStringLiteral("s%1").arg(nextSession_++);
        Session& session = sessions_[received.session];
        for (const QString& isbn : std::as_const(received.isbns)) {
            for (const QString& systemId : std::as_const(received.systemIds))
                session.pairs.push_back({isbn, systemId});
        }
    }
    requests_.push_back(received);
    changed_.notify_all();
    if (failStatus_ != 0) {
        response.status = failStatus_;
        response.set_content("Service Unavailable", "text/plain");
        return;
    }
    const int order = answered_++;
    changed_.wait(lock, [&] { return stopping_ || holdAfter_ < 0 || order < holdAfter_; });
    if (!sessions_.contains(received.session)) {
        response.status = 404;
        response.set_content("no such session", "text/plain");
        return;
    }
    QByteArray body = SessionAnswer(received.session, sessions_[received.session]);
    if (jsonp || alwaysJsonp_)
        body = "callback(" + body + ");";
    response.set_content(body.toStdString(), "application/json; charset=utf-8");
}

QByteArray FakeCalil::SessionAnswer(const QString& id, Session& session) const
{
    const int answer = session.answers++;
    bool running = false;
    QJsonObject books;
    for (const Pair& pair : session.pairs) {
        const QString key = Key(pair.isbn, pair.systemId);
        QJsonObject state;
        if (answer < runningFor_.value(key, runningAnswers_)) {
            running = true;
            state = QJsonObject{{QStringLiteral("status"), QStringLiteral("Running")},
                                {QStringLiteral("reserveurl"), QString()}};
        } else if (statuses_.contains(key)) {
            state = QJsonObject{{QStringLiteral("status"), statuses_.value(key)}};
        } else {
            const QByteArray held = holdings_.value(key, R"({"libkey":{},"reserveurl":""})");
            state = QJsonDocument::fromJson(held).object();
            state.insert(QStringLiteral("status"), doneStatus_);
        }
        QJsonObject systems = books.value(pair.isbn).toObject();
        systems.insert(pair.systemId, state);
        books.insert(pair.isbn, systems);
    }
    const QJsonObject root{{QStringLiteral("session"), id},
                           {QStringLiteral("continue"), running ? 1 : 0},
                           {QStringLiteral("books"), books}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

void FakeCalil::AnswerLibrary(const httplib::Request& request, httplib::Response& response)
{
    const QString prefecture = Param(request, "pref");
    const bool jsonp = Param(request, "callback") != u"no";
    std::lock_guard lock(mutex_);
    libraryRequests_.append(prefecture);
    QByteArray body = '[' + buildings_.value(prefecture) + ']';
    if (jsonp || alwaysJsonp_)
        body = "callback(" + body + ");";
    response.set_content(body.toStdString(), "application/json; charset=utf-8");
}
