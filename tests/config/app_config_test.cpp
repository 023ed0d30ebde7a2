#include "config/app_config.h"
#include "config/settings_file_refused.h"
#include "libraries/library_list.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "util/code_page.h"
#include "util/error.h"

#include <QFile>

#include <gtest/gtest.h>


namespace {

QByteArray Sjis(const char* utf8) { return EncodeCodePage(QString::fromUtf8(utf8), kCodePageShiftJis); }

const char* const kFromScratch = "[PROXY]\r\nUse=0\r\nServer=127.0.0.1\r\nPort=8080\r\nUserName=\r\nPassword=\r\n\r\n"
                                 "[AMAZON]\r\nAwsKeyID=\r\nSecretAccessKey=\r\n\r\n"
                                 "[LIBRARY]\r\nLibraryNames=\r\n\r\n";

} // namespace

TEST(AppConfig, MissingFileGivesDefaultsAndTheSaveWritesThemAll)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("quillmoor.ini"));
    TAppConfig config;
    config.Load(file);
    EXPECT_FALSE(config.GetProxyUse());
    EXPECT_EQ(config.GetProxyServer(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(config.GetProxyPort(), 8080);
    EXPECT_EQ(config.GetProxyUserName(), QString());
    EXPECT_EQ(config.GetAwsKeyID(), QString());
    EXPECT_TRUE(config.GetLibraryNames().isEmpty());
    EXPECT_FALSE(QFile::exists(file)); // loading creates nothing

    config.Save(file);
    EXPECT_EQ(folder.read(QStringLiteral("quillmoor.ini")), QByteArray(kFromScratch));
    // It holds keys and a password: only its owner may read it.
    EXPECT_EQ(QFile::permissions(file) & 0x0FFF, QFileDevice::ReadUser | QFileDevice::WriteUser);
}

TEST(AppConfig, ReadsValuesAsTheyStand)
{
    TempFolder folder;
    folder.write(QStringLiteral("q.ini"), Sjis("[proxy]\nuse=2\nserver=\nport=0x1F90\nUserName= 利用者 \n"
                                               "[Amazon]\nAwsKeyID=  \nSecretAccessKey=secret/+=\n"));
    TAppConfig config;
    config.Load(folder.file(QStringLiteral("q.ini")));
    EXPECT_TRUE(config.GetProxyUse());
    EXPECT_EQ(config.GetProxyServer(), QString());
    EXPECT_EQ(config.GetProxyPort(), 8080);
    EXPECT_EQ(config.GetProxyUserName(), QStringLiteral("利用者"));
    EXPECT_EQ(config.GetAwsKeyID(), QString());
    EXPECT_EQ(config.GetSecretAccessKey(), QStringLiteral("secret/+="));

    folder.write(QStringLiteral("q.ini"), Sjis("[PROXY]\nUse=yes\nPort=abc\n"));
    config.Load(folder.file(QStringLiteral("q.ini")));
    EXPECT_FALSE(config.GetProxyUse());
    EXPECT_EQ(config.GetProxyPort(), 8080);
    EXPECT_EQ(config.GetProxyServer(), QStringLiteral("127.0.0.1"));
}

TEST(AppConfig, KeepsOnlyKnownLibrariesOnceInTheirOrder)
{
    TempFolder folder;
    folder.write(QStringLiteral("q.ini"),
                 Sjis("[LIBRARY]\nLibraryNames=羽村市立図書館,品川区立図書館,\"\",松江市立図書館,"
                      "\"品川区立図書館 \",品川区立図書館,羽村市図書館\n"));
    TAppConfig config;
    config.Load(folder.file(QStringLiteral("q.ini")));
    EXPECT_EQ(config.GetLibraryNames(),
              QStringList({QStringLiteral("品川区立図書館"), QStringLiteral("松江市立図書館"),
                           QStringLiteral("羽村市図書館")}));
    config.Save(folder.file(QStringLiteral("q.ini")));
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")),
              Sjis("[LIBRARY]\r\nLibraryNames=品川区立図書館,松江市立図書館,羽村市図書館\r\n\r\n"
                   "[PROXY]\r\nUse=0\r\nServer=127.0.0.1\r\nPort=8080\r\nUserName=\r\nPassword=\r\n\r\n"
                   "[AMAZON]\r\nAwsKeyID=\r\nSecretAccessKey=\r\n\r\n"));
}

