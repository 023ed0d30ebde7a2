#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"
#include "util/error.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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
