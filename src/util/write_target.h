#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// How a save reaches the file a path names.
enum class TWriteWay {
    CreateNew,      // nothing there yet: a new file appears whole or not at all
    Replace,        // a new file in the same folder is renamed over the old one
    RewriteInPlace, // the old file itself is overwritten: other hard links, a
                    // folder the user cannot write, an open file of a process
    WriteThrough,   // not a regular file (FIFO, device, a pipe as /dev/stdout):
                    // the bytes are written to it as to a stream
};

struct TWriteTarget
{
    TWriteWay way = TWriteWay::CreateNew;
    // The file to write: symbolic links followed to the last one's target,
    // so the real file is the one changed and every link keeps its meaning.
    QByteArray path;
    // What is there now; meaningless for CreateNew.
    struct stat existing {};
};

// Decides where and how a save of `fileName` writes. Raises FileError
// "Cannot create file ..." when no way is allowed: a folder, a regular file
// the user may not write (it is left untouched), a loop of links.
TWriteTarget FindWriteTarget(const QString& fileName);

// The folder part of a path: "." for a bare name, "/" for a file in the root.
QByteArray FolderOfPath(const QByteArray& path);
