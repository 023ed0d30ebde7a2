#include "util/save_temporary.h"

#include "util/write_target.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kMarker[] = ".quillmoor-save-";
constexpr qsizetype kRandomLength = 6; // mkstemp's XXXXXX
constexpr qsizetype kLongestName = 255;

// The temporary's name up to its random part. A long file name is cut so
// the temporary's name still fits the file system's limit.
QByteArray NamePrefix(const QByteArray& finalPath)
{
    const QByteArray name = finalPath.mid(finalPath.lastIndexOf('/') + 1);
    const qsizetype room = kLongestName - 1 - qsizetype(sizeof kMarker - 1) - kRandomLength;
    return '.' + name.left(room) + kMarker;
}

bool IsTemporaryName(const QByteArray& name, const QByteArray& prefix)
{
    if (name.size() != prefix.size() + kRandomLength || !name.startsWith(prefix))
        return false;
    for (const char c : name.mid(prefix.size())) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

bool IsAbandoned(int fd)
{
    struct stat file {};
    return fstat(fd, &file) == 0 && S_ISREG(file.st_mode) && file.st_uid == geteuid()
           && (file.st_mode & 07777) == (S_IRUSR | S_IWUSR) && file.st_nlink == 1
           && flock(fd, LOCK_EX | LOCK_NB) == 0;
}

bool SameFile(int fd, int folder, const char* name)
{
    struct stat opened {};
    struct stat named {};
    return fstat(fd, &opened) == 0 && fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0
           && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

TSaveTemporary::TSaveTemporary(const QByteArray& finalPath)
    : finalPath_(finalPath), path_(FolderOfPath(finalPath) + '/' + NamePrefix(finalPath) + QByteArray(kRandomLength, 'X'))
{
    fd_ = mkostemp(path_.data(), O_CLOEXEC);
    if (fd_ < 0)
        return;
    // mkostemp leaves the user's umask to decide; this name promises 0600.
    if (fchmod(fd_, S_IRUSR | S_IWUSR) != 0 || flock(fd_, LOCK_EX) != 0) {
        const int error = errno;
        close(fd_);
        unlink(path_.constData());
        fd_ = -1;
        errno = error;
    }
}

TSaveTemporary::~TSaveTemporary()
{
    if (fd_ < 0)
        return;
    if (!placed_)
        unlink(path_.constData());
    close(fd_);
}

bool TSaveTemporary::Place()
{
    // The lock is kept until the rename is done, so no other save takes a
    // finished temporary for an abandoned one.
    placed_ = rename(path_.constData(), finalPath_.constData()) == 0;
    return placed_;
}

void RemoveAbandonedTemporaries(const QByteArray& finalPath)
{
    DIR* folder = opendir(FolderOfPath(finalPath).constData());
    if (folder == nullptr)
        return;
    const QByteArray prefix = NamePrefix(finalPath);
    while (const dirent* entry = readdir(folder)) {
        if (!IsTemporaryName(QByteArray(entry->d_name), prefix))
            continue;
        const int fd = openat(dirfd(folder), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (IsAbandoned(fd) && SameFile(fd, dirfd(folder), entry->d_name))
            unlinkat(dirfd(folder), entry->d_name, 0);
        close(fd);
    }
    closedir(folder);
}
