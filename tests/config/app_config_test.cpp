#include "config/app_config.h"
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
