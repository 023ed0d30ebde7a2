#pragma once

#include <QGuiApplication>

// Shows the busy cursor for the life of the object, also when the block is
// left by an exception.
class TCursorHourGlass final
{
public:
    TCursorHourGlass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TCursorHourGlass() { QGuiApplication::restoreOverrideCursor(); }
    TCursorHourGlass(const TCursorHourGlass&) = delete;
    TCursorHourGlass& operator=(const TCursorHourGlass&) = delete;
};