TEST(AppConfig, SaveKeepsForeignEntriesAndTheFileEncoding)
{
    TempFolder folder;
    const QString text = QStringLiteral("; mine\r\n[PROXY]\r\nUse=1\r\nMine=kept\r\n[ENDPOINTS]\r\n"
                                        "松江市立図書館=http://127.0.0.1:1/\r\namazon=127.0.0.1:2\r\n");
    folder.write(QStringLiteral("q.ini"), QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    TAppConfig config;
    config.Load(folder.file(QStringLiteral("q.ini")));
    EXPECT_EQ(config.GetEndpoints().BaseUrl(QStringLiteral("松江市立図書館")), QStringLiteral("http://127.0.0.1:1"));
    EXPECT_EQ(config.GetEndpoints().AmazonHost(), QStringLiteral("127.0.0.1:2"));
    EXPECT_EQ(config.GetEndpoints().BaseUrl(QStringLiteral("三鷹市立図書館")),
              QStringLiteral("http://www.library.mitaka.tokyo.jp"));
    config.SetAwsKeyID(QStringLiteral("AKIDEXAMPLE"));
    config.Save(folder.file(QStringLiteral("q.ini")));
    const QByteArray saved = folder.read(QStringLiteral("q.ini"));
    EXPECT_EQ(saved, QByteArray("\xEF\xBB\xBF")
                         + QStringLiteral("[PROXY]\r\nUse=1\r\nMine=kept\r\nServer=127.0.0.1\r\nPort=8080\r\n"
                                          "UserName=\r\nPassword=\r\n\r\n[ENDPOINTS]\r\n"
                                          "松江市立図書館=http://127.0.0.1:1/\r\namazon=127.0.0.1:2\r\n\r\n"
                                          "[AMAZON]\r\nAwsKeyID=AKIDEXAMPLE\r\nSecretAccessKey=\r\n\r\n"
                                          "[LIBRARY]\r\nLibraryNames=\r\n\r\n")
                               .toUtf8());
}

TEST(AppConfig, FailedSaveLeavesTheOldFileAndNamesIt)
{
    TempFolder folder;
    const QByteArray old = Sjis("[LIBRARY]\r\nLibraryNames=松江市立図書館\r\n\r\n");
    folder.write(QStringLiteral("q.ini"), old);
    TAppConfig config;
    config.Load(folder.file(QStringLiteral("q.ini")));
    config.SetProxyServer(QString(200, u'x'));
    try {
        FileSizeLimit limit(64);
        config.Save(folder.file(QStringLiteral("q.ini")));
        FAIL() << "the save should have failed";
    } catch (const FileError& error) {
        EXPECT_TRUE(error.message().contains(folder.file(QStringLiteral("q.ini")))) << error.what();
    }
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")), old);
}

TEST(AppConfig, UnreadableFileFailsTheLoad)
{
    TempFolder folder;
    TAppConfig config;
    EXPECT_THROW(config.Load(folder.path()), FileError);
}

TEST(AppConfig, MarkLessUtf8KeepsItsJapaneseLibrariesAndStaysUtf8)
{
    TempFolder folder;
    // As a Linux editor writes it: UTF-8, no byte-order mark, LF.
    folder.write(QStringLiteral("q.ini"), QStringLiteral("[LIBRARY]\nLibraryNames=三鷹市立図書館,松江市立図書館\n"
                                                         "[MINE]\nNote=ぜんぶ残る\n").toUtf8());
    TAppConfig config;
    config.Load(folder.file(QStringLiteral("q.ini")));
    EXPECT_EQ(config.GetLibraryNames(), QStringList({QStringLiteral("三鷹市立図書館"), QStringLiteral("松江市立図書館")}));
    config.Save(folder.file(QStringLiteral("q.ini")));
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")),
              QStringLiteral("[LIBRARY]\r\nLibraryNames=三鷹市立図書館,松江市立図書館\r\n\r\n[MINE]\r\nNote=ぜんぶ残る\r\n\r\n"
                             "[PROXY]\r\nUse=0\r\nServer=127.0.0.1\r\nPort=8080\r\nUserName=\r\nPassword=\r\n\r\n"
                             "[AMAZON]\r\nAwsKeyID=\r\nSecretAccessKey=\r\n\r\n")
                  .toUtf8());
}

TEST(AppConfig, ProxyCredentialsKeepTheirBlanksAndQuotesAcrossARestart)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("q.ini"));
    TAppConfig before;
    before.Load(file);
    before.SetProxyUserName(QStringLiteral("\"quoted\""));
    before.SetProxyPassword(QStringLiteral(" pass word\t"));
    before.Save(file);
    TAppConfig after;
    after.Load(file);
    EXPECT_EQ(after.GetProxyUserName(), QStringLiteral("\"quoted\""));
    EXPECT_EQ(after.GetProxyPassword(), QStringLiteral(" pass word\t"));
}

