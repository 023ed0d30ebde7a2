#pragma once

#include <QString>

// Replaces every control character but TAB (U+0000 to U+001F, DEL and
// U+0080 to U+009F) with U+FFFD. For text from outside the program on its
// way to a terminal or a file: an ESC in a server's status line must not
// drive the user's terminal.
QString ReplaceControlCharacters(QString text);
