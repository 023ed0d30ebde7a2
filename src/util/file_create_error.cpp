#include "util/file_create_error.h"

#include "util/error.h"

#include <cstring>

void ThrowCannotCreate(const QString& fileName, int errorNumber)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(errorNumber));
    throw FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason),
                    FileError::TAction::Create, fileName, reason, errorNumber);
}
