#include "cli/cli_front_end.h"

#include "util/control_characters.h"

void TCliFrontEnd::ShowMissingKeyWarning(const QString& text)
{
    missingKey_ = true;
    WriteLine(text);
}

void TCliFrontEnd::ShowCatalogueError(const QString& message, const QString& libraryName,
                                      ErrorAnswered answered)
{
    WriteLine(QStringLiteral("%1: %2").arg(libraryName, message));
    answered({});
}

void TCliFrontEnd::ShowSearchNotice(const QString& text)
{
    if (!text.isEmpty())
        WriteLine(text);
}

void TCliFrontEnd::WriteLine(const QString& text)
{
    if (beforeMessage_)
        beforeMessage_();
    // One line per message, whatever the message holds, and nothing in it
    // that a terminal would take as a command.
    QString line = text;
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    line = ReplaceControlCharacters(line);
    std::fprintf(errors_, "quillmoor-cli: %s\n", line.toUtf8().constData());
    std::fflush(errors_);
}
