#pragma once

#include <QString>

// The program's title: the application name and every main window caption.
inline QString ApplicationTitle()
{
    return QStringLiteral("図書館蔵書検索ソフト Quillmoor");
}
