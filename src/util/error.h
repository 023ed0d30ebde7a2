#pragma once

#include <QString>

#include <exception>
#include <string>

// The one family of errors of the program. Everything that can fail in a way
// the user should hear about raises one of these; its message is meant to be
// shown to the user as it stands.
class QuillmoorError : public std::exception
{
public:
    explicit QuillmoorError(QString message);

    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

// A text that should have been a number was not.
class ConversionError : public QuillmoorError
{
public:
    using QuillmoorError::QuillmoorError;
};

// A file could not be opened, read, created or written. Besides its
// message (English, as the command line prints it) it keeps what failed on
// which file and why, so that the window can tell it in Japanese.
class FileError : public QuillmoorError
{
public:
    enum class TAction { Other, Create, Open, Read };

    using QuillmoorError::QuillmoorError;
    FileError(QString message, TAction action, QString fileName, QString reason, int errorNumber = 0);

    TAction action() const noexcept { return action_; }
    const QString& fileName() const noexcept { return fileName_; }
    // The system's text for the failure.
    const QString& reason() const noexcept { return reason_; }
    // The errno value behind it, 0 when unknown.
    int errorNumber() const noexcept { return errorNumber_; }

private:
    TAction action_ = TAction::Other;
    QString fileName_;
    QString reason_;
    int errorNumber_ = 0;
};

// A network request failed: no connection, time-out, error status, ...
class HttpError : public QuillmoorError
{
public:
    using QuillmoorError::QuillmoorError;
};

// A document that should have been XML could not be read as such.
class XmlError : public QuillmoorError
{
public:
    using QuillmoorError::QuillmoorError;
};

// An answer that should have been JSON of a known shape was not.
class JsonError : public QuillmoorError
{
public:
    using QuillmoorError::QuillmoorError;
};
