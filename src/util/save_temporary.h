#pragma once

#include <QByteArray>

// The file a save writes before it is renamed over the file it replaces, in
// the same folder. Its name says whose it is (".<name>.quillmoor-save-" and
// six letters), it is readable by its owner only while it holds the data (a
// settings file holds keys and a password), and it stays locked while the
// save runs, so a later save can tell what a killed program left behind from
// the temporary of a save still running.
class TSaveTemporary final
{
public:
    // Creates it beside `finalPath`; on failure fd() is negative and errno
    // tells why.
    explicit TSaveTemporary(const QByteArray& finalPath);
    // Removes it unless it has been placed.
    ~TSaveTemporary();
    TSaveTemporary(const TSaveTemporary&) = delete;
    TSaveTemporary& operator=(const TSaveTemporary&) = delete;

    int fd() const { return fd_; }
    // Renames it over the final path; false with errno set on failure.
    bool Place();

private:
    QByteArray finalPath_;
    QByteArray path_;
    int fd_ = -1;
    bool placed_ = false;
};

// Removes the temporaries of saves of `finalPath` that were killed before
// they finished: ours by name, mode 0600, owned by this user, and locked by
// no running save. Whatever cannot be removed is left alone.
void RemoveAbandonedTemporaries(const QByteArray& finalPath);
