#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Core tests run with an application object so that threads, event loops and
// blocking calls into the main thread behave as they do in the program.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Nothing a test leaves in the cache reaches the user's.
    const QTemporaryDir cacheHome;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
