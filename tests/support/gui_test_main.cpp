#include "gui/quillmoor_application.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Widget tests drive real widgets in the program's own application object;
// without a display they run offscreen.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TQuillmoorApplication app(argc, argv);
    // Nothing a test leaves in the cache reaches the user's.
    const QTemporaryDir cacheHome;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    // A modal box would hang a test: an error that reaches the user's error
    // display fails the running test instead, unless the test expects it.
    TQuillmoorApplication::SetExceptionDisplay(
        [](const QString& message) { ADD_FAILURE() << "error shown: " << message.toStdString(); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
