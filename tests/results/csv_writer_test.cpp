#include "results_table_fixture.h"

#include "results/csv_writer.h"
#include "support/file_size_limit.h"
#include "util/code_page.h"
#include "util/error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstring>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

QByteArray ReadFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

void WriteFile(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Takes away, for the calling thread, the capabilities that let root write
// into any folder, so that folder permissions bite for root as well.
class FilePermissionsEnforced final
{
public:
    FilePermissionsEnforced()
    {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, saved_, sizeof reduced);
        for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[capability / 32].effective &= ~(1u << (capability % 32));
        changed_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~FilePermissionsEnforced()
    {
        if (changed_)
            syscall(SYS_capset, &header_, saved_);
    }
    FilePermissionsEnforced(const FilePermissionsEnforced&) = delete;
    FilePermissionsEnforced& operator=(const FilePermissionsEnforced&) = delete;

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool changed_ = false;
};

// Runs an export that must fail; checks that the message names the file and
// gives the system's reason.
template <typename Export>
void ExpectFileErrorNaming(const QString& fileName, Export exportFile)
{
    try {
        exportFile();
        ADD_FAILURE() << "the export succeeded";
    } catch (const FileError& error) {
        const QString prefix = QStringLiteral("\"%1\". ").arg(fileName);
        EXPECT_TRUE(error.message().contains(prefix)) << error.what();
        const QString reason = error.message().section(prefix, 1);
        EXPECT_FALSE(reason.isEmpty() || reason == QStringLiteral("Unknown error")) << error.what();
    }
}

} // namespace

class CsvTest : public ResultsTableTest
{
protected:
    // One row per title, answered by the bookseller with that title.
    void FillTitles(const QStringList& titles)
    {
        QStringList isbns;
        for (qsizetype i = 0; i < titles.size(); ++i)
            isbns.append(QStringLiteral("20000000%1").arg(i, 2, 10, QLatin1Char('0')));
        table_.SetIsbnList(isbns);
        for (qsizetype i = 0; i < titles.size(); ++i)
            table_.SetAmazonData(std::vector{Delivered(isbns[i], titles[i])});
    }

    // The title field of every data line.
    QStringList TitleFields() const
    {
        QStringList lines = CsvTextOf(table_).split(QStringLiteral("\r\n"));
        lines.removeFirst();
        lines.removeLast();
        QStringList fields;
        for (const QString& line : lines)
            fields.append(line.section(u',', 1, -4));
        return fields;
    }

    QTemporaryDir folder_;
};

TEST_F(CsvTest, EmptyTableWithTwoLibrariesIsTheHeaderAndSixCommas)
{
    SelectLibraries({kMitaka, kInagi});
    const QByteArray bytes = CsvBytesOf(table_);
    const QString expected = QStringLiteral("ISBN,書名(Amazon),金額,発売日,ﾗﾝｷﾝｸﾞ,") + kMitaka + u',' + kInagi
        + QStringLiteral("\r\n,,,,,,\r\n");
    EXPECT_EQ(bytes, EncodeCodePage(expected, kCodePageShiftJis));
    // No mark; the half-width katakana are single bytes; CR LF at the end.
    EXPECT_TRUE(bytes.startsWith("ISBN,\x8F\x91\x96\xBC(Amazon),"));
    EXPECT_TRUE(bytes.contains("\xD7\xDD\xB7\xDD\xB8\xDE,"));
    EXPECT_TRUE(bytes.endsWith("\r\n,,,,,,\r\n"));
}

TEST_F(CsvTest, QuotesSpacesControlCharactersQuotesAndCommasOnly)
{
    FillTitles({QStringLiteral("Harry Potter"), QStringLiteral("Tom,Jerry"), QStringLiteral("say \"hi\""),
                QStringLiteral("tab\there"), QStringLiteral("吾輩は猫である"),
                QString::fromUtf16(u"全角\u3000空白"), QStringLiteral("  trimmed\t"),
                QStringLiteral("esc\x1b[2J")});
    // A control character from a server never reaches the file (nor a
    // terminal the CSV is printed on); TAB is kept.
    EXPECT_EQ(TitleFields(),
              (QStringList{QStringLiteral("\"Harry Potter\""), QStringLiteral("\"Tom,Jerry\""),
                           QStringLiteral("\"say \"\"hi\"\"\""), QStringLiteral("\"tab\there\""),
                           QStringLiteral("吾輩は猫である"), QString::fromUtf16(u"全角\u3000空白"),
                           QStringLiteral("trimmed"), QString::fromUtf16(u"esc\uFFFD[2J")}));
}

