#include "util/atomic_file.h"

#include "util/error.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const QString& fileName, int error)
{
    throw FileError(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(fileName, QString::fromLocal8Bit(std::strerror(error))));
}

mode_t ModeForNewFile(TNewFileAccess access)
{
    if (access == TNewFileAccess::OwnerOnly)
        return S_IRUSR | S_IWUSR;
    const mode_t mask = umask(0);
    umask(mask);
    return (S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH) & ~mask;
}

// Removes the temporary file unless it has been renamed into place.
class TemporaryFile
{
public:
    explicit TemporaryFile(QByteArray pathTemplate) : path_(std::move(pathTemplate))
    {
        fd_ = mkstemp(path_.data());
    }
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            close(fd_);
        if (!placed_)
            unlink(path_.constData());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const char* path() const { return path_.constData(); }
    int Close()
    {
        const int rc = close(fd_);
        fd_ = -1;
        return rc;
    }
    void MarkPlaced() { placed_ = true; }

private:
    QByteArray path_;
    int fd_ = -1;
    bool placed_ = false;
};

} // namespace

void WriteFileAtomically(const QString& fileName, QByteArrayView bytes, TNewFileAccess access)
{
    const QFileInfo info(fileName);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QByteArray targetPath = QFile::encodeName(target);

    struct stat existing {};
    const bool exists = stat(targetPath.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        Fail(fileName, EISDIR);
    const mode_t mode = exists ? (existing.st_mode & 07777) : ModeForNewFile(access);

    TemporaryFile temporary(targetPath + ".XXXXXX");
    if (temporary.fd() < 0)
        Fail(fileName, errno);
    if (fchmod(temporary.fd(), mode) != 0)
        Fail(fileName, errno);

    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(temporary.fd(), data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail(fileName, errno);
        }
        data += written;
        left -= written;
    }
    if (fsync(temporary.fd()) != 0)
        Fail(fileName, errno);
    if (temporary.Close() != 0)
        Fail(fileName, errno);
    if (rename(temporary.path(), targetPath.constData()) != 0)
        Fail(fileName, errno);
    temporary.MarkPlaced();
}
