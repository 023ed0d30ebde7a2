#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class TAppConfig;

// A library as the command line lists it.
struct TListedLibrary
{
    QString name;
    QString prefecture;
    // "catalogue", or "calil:<system id>": how a search asks it.
    QString how;
};

// Every library that can be named on the command line, in the order of the
// prefectures' codes and then by name: the ones the program knows and, with
// a Calil key, the systems of Calil's lists kept in the cache. Given a
// prefecture, only its libraries; its Calil list is fetched when none is
// kept (with a key). Raises UsageError for an unknown prefecture and the
// request's error when the list cannot be fetched.
std::vector<TListedLibrary> ListLibraries(TAppConfig& config, const QString& prefecture);

// The lines of --list-libraries: name, TAB, prefecture, TAB, how.
QString ListingText(const std::vector<TListedLibrary>& libraries);

// Makes every name known to the settings for this run: a library the
// program knows, or, with a Calil key, a system of a kept Calil list.
// Raises UsageError naming the first name that is neither.
void SelectLibraries(TAppConfig& config, const QStringList& names);
