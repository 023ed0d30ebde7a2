#include "util/file_create_error.h"

#include "util/error.h"

#include <cstring>

void ThrowCannotCreate(const QString& fileName, int errorNumber)
{
    throw FileError(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(fileName, QString::fromLocal8Bit(std::strerror(errorNumber))));
}
