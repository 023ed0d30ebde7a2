#pragma once

#include <QStringList>

// The search key of one memo line: the ISBN-10 form of its ISBN characters.
// A line whose ISBN-13 body holds an x or X raises ConversionError with a
// message that names the line (its number, counted from 1, and its text).
QString SearchKeyOfLine(const QString& line, qsizetype lineNumber);

// The search keys of the memo's lines, in order: a line of 9 characters or
// fewer is skipped, so is a line equal to one already taken (compared as
// typed, before any normalising); every other line gives its search key.
QStringList BuildSearchList(const QStringList& memoLines);
