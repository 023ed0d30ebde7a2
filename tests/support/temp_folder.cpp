#include "support/temp_folder.h"

#include <QFile>

#include <stdexcept>

TempFolder::TempFolder()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

void TempFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile out(file(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

QByteArray TempFolder::read(const QString& name) const
{
    QFile in(file(name));
    if (!in.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read a test file");
    return in.readAll();
}
