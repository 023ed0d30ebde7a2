#pragma once

#include <QString>

#include <optional>

class THttpClient;
class TErrorReporter;

// Fetches one catalogue result page and decodes it, detecting its encoding.
//
// A failed request (no connection, unknown host, time-out, error status) is
// told to the reporter once, with the client's own message, and gives no
// page; the caller then answers the empty text. A request ended because the
// client was aborted (the program is closing) gives no page and no report:
// nobody is left to read it, and a modal box at that moment would hold up
// the shutdown. Errors outside the program's error family pass through.
std::optional<QString> FetchCataloguePage(const QString& url, THttpClient& client,
                                          TErrorReporter& reporter);
