#pragma once

#include <QByteArrayView>
#include <QString>

// How a file that does not exist yet is created.
enum class TNewFileAccess {
    Public,    // readable by everybody the user's umask allows
    OwnerOnly, // 0600: the file holds secrets
};

// Writes the bytes as the file's whole new content through a temporary file
// in the same folder, which replaces the old file only once everything is
// written and flushed to disk. A failure at any point leaves the old file as
// it was and raises FileError "Cannot create file "<name>". <reason>". An
// existing file keeps its permissions; a symbolic link keeps pointing at the
// file it names, which is the one replaced.
void WriteFileAtomically(const QString& fileName, QByteArrayView bytes, TNewFileAccess access);
