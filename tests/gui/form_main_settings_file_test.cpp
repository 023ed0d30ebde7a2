#include "gui/form_main.h"
#include "gui/quillmoor_application.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

// Records what reaches the user's error display for the life of the object.
class ShownErrors final
{
public:
    ShownErrors()
        : previous_(TQuillmoorApplication::SetExceptionDisplay([this](const QString& text) { messages.append(text); }))
    {
    }
    ~ShownErrors() { TQuillmoorApplication::SetExceptionDisplay(previous_); }
    ShownErrors(const ShownErrors&) = delete;
    ShownErrors& operator=(const ShownErrors&) = delete;

    QStringList messages;

private:
    TQuillmoorApplication::ExceptionDisplay previous_;
};

} // namespace

TEST(FormMainSettingsFile, AFileThatIsNoSettingsIsReportedAndNeverWritten)
{
    TempFolder folder;
    const QString list = folder.file(QStringLiteral("isbn.txt"));
    const QByteArray isbns("978-4-10-101013-7\n4-00-310101-4\n");
    folder.write(QStringLiteral("isbn.txt"), isbns);
    ShownErrors shown;
    {
        TFormMain form(list);
        ASSERT_EQ(shown.messages.size(), 1);
        EXPECT_TRUE(shown.messages[0].startsWith(QStringLiteral("「%1」は設定ファイルではありません").arg(list)))
            << shown.messages[0].toStdString();
        // The window works on defaults; what changes is not kept.
        EXPECT_EQ(form.Config().GetProxyServer(), QStringLiteral("127.0.0.1"));
        form.Config().SetAwsKeyID(QStringLiteral("AKIAEXAMPLE"));
    }
    EXPECT_EQ(shown.messages.size(), 1);
    EXPECT_EQ(folder.read(QStringLiteral("isbn.txt")), isbns);
}
