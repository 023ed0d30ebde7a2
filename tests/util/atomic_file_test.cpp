#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"
#include "util/error.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

ino_t InodeOf(const QString& path)
{
    struct stat file {};
    return stat(QFile::encodeName(path).constData(), &file) == 0 ? file.st_ino : 0;
}

QStringList NamesIn(const TempFolder& folder)
{
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                         QDir::Name);
}

// Permissions do not bind root. Run as root, the save runs in a child
// process that has become "nobody", who is given the paths listed first;
// otherwise it runs here, as the user who runs the tests. Returns the
// FileError's message, or the empty text when the save went through.
QString SaveAsOrdinaryUser(const QString& file, const QByteArray& bytes, const QStringList& givenPaths)
{
    const auto save = [&]() -> QString {
        try {
            WriteFileAtomically(file, bytes, TNewFileAccess::OwnerOnly);
            return QString();
        } catch (const FileError& error) {
            return error.message();
        }
    };
    if (geteuid() != 0)
        return save();
    constexpr uid_t kNobody = 65534;
    for (const QString& path : givenPaths)
        EXPECT_EQ(chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);
    int channel[2];
    if (pipe(channel) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(2);
        const QByteArray message = save().toUtf8();
        _exit(write(channel[1], message.constData(), std::size_t(message.size())) == message.size() ? 0 : 3);
    }
    close(channel[1]);
    QByteArray message;
    char chunk[256];
    for (ssize_t got; (got = read(channel[0], chunk, sizeof chunk)) > 0;)
        message.append(chunk, got);
    close(channel[0]);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child could not run the save";
    return QString::fromUtf8(message);
}

} // namespace

TEST(AtomicFile, FollowsAChainOfLinksToTheRealFile)
{
    TempFolder folder;
    folder.write(QStringLiteral("real.ini"), "old");
    ASSERT_TRUE(QFile::link(QStringLiteral("real.ini"), folder.file(QStringLiteral("middle.ini"))));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("middle.ini")), folder.file(QStringLiteral("first.ini"))));

    WriteFileAtomically(folder.file(QStringLiteral("first.ini")), "new", TNewFileAccess::OwnerOnly);
    EXPECT_EQ(folder.read(QStringLiteral("real.ini")), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("middle.ini"))).isSymLink());
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("first.ini"))).isSymLink());

    // A link to a file not made yet makes that file.
    ASSERT_TRUE(QFile::link(QStringLiteral("later.ini"), folder.file(QStringLiteral("dangling.ini"))));
    WriteFileAtomically(folder.file(QStringLiteral("dangling.ini")), "made", TNewFileAccess::OwnerOnly);
    EXPECT_EQ(folder.read(QStringLiteral("later.ini")), QByteArray("made"));
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("dangling.ini"))).isSymLink());
}

TEST(AtomicFile, HardLinkedFileIsRewrittenInPlaceAndAFailureKeepsItWhole)
{
    TempFolder folder;
    const QString one = folder.file(QStringLiteral("one.csv"));
    const QString two = folder.file(QStringLiteral("two.csv"));
    folder.write(QStringLiteral("one.csv"), "a longer old content");
    ASSERT_EQ(link(QFile::encodeName(one).constData(), QFile::encodeName(two).constData()), 0);

    WriteFileAtomically(two, "new", TNewFileAccess::Public);
    EXPECT_EQ(folder.read(QStringLiteral("one.csv")), QByteArray("new"));
    EXPECT_EQ(InodeOf(one), InodeOf(two));

    try {
        FileSizeLimit limit(16);
        WriteFileAtomically(two, QByteArray(1000, 'x'), TNewFileAccess::Public);
        FAIL() << "the write should have failed";
    } catch (const FileError&) {
    }
    EXPECT_EQ(folder.read(QStringLiteral("one.csv")), QByteArray("new"));
}

