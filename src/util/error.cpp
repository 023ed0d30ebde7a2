#include "util/error.h"

QuillmoorError::QuillmoorError(QString message)
    : message_(std::move(message)), utf8_(message_.toStdString())
{
}

FileError::FileError(QString message, TAction action, QString fileName, QString reason, int errorNumber)
    : QuillmoorError(std::move(message)), action_(action), fileName_(std::move(fileName)),
      reason_(std::move(reason)), errorNumber_(errorNumber)
{
}
