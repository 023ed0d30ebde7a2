#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A library system at Calil: the buildings of one municipality, asked
// together. It is shown under the formal name of its primary library.
struct TCalilSystem
{
    QString systemId;
    QString name;
    QString systemName; // "東京都三鷹市"

    friend bool operator==(const TCalilSystem&, const TCalilSystem&) = default;
};

// Reads a /library answer (JSON or JSONP, one record per building) into the
// systems of the prefecture, in name order. A system is named by the formal
// name of its primary library, else by its system name; names that two
// systems would share get the system name in brackets. Buildings with an
// invalid system id or of another prefecture are left out. Raises
// CalilError when the answer is not a list.
std::vector<TCalilSystem> ParseCalilLibraryList(const QByteArray& body, const QString& prefecture);

// The lists fetched so far, one file per prefecture in the cache folder,
// each written whole through a temporary file, so that programs running at
// once never see or leave half a list. A file that does not read back as a
// list counts as missing.
class TCalilLibraryCache final
{
public:
    explicit TCalilLibraryCache(QString cacheFolder);

    std::optional<std::vector<TCalilSystem>> Read(const QString& prefecture) const;
    // Raises FileError when the file cannot be written.
    void Write(const QString& prefecture, const std::vector<TCalilSystem>& systems) const;
    // The prefectures with a list, in the order of their codes.
    QStringList Prefectures() const;

private:
    QString FileOf(const QString& prefecture) const;

    QString folder_;
};