TEST(AtomicFile, FifoIsWrittenToAndStaysAFifo)
{
    TempFolder folder;
    const QString fifo = folder.file(QStringLiteral("results.csv"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // The reading end is open before the save, so the save never waits.
    const int reader = open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteFileAtomically(fifo, "ISBN\r\n", TNewFileAccess::Public);
    char received[16] = {};
    EXPECT_EQ(read(reader, received, sizeof received), 6);
    close(reader);
    EXPECT_EQ(QByteArray(received), QByteArray("ISBN\r\n"));
    struct stat file {};
    ASSERT_EQ(lstat(QFile::encodeName(fifo).constData(), &file), 0);
    EXPECT_TRUE(S_ISFIFO(file.st_mode));
    EXPECT_EQ(NamesIn(folder), QStringList({QStringLiteral("results.csv")}));
}

TEST(AtomicFile, ReadOnlyFileIsAnErrorAndStaysAsItWas)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("kept.ini"));
    folder.write(QStringLiteral("kept.ini"), "old");
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0444), 0);
    // The folder may be written: only the file's own mode protects it.
    EXPECT_EQ(SaveAsOrdinaryUser(file, "new", {folder.path(), file}),
              QStringLiteral("Cannot create file \"%1\". Permission denied").arg(file));
    EXPECT_EQ(folder.read(QStringLiteral("kept.ini")), QByteArray("old"));
    struct stat after {};
    ASSERT_EQ(stat(QFile::encodeName(file).constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0444u);
}

TEST(AtomicFile, WritableFileInAReadOnlyFolderIsRewrittenInPlace)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("quillmoor.ini"));
    folder.write(QStringLiteral("quillmoor.ini"), "old content");
    const ino_t inode = InodeOf(file);
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
    EXPECT_EQ(SaveAsOrdinaryUser(file, "new", {folder.path(), file}), QString());
    chmod(QFile::encodeName(folder.path()).constData(), 0755);
    EXPECT_EQ(folder.read(QStringLiteral("quillmoor.ini")), QByteArray("new"));
    EXPECT_EQ(InodeOf(file), inode);
}

TEST(AtomicFile, ASaveRemovesTheTemporariesOfKilledSavesOnly)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("quillmoor.ini"));
    const auto temporary = [&](const char* random, mode_t mode) {
        const QString name = QStringLiteral(".quillmoor.ini.quillmoor-save-") + QLatin1String(random);
        folder.write(name, "Password=secret");
        chmod(QFile::encodeName(folder.file(name)).constData(), mode);
        return name;
    };
    const QString abandoned = temporary("Ab12Cd", 0600);
    const QString running = temporary("Ef34Gh", 0600);
    const QString foreign = temporary("Ij56Kl", 0644);
    // A save still running holds its temporary locked.
    const int lock = open(QFile::encodeName(folder.file(running)).constData(), O_RDONLY);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);

    WriteFileAtomically(file, "[PROXY]", TNewFileAccess::OwnerOnly);
    close(lock);
    EXPECT_EQ(NamesIn(folder), QStringList({running, foreign, QStringLiteral("quillmoor.ini")}));
}

TEST(AtomicFile, ReplacesContentKeepingPermissionsAndLinks)
{
    TempFolder folder;
    const QString real = folder.file(QStringLiteral("real.csv"));
    folder.write(QStringLiteral("real.csv"), QByteArray("old content that is longer"));
    QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    ASSERT_TRUE(QFile::link(real, folder.file(QStringLiteral("link.csv"))));

    WriteFileAtomically(folder.file(QStringLiteral("link.csv")), "new", TNewFileAccess::Public);
    EXPECT_EQ(folder.read(QStringLiteral("real.csv")), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("link.csv"))).isSymLink());
    EXPECT_EQ(QFile::permissions(real) & 0x0FFF, QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::System).size(), 2);
}

TEST(AtomicFile, FailureLeavesTheOldFileAndNoLeftovers)
{
    TempFolder folder;
    folder.write(QStringLiteral("out.csv"), QByteArray("precious"));
    try {
        FileSizeLimit limit(16);
        WriteFileAtomically(folder.file(QStringLiteral("out.csv")), QByteArray(1000, 'x'), TNewFileAccess::Public);
        FAIL() << "the write should have failed";
    } catch (const FileError& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("Cannot create file \"%1\". File too large").arg(folder.file(QStringLiteral("out.csv"))));
    }
    EXPECT_EQ(folder.read(QStringLiteral("out.csv")), QByteArray("precious"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);

    EXPECT_THROW(WriteFileAtomically(folder.file(QStringLiteral("no/such/folder.csv")), "x", TNewFileAccess::Public),
                 FileError);
    EXPECT_THROW(WriteFileAtomically(folder.path(), "x", TNewFileAccess::Public), FileError);
}
