#pragma once

#include <QByteArrayView>
#include <QString>

// How a file that does not exist yet is created.
enum class TNewFileAccess {
    Public,    // readable by everybody the user's umask allows
    OwnerOnly, // 0600: the file holds secrets
};

// Writes the bytes as the file's whole new content without destroying what
// the path names:
// - a regular file is replaced by a new file in its folder, renamed over it
//   once everything is written and flushed, keeping its mode (and its owner
//   where the system permits); a failure leaves the old file as it was;
// - symbolic links are followed, and the file the last one names is the one
//   written; the links stay links;
// - a file with other hard links, in a folder the user may not write, or
//   reached as an open file of a process (/dev/stdout) is rewritten in place;
// - a FIFO or a device is written to as it stands;
// - a regular file the user may not write is an error, and stays untouched.
// Temporaries that earlier saves of the same file left when they were killed
// are removed. Every failure raises FileError
// "Cannot create file "<name>". <reason>".
void WriteFileAtomically(const QString& fileName, QByteArrayView bytes, TNewFileAccess access);
