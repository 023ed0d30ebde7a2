#include "util/atomic_file.h"

#include "util/file_create_error.h"
#include "util/save_temporary.h"
#include "util/write_target.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

mode_t ModeForNewFile(TNewFileAccess access)
{
    if (access == TNewFileAccess::OwnerOnly)
        return S_IRUSR | S_IWUSR;
    const mode_t mask = umask(0);
    umask(mask);
    return (S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH) & ~mask;
}

// 0, or the error number of the write that failed.
int WriteAll(int fd, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, std::size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        left -= written;
    }
    return 0;
}

class OpenFile final
{
public:
    OpenFile(const QByteArray& path, const QString& fileName) : fd_(open(path.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC))
    {
        if (fd_ < 0)
            ThrowCannotCreate(fileName, errno);
    }
    ~OpenFile()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd() const { return fd_; }
    int Close() { return close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

bool IsRefusedByFolder(int error)
{
    return error == EACCES || error == EPERM;
}

// False, with nothing changed, when the folder will not take the new file
// although the old one may be written (a sticky folder, a security module):
// the caller then rewrites the file in place.
bool ReplaceThroughTemporary(const TWriteTarget& target, QByteArrayView bytes, mode_t mode, const QString& fileName)
{
    const bool replacing = target.way == TWriteWay::Replace;
    TSaveTemporary temporary(target.path);
    if (temporary.fd() < 0) {
        if (replacing && IsRefusedByFolder(errno))
            return false;
        ThrowCannotCreate(fileName, errno);
    }
    if (const int error = WriteAll(temporary.fd(), bytes))
        ThrowCannotCreate(fileName, error);
    if (fsync(temporary.fd()) != 0)
        ThrowCannotCreate(fileName, errno);
    // Only now may the data be seen by whoever may read the old file. The
    // owner changes only where the system permits (root, or a group of the
    // user's); otherwise the file becomes the user's.
    if (replacing && fchown(temporary.fd(), target.existing.st_uid, target.existing.st_gid) != 0)
        (void)fchown(temporary.fd(), uid_t(-1), target.existing.st_gid);
    if (fchmod(temporary.fd(), mode) != 0)
        ThrowCannotCreate(fileName, errno);
    if (!temporary.Place()) {
        if (replacing && IsRefusedByFolder(errno))
            return false;
        ThrowCannotCreate(fileName, errno);
    }
    return true;
}

void RewriteInPlace(const TWriteTarget& target, QByteArrayView bytes, const QString& fileName)
{
    OpenFile file(target.path, fileName);
    // Room is taken first, so a full disk or a size limit fails the save
    // before any of the old content is overwritten.
    if (!bytes.isEmpty()) {
        const int error = posix_fallocate(file.fd(), 0, off_t(bytes.size()));
        if (error == ENOSPC || error == EFBIG || error == EDQUOT)
            ThrowCannotCreate(fileName, error);
    }
    if (const int error = WriteAll(file.fd(), bytes))
        ThrowCannotCreate(fileName, error);
    if (ftruncate(file.fd(), off_t(bytes.size())) != 0 || fsync(file.fd()) != 0 || file.Close() != 0)
        ThrowCannotCreate(fileName, errno);
}

void WriteThrough(const TWriteTarget& target, QByteArrayView bytes, const QString& fileName)
{
    OpenFile stream(target.path, fileName);
    if (const int error = WriteAll(stream.fd(), bytes))
        ThrowCannotCreate(fileName, error);
    if (stream.Close() != 0)
        ThrowCannotCreate(fileName, errno);
}

} // namespace

void WriteFileAtomically(const QString& fileName, QByteArrayView bytes, TNewFileAccess access)
{
    const TWriteTarget target = FindWriteTarget(fileName);
    if (target.way == TWriteWay::WriteThrough) {
        WriteThrough(target, bytes, fileName);
        return;
    }
    RemoveAbandonedTemporaries(target.path);
    switch (target.way) {
    case TWriteWay::CreateNew:
        ReplaceThroughTemporary(target, bytes, ModeForNewFile(access), fileName);
        return;
    case TWriteWay::Replace:
        if (ReplaceThroughTemporary(target, bytes, target.existing.st_mode & 07777, fileName))
            return;
        RewriteInPlace(target, bytes, fileName);
        return;
    case TWriteWay::RewriteInPlace:
        RewriteInPlace(target, bytes, fileName);
        return;
    case TWriteWay::WriteThrough:
        return;
    }
}
