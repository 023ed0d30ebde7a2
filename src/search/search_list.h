#pragma once

#include <QStringList>

// The search keys of the memo's lines, in order: a line of 9 characters or
// fewer is skipped, so is a line equal to one already taken (compared as
// typed, before any normalising); every other line gives the ISBN-10 form of
// its ISBN characters. A line whose ISBN-13 body holds an x or X raises the
// ConversionError of Isbn13ToIsbn10.
QStringList BuildSearchList(const QStringList& memoLines);