TEST(AppConfig, AFileThatCannotBeSettingsIsRefusedAndNeverWrittenOver)
{
    TempFolder folder;
    const QByteArray isbns("978-4-10-101013-7\n4-00-310101-4\n");
    folder.write(QStringLiteral("isbn.txt"), isbns);
    TAppConfig config;
    try {
        config.Load(folder.file(QStringLiteral("isbn.txt")));
        FAIL() << "an ISBN list was read as settings";
    } catch (const SettingsFileRefused& refused) {
        EXPECT_EQ(refused.reason(), SettingsFileRefused::Reason::NoSection);
        EXPECT_TRUE(refused.message().contains(folder.file(QStringLiteral("isbn.txt"))));
    }
    EXPECT_THROW(config.Save(folder.file(QStringLiteral("isbn.txt"))), SettingsFileRefused);
    EXPECT_EQ(folder.read(QStringLiteral("isbn.txt")), isbns);

    // Too large to be settings, a regular file or a device without end.
    folder.write(QStringLiteral("big.ini"), "[PROXY]\n" + QByteArray(1024 * 1024, ';'));
    for (const QString& name : {folder.file(QStringLiteral("big.ini")), QStringLiteral("/dev/zero")}) {
        try {
            config.Load(name);
            FAIL() << name.toStdString() << " was read as settings";
        } catch (const SettingsFileRefused& refused) {
            EXPECT_EQ(refused.reason(), SettingsFileRefused::Reason::TooLarge);
        }
    }

    // Blank lines are no content: such a file is taken for an empty one.
    folder.write(QStringLiteral("blank.ini"), " \r\n\t\n");
    EXPECT_NO_THROW(config.Load(folder.file(QStringLiteral("blank.ini"))));
}

TEST(AppConfig, CalilSettingsAreWrittenOnlyWhileTheyHoldSomething)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("q.ini"));
    TAppConfig config;
    config.Load(file);
    EXPECT_EQ(config.GetCalilAppKey(), QString());
    EXPECT_EQ(config.GetEndpoints().CalilBaseUrl(), QStringLiteral("https://api.calil.jp"));

    // A key and a library chosen from Calil's list: both kept, the library
    // with its system id, so it needs no network on the next start.
    config.SetCalilAppKey(QStringLiteral("0123abcd"));
    ASSERT_TRUE(config.GetLibraryList()->AddCalilLibrary(QStringLiteral("調布市立 中央図書館"), QStringLiteral("東京都"),
                                                         QStringLiteral("Tokyo_Chofu")));
    config.SetLibraryNames({QStringLiteral("調布市立 中央図書館"), QStringLiteral("松江市立図書館")});
    config.Save(file);
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")),
              Sjis("[PROXY]\r\nUse=0\r\nServer=127.0.0.1\r\nPort=8080\r\nUserName=\r\nPassword=\r\n\r\n"
                   "[AMAZON]\r\nAwsKeyID=\r\nSecretAccessKey=\r\n\r\n"
                   "[LIBRARY]\r\nLibraryNames=\"調布市立 中央図書館\",松江市立図書館\r\n\r\n"
                   "[CALIL]\r\nAppKey=0123abcd\r\nLibraries=\"Tokyo_Chofu:東京都:調布市立 中央図書館\"\r\n\r\n"));

    TAppConfig next;
    next.Load(file);
    EXPECT_EQ(next.GetCalilAppKey(), QStringLiteral("0123abcd"));
    EXPECT_EQ(next.GetLibraryNames(), config.GetLibraryNames());
    EXPECT_TRUE(next.IsAskedThroughCalil(QStringLiteral("調布市立 中央図書館")));
    EXPECT_TRUE(next.IsAskedThroughCalil(QStringLiteral("松江市立図書館")));

    // Key cleared, Calil library unchecked: the file is as it always was.
    next.SetCalilAppKey(QString());
    next.SetLibraryNames({QStringLiteral("松江市立図書館")});
    EXPECT_FALSE(next.IsAskedThroughCalil(QStringLiteral("松江市立図書館")));
    next.Save(file);
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")),
              Sjis("[PROXY]\r\nUse=0\r\nServer=127.0.0.1\r\nPort=8080\r\nUserName=\r\nPassword=\r\n\r\n"
                   "[AMAZON]\r\nAwsKeyID=\r\nSecretAccessKey=\r\n\r\n"
                   "[LIBRARY]\r\nLibraryNames=松江市立図書館\r\n\r\n"));
}

