#pragma once

#include <QString>

// Whether a URL may be handed to the desktop: only http and https. A URL
// scraped from a catalogue page or sent by the bookseller could name another
// scheme (file:, a custom handler) and start a program.
bool IsBrowsableUrl(const QString& url);

// Opens a browsable URL in the user's default browser; anything else opens
// nothing. Returns whether the URL was handed over; the desktop's own answer
// is not examined.
bool OpenUrlInBrowser(const QString& url);
