#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// What a run of the real quillmoor-cli left behind.
struct CliOutcome
{
    int exitCode = -1; // -1: it crashed or did not end
    QByteArray out;
    QString err;

    QString outText() const { return QString::fromUtf8(out); }
};

// Starts the real program, as a user runs it, with the input on its
// standard input; it inherits the test's environment (its cache folder).
inline QProcess* StartCli(const QStringList& arguments, const QByteArray& input = QByteArray())
{
    auto* process = new QProcess();
    process->start(QStringLiteral(QUILLMOOR_CLI_PATH), arguments);
    EXPECT_TRUE(process->waitForStarted());
    process->write(input);
    process->closeWriteChannel();
    return process;
}

// Waits for a started run to end and takes it over.
inline CliOutcome FinishCli(QProcess* process)
{
    EXPECT_TRUE(process->waitForFinished(30000));
    CliOutcome outcome{process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
                       process->readAllStandardOutput(), QString::fromUtf8(process->readAllStandardError())};
    delete process;
    return outcome;
}

inline CliOutcome RunCli(const QStringList& arguments, const QByteArray& input = QByteArray())
{
    return FinishCli(StartCli(arguments, input));
}
