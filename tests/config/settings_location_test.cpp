#include "config/settings_location.h"
#include "support/temp_folder.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(SettingsLocation, BesideAWritableExecutableOtherwiseInTheUserConfig)
{
    TempFolder folder;
    EXPECT_EQ(DefaultSettingsPath(folder.file(QStringLiteral("quillmoor-cli"))),
              folder.file(QStringLiteral("quillmoor.ini")));

    const QByteArray savedHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", folder.file(QStringLiteral("config")).toUtf8());
    // An installed program does not write beside itself.
    const QString path = DefaultSettingsPath(QStringLiteral("/usr/bin/quillmoor"));
    EXPECT_EQ(path, folder.file(QStringLiteral("config/quillmoor/quillmoor.ini")));
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("config/quillmoor"))).exists());
    qputenv("XDG_CONFIG_HOME", savedHome);
}
