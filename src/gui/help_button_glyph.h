#pragma once

#include <QIcon>

// The glyph of the dialogs' help buttons. The widget styles found on Linux
// desktops draw no help glyph of their own (an empty square stands in), so
// the program brings one.
inline QIcon HelpButtonGlyph()
{
    return QIcon(QStringLiteral(":/icons/help-button.svg"));
}
