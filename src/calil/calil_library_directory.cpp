#include "calil/calil_library_directory.h"

#include "calil/calil_error.h"
#include "calil/calil_json.h"
#include "calil/calil_system_id.h"
#include "libraries/prefectures.h"
#include "util/atomic_file.h"
#include "util/control_characters.h"
#include "util/error.h"
#include "util/text_trim.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

namespace {

constexpr qsizetype kMaxNameLength = 100;

// A name from outside as it may be shown and stored: one line, trimmed,
// bounded.
QString CleanName(const QString& text)
{
    return TrimBlanks(ReplaceControlCharacters(TrimBlanks(text).left(kMaxNameLength)));
}

bool IsPrimary(const QJsonValue& value)
{
    if (value.isString())
        return value.toString() == u"true" || value.toString() == u"1";
    return value.toBool() || value.toInt() == 1;
}

// Systems that would share a name get their system name (and, were that the
// same too, their id) in brackets.
void MakeNamesUnique(std::vector<TCalilSystem>& systems)
{
    for (int pass = 0; pass < 2; ++pass) {
        QHash<QString, int> uses;
        for (const TCalilSystem& system : systems)
            ++uses[system.name];
        for (TCalilSystem& system : systems) {
            if (uses.value(system.name) < 2)
                continue;
            const QString detail = pass == 0 && !system.systemName.isEmpty() ? system.systemName : system.systemId;
            system.name += QStringLiteral("（%1）").arg(detail);
        }
    }
}

void SortByName(std::vector<TCalilSystem>& systems)
{
    std::sort(systems.begin(), systems.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
}

const QString kFormat = QStringLiteral("quillmoor-calil-libraries");

} // namespace

std::vector<TCalilSystem> ParseCalilLibraryList(const QByteArray& body, const QString& prefecture)
{
    const QJsonDocument document = ParseCalilJson(body);
    if (!document.isArray())
        throw CalilError(QStringLiteral("カーリルの図書館一覧の形式が違います"));

    std::vector<TCalilSystem> systems;
    QHash<QString, qsizetype> indexOf;
    QHash<QString, bool> namedByPrimary;
    const QJsonArray buildings = document.array();
    for (const QJsonValue& value : buildings) {
        const QJsonObject building = value.toObject();
        const QString systemId = building.value(QStringLiteral("systemid")).toString();
        const QString pref = building.value(QStringLiteral("pref")).toString();
        if (!IsValidCalilSystemId(systemId) || (!pref.isEmpty() && pref != prefecture))
            continue;
        if (!indexOf.contains(systemId)) {
            indexOf.insert(systemId, qsizetype(systems.size()));
            const QString systemName = CleanName(building.value(QStringLiteral("systemname")).toString());
            systems.push_back({systemId, systemName.isEmpty() ? systemId : systemName, systemName});
        }
        TCalilSystem& system = systems[size_t(indexOf.value(systemId))];
        const QString formal = CleanName(building.value(QStringLiteral("formal")).toString());
        if (IsPrimary(building.value(QStringLiteral("primary"))) && !formal.isEmpty()
            && !namedByPrimary.value(systemId)) {
            system.name = formal;
            namedByPrimary.insert(systemId, true);
        }
    }
    MakeNamesUnique(systems);
    SortByName(systems);
    return systems;
}

TCalilLibraryCache::TCalilLibraryCache(QString cacheFolder) : folder_(std::move(cacheFolder)) {}

QString TCalilLibraryCache::FileOf(const QString& prefecture) const
{
    const TPrefecture* known = FindPrefecture(prefecture);
    if (known == nullptr)
        return QString();
    return QDir(folder_).filePath(QStringLiteral("calil-libraries/%1.json").arg(known->code, 2, 10, QChar(u'0')));
}

std::optional<std::vector<TCalilSystem>> TCalilLibraryCache::Read(const QString& prefecture) const
{
    const QString fileName = FileOf(prefecture);
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (root.value(QStringLiteral("format")).toString() != kFormat
        || root.value(QStringLiteral("prefecture")).toString() != prefecture)
        return std::nullopt;
    std::vector<TCalilSystem> systems;
    const QJsonArray entries = root.value(QStringLiteral("systems")).toArray();
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = value.toObject();
        TCalilSystem system{entry.value(QStringLiteral("systemid")).toString(),
                            CleanName(entry.value(QStringLiteral("name")).toString()),
                            CleanName(entry.value(QStringLiteral("systemname")).toString())};
        // The file is outside the program's hands: it is checked as any
        // answer from outside would be.
        if (!IsValidCalilSystemId(system.systemId) || system.name.isEmpty())
            return std::nullopt;
        systems.push_back(system);
    }
    SortByName(systems);
    return systems;
}

void TCalilLibraryCache::Write(const QString& prefecture, const std::vector<TCalilSystem>& systems) const
{
    const QString fileName = FileOf(prefecture);
    if (fileName.isEmpty())
        return;
    QJsonArray entries;
    for (const TCalilSystem& system : systems) {
        entries.append(QJsonObject{{QStringLiteral("systemid"), system.systemId},
                                   {QStringLiteral("name"), system.name},
                                   {QStringLiteral("systemname"), system.systemName}});
    }
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("prefecture"), prefecture},
                           {QStringLiteral("fetched"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                           {QStringLiteral("systems"), entries}};
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        throw FileError(QStringLiteral("Cannot create folder \"%1\".").arg(QFileInfo(fileName).absolutePath()));
    WriteFileAtomically(fileName, QJsonDocument(root).toJson(QJsonDocument::Indented), TNewFileAccess::Public);
}

QStringList TCalilLibraryCache::Prefectures() const
{
    QStringList cached;
    for (const TPrefecture& prefecture : AllPrefectures()) {
        if (QFile::exists(FileOf(prefecture.name)))
            cached.append(prefecture.name);
    }
    return cached;
}