TEST(AppConfig, StoredCalilLibrariesAreCheckedLikeAnythingFromOutside)
{
    TempFolder folder;
    folder.write(QStringLiteral("q.ini"),
                 Sjis("[LIBRARY]\nLibraryNames=甲,乙,丙,丁,三鷹市立図書館\n"
                      "[CALIL]\nLibraries=\"Tokyo_A&evil=1:東京都:甲\",Tokyo_B:東京:乙,Tokyo_C:東京都:丙,"
                      "Tokyo_Mitaka:東京都:丁,Tokyo_D:東京都:三鷹市立図書館\n"
                      "[ENDPOINTS]\ncalil=http://127.0.0.1:9/\n"));
    TAppConfig config;
    config.Load(folder.file(QStringLiteral("q.ini")));
    // A bad id, an unknown prefecture, a built-in's system under another
    // name and a built-in's name under another system are all dropped.
    EXPECT_EQ(config.GetLibraryNames(), QStringList({QStringLiteral("丙"), QStringLiteral("三鷹市立図書館")}));
    EXPECT_EQ(config.GetLibraryList()->FindRecord(QStringLiteral("三鷹市立図書館"))->CalilSystemId,
              QStringLiteral("Tokyo_Mitaka"));
    EXPECT_EQ(config.GetEndpoints().CalilBaseUrl(), QStringLiteral("http://127.0.0.1:9"));
}

TEST(AppConfig, BookDataSourceIsWrittenOnlyWhenItIsNotTheBookseller)
{
    TempFolder folder;
    const QString file = folder.file(QStringLiteral("q.ini"));
    TAppConfig config;
    config.Load(file);
    EXPECT_EQ(config.GetBookDataSource(), TBookDataSource::Amazon);
    // Chosen explicitly, the default still leaves the file as it always was.
    config.SetBookDataSource(TBookDataSource::Amazon);
    config.Save(file);
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")), QByteArray(kFromScratch));

    config.SetBookDataSource(TBookDataSource::OpenBd);
    config.Save(file);
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")), QByteArray(kFromScratch) + "[BOOKDATA]\r\nSource=openBD\r\n\r\n");
    TAppConfig reread;
    reread.Load(file);
    EXPECT_EQ(reread.GetBookDataSource(), TBookDataSource::OpenBd);

    // Back to the bookseller: the entry goes, and the section with it unless
    // it holds something of the user's.
    reread.SetBookDataSource(TBookDataSource::Amazon);
    reread.Save(file);
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")), QByteArray(kFromScratch));
    folder.write(QStringLiteral("q.ini"), QByteArray(kFromScratch) + "[BOOKDATA]\r\nsource=NONE\r\nMine=1\r\n");
    reread.Load(file);
    EXPECT_EQ(reread.GetBookDataSource(), TBookDataSource::None);
    reread.SetBookDataSource(TBookDataSource::Amazon);
    reread.Save(file);
    EXPECT_EQ(folder.read(QStringLiteral("q.ini")), QByteArray(kFromScratch) + "[BOOKDATA]\r\nMine=1\r\n\r\n");

    // A value the program does not know reads as the default.
    folder.write(QStringLiteral("q.ini"), "[BOOKDATA]\r\nSource=calil\r\n");
    reread.Load(file);
    EXPECT_EQ(reread.GetBookDataSource(), TBookDataSource::Amazon);
}

TEST(AppConfig, BookDataEndpointsHaveDefaultsAndCanBePointedElsewhere)
{
    TempFolder folder;
    TAppConfig config;
    config.Load(folder.file(QStringLiteral("none.ini")));
    EXPECT_EQ(config.GetEndpoints().OpenBdBaseUrl(), QStringLiteral("https://api.openbd.jp"));
    EXPECT_EQ(config.GetEndpoints().NdlBaseUrl(), QStringLiteral("https://ndlsearch.ndl.go.jp"));
    folder.write(QStringLiteral("q.ini"), "[ENDPOINTS]\r\nOPENBD=http://127.0.0.1:1/\r\nndl=http://127.0.0.1:2\r\n");
    config.Load(folder.file(QStringLiteral("q.ini")));
    EXPECT_EQ(config.GetEndpoints().OpenBdBaseUrl(), QStringLiteral("http://127.0.0.1:1"));
    EXPECT_EQ(config.GetEndpoints().NdlBaseUrl(), QStringLiteral("http://127.0.0.1:2"));
}
