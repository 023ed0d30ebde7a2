#pragma once

#include "cli/cli_options.h"

// Exit statuses of quillmoor-cli.
enum TCliExit : int {
    kCliDone = 0,
    kCliFailure = 1,
    kCliUsage = 2,
    kCliMissingKey = 3,
    kCliLookupsFailed = 4, // the search ran to its end, but some lookups could not be made
    kCliInterrupted = 130,
};

// Runs one search from the command line and writes the results table as
// CSV. Needs a QCoreApplication; returns the exit status.
int RunCliSearch(const TCliOptions& options);
