#pragma once

#include <QString>

class QuillmoorError;

// The text the window shows for an error: Japanese where the program knows
// the failure (a file it could not create, open or read, with the system's
// reason in Japanese where it is a common one), the error's own message
// otherwise.
QString UserMessageOf(const QuillmoorError& error);