TEST_F(CsvTest, DataLinesHoldTheTrimmedCellsInTheCurrentOrder)
{
    SelectLibraries({kMitaka, kInagi});
    table_.SetIsbnList({QStringLiteral("4101010013"), QStringLiteral("4000000020")});
    table_.SetAmazonData(std::vector{
        Delivered(QStringLiteral("9784101010014"), QStringLiteral("猫"), QString(), QStringLiteral("1962-06"),
                  QStringLiteral("12"), QStringLiteral("http://amazon.example/dp/1")),
        Delivered(QStringLiteral("4000000020"), QString::fromUtf16(u"本 \U0001F4DA"), QStringLiteral("1500"),
                  QString(), QString())});
    table_.SetLibraryResult(QStringLiteral("4101010013"), QStringLiteral("http://mitaka.example/r?id=1"), kMitaka);
    table_.SetLibraryResult(QStringLiteral("4000000020"), QString(), kInagi);
    table_.SortByAmount();

    const QStringList lines = CsvTextOf(table_).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    // A missing price is an empty field, not a quoted space; the detail page
    // has no column; a library that has not answered writes nothing.
    EXPECT_EQ(lines[1], QString::fromUtf16(u"4000000020,\"本 \U0001F4DA\",1500,,,,×"));
    EXPECT_EQ(lines[2], QStringLiteral("4101010013,猫,,1962-06,12,http://mitaka.example/r?id=1,"));
    EXPECT_EQ(lines[3], QString());

    // What code page 932 cannot hold becomes "?"; "×" is 81 7E.
    const QByteArray bytes = CsvBytesOf(table_);
    EXPECT_TRUE(bytes.contains("4000000020,\"\x96\x7B ?\",1500,,,,\x81\x7E\r\n")) << bytes.toHex().constData();
}

TEST_F(CsvTest, SaveReplacesAnExistingFileWhole)
{
    const QString fileName = folder_.filePath(QStringLiteral("results.csv"));
    WriteFile(fileName, QByteArray(4096, 'x'));
    SelectLibraries({kMitaka});
    FillTitles({QStringLiteral("one")});
    SaveToCsv(table_, fileName);
    EXPECT_EQ(ReadFile(fileName), CsvBytesOf(table_));
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{QStringLiteral("results.csv")});
}

TEST_F(CsvTest, InAReadOnlyFolderANewFileFailsAndAWritableOneIsRewrittenInPlace)
{
    const QString fileName = folder_.filePath(QStringLiteral("results.csv"));
    const QString newName = folder_.filePath(QStringLiteral("new.csv"));
    WriteFile(fileName, "old content, longer than the new\r\n");
    ASSERT_TRUE(QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::ExeOwner));
    FillTitles({QStringLiteral("new")});
    {
        const FilePermissionsEnforced enforced;
        QFile probe(folder_.filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            GTEST_SKIP() << "folder permissions do not apply to this process";
        }
        ExpectFileErrorNaming(newName, [&] { SaveToCsv(table_, newName); });
        SaveToCsv(table_, fileName);
    }
    QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(QFile::exists(newName));
    EXPECT_EQ(ReadFile(fileName), CsvBytesOf(table_));
}

TEST_F(CsvTest, AWriteThatFailsHalfwayLeavesTheOldFileAndNoTemporary)
{
    const QString fileName = folder_.filePath(QStringLiteral("results.csv"));
    WriteFile(fileName, "old\r\n");
    FillTitles({QStringLiteral("a long enough title to pass the limit")});
    {
        const FileSizeLimit limited(16);
        ExpectFileErrorNaming(fileName, [&] { SaveToCsv(table_, fileName); });
    }
    EXPECT_EQ(ReadFile(fileName), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{QStringLiteral("results.csv")});

    const QString missingFolder = folder_.filePath(QStringLiteral("missing/results.csv"));
    ExpectFileErrorNaming(missingFolder, [&] { SaveToCsv(table_, missingFolder); });
}
