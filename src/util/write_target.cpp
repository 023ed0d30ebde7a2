#include "util/write_target.h"

#include "util/file_create_error.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// The kernel's own limit on links followed in one lookup.
constexpr int kMostLinksFollowed = 40;

// A link in /proc/<pid>/fd names a file a process has open ("/dev/stdout"
// leads there). Its text need not be a path at all ("pipe:[1234]"), and the
// file it names may be a deleted one: only the link itself reaches it.
bool IsProcessLink(const QByteArray& linkPath)
{
    struct statfs fileSystem {};
    return statfs(FolderOfPath(linkPath).constData(), &fileSystem) == 0 && fileSystem.f_type == PROC_SUPER_MAGIC;
}

QByteArray LinkTarget(const QByteArray& linkPath, const QString& fileName)
{
    QByteArray text(PATH_MAX, '\0');
    const ssize_t length = readlink(linkPath.constData(), text.data(), std::size_t(text.size()));
    if (length < 0)
        ThrowCannotCreate(fileName, errno);
    if (length == text.size())
        ThrowCannotCreate(fileName, ENAMETOOLONG);
    text.truncate(length);
    return text.startsWith('/') ? text : FolderOfPath(linkPath) + '/' + text;
}

bool MayAccess(const QByteArray& path, int how)
{
    // The effective user's rights: the ones open() and rename() will check.
    return faccessat(AT_FDCWD, path.constData(), how, AT_EACCESS) == 0;
}

TWriteTarget ExistingTarget(const QByteArray& path, const struct stat& existing, bool processLink,
                            const QString& fileName)
{
    if (S_ISDIR(existing.st_mode))
        ThrowCannotCreate(fileName, EISDIR);
    if (!S_ISREG(existing.st_mode))
        return {TWriteWay::WriteThrough, path, existing};
    // A file made read-only stays as it is; replacing it through a writable
    // folder would defeat the very point of the protection.
    if (!MayAccess(path, W_OK))
        ThrowCannotCreate(fileName, errno);
    // A new file renamed into place would split hard links apart, cannot be
    // made in a folder the user may not write, and would not be the file a
    // process has open.
    if (processLink || existing.st_nlink > 1 || !MayAccess(FolderOfPath(path), W_OK | X_OK))
        return {TWriteWay::RewriteInPlace, path, existing};
    return {TWriteWay::Replace, path, existing};
}

} // namespace

TWriteTarget FindWriteTarget(const QString& fileName)
{
    QByteArray path = QFile::encodeName(fileName);
    if (path.isEmpty())
        ThrowCannotCreate(fileName, ENOENT);
    for (int followed = 0; followed <= kMostLinksFollowed; ++followed) {
        struct stat existing {};
        if (lstat(path.constData(), &existing) != 0) {
            if (errno != ENOENT)
                ThrowCannotCreate(fileName, errno);
            // Nothing there, or a link whose target is still missing: the
            // target is the file to create.
            return {TWriteWay::CreateNew, path, {}};
        }
        if (!S_ISLNK(existing.st_mode))
            return ExistingTarget(path, existing, false, fileName);
        if (IsProcessLink(path)) {
            if (stat(path.constData(), &existing) != 0)
                ThrowCannotCreate(fileName, errno);
            return ExistingTarget(path, existing, true, fileName);
        }
        path = LinkTarget(path, fileName);
    }
    ThrowCannotCreate(fileName, ELOOP);
}

QByteArray FolderOfPath(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}
