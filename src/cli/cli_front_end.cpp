#include "cli/cli_front_end.h"

void TCliFrontEnd::ShowMissingKeyWarning(const QString& text)
{
    missingKey_ = true;
    WriteLine(text);
}

void TCliFrontEnd::ShowCatalogueError(const QString& message)
{
    WriteLine(message);
}

void TCliFrontEnd::WriteLine(const QString& text)
{
    if (beforeMessage_)
        beforeMessage_();
    // One line per message, whatever the message holds.
    QString line = text;
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    std::fprintf(errors_, "quillmoor-cli: %s\n", line.toUtf8().constData());
    std::fflush(errors_);
}
