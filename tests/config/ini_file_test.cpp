#include "config/ini_file.h"
#include "support/temp_folder.h"
#include "util/code_page.h"
#include "util/error.h"

#include <gtest/gtest.h>

namespace {

TIniFile Parse(const char* utf8)
{
    return TIniFile::FromBytes(EncodeCodePage(QString::fromUtf8(utf8), kCodePageShiftJis));
}

QString Text(const TIniFile& ini)
{
    return DecodeCodePage(ini.ToBytes(), kCodePageShiftJis);
}

} // namespace

TEST(IniFile, ReadsByTheFileRules)
{
    const TIniFile ini = Parse("stray=before any section\r\n"
                               "  [Proxy]  \r\n"
                               "; a comment\r\n"
                               "   Server  =  proxy.example.jp  \r\n"
                               "Empty=\r\n"
                               "server=second\r\n"
                               "Equation=a=b\n"
                               "\n"
                               "[other]\rkey=cr only\r");
    EXPECT_EQ(ini.SectionNames(), QStringList({QStringLiteral("Proxy"), QStringLiteral("other")}));
    // Sections and keys match without regard to case; the first entry wins.
    EXPECT_EQ(ini.ReadString(QStringLiteral("PROXY"), QStringLiteral("SERVER"), QString()),
              QStringLiteral("proxy.example.jp"));
    // A present but empty value is the empty text, not the default.
    EXPECT_EQ(ini.ReadString(QStringLiteral("proxy"), QStringLiteral("Empty"), QStringLiteral("d")), QString());
    EXPECT_EQ(ini.ReadString(QStringLiteral("proxy"), QStringLiteral("Missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("proxy"), QStringLiteral("Equation"), QString()), QStringLiteral("a=b"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("OTHER"), QStringLiteral("key"), QString()), QStringLiteral("cr only"));
    EXPECT_FALSE(ini.HasValue(QStringLiteral("proxy"), QStringLiteral("stray")));
}

TEST(IniFile, ReadsIntegersAndBooleans)
{
    const TIniFile ini = Parse("[s]\nhex=0x1F90\nHEX=0X10\nbad=abc\nneg=-5\nbare=0x\nbig=99999999999\n"
                               "two=2\nminus=-1\nyes=yes\nzero=0\nwrap=0xFFFFFFFF\nempty=\n");
    const QString s = QStringLiteral("s");
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("hex"), 1), 8080);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("bad"), 8080), 8080);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("neg"), 0), -5);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("bare"), 7), 7);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("big"), 7), 7);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("wrap"), 7), -1);
    EXPECT_EQ(ini.ReadInteger(s, QStringLiteral("empty"), 7), 7);
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("two"), false));
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("minus"), false));
    EXPECT_FALSE(ini.ReadBool(s, QStringLiteral("yes"), false));
    EXPECT_TRUE(ini.ReadBool(s, QStringLiteral("yes"), true));
    EXPECT_FALSE(ini.ReadBool(s, QStringLiteral("zero"), true));
}

TEST(IniFile, RewritesEverythingButCommentsInOrder)
{
    TIniFile ini = Parse("; comment\r\n[Foreign]\r\nkeep=me\r\nnoequals\r\n\r\n[PROXY]\r\nuse=1\r\nExtra=x\r\n");
    ini.WriteString(QStringLiteral("proxy"), QStringLiteral("Use"), QStringLiteral("0"));
    ini.WriteString(QStringLiteral("PROXY"), QStringLiteral("Server"), QStringLiteral("127.0.0.1"));
    ini.WriteString(QStringLiteral("AMAZON"), QStringLiteral("AwsKeyID"), QString());
    EXPECT_EQ(Text(ini), QStringLiteral("[Foreign]\r\nkeep=me\r\nnoequals\r\n\r\n"
                                        "[PROXY]\r\nUse=0\r\nExtra=x\r\nServer=127.0.0.1\r\n\r\n"
                                        "[AMAZON]\r\nAwsKeyID=\r\n\r\n"));
}

TEST(IniFile, KeepsTheEncodingOfItsByteOrderMark)
{
    const QString text = QStringLiteral("[LIBRARY]\r\nLibraryNames=松江市立図書館\r\n\r\n");
    const QByteArray utf8 = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QByteArray utf16le("\xFF\xFE");
    QByteArray utf16be("\xFE\xFF");
    for (const QChar c : text) {
        const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
        utf16le.append(lo).append(hi);
        utf16be.append(hi).append(lo);
    }
    const QByteArray sjis = EncodeCodePage(text, kCodePageShiftJis);
    for (const QByteArray& bytes : {utf8, utf16le, utf16be, sjis}) {
        const TIniFile ini = TIniFile::FromBytes(bytes);
        EXPECT_EQ(ini.ReadString(QStringLiteral("library"), QStringLiteral("librarynames"), QString()),
                  QStringLiteral("松江市立図書館"));
        EXPECT_EQ(ini.ToBytes(), bytes);
    }
    EXPECT_EQ(TIniFile::FromBytes(sjis).Encoding(), TIniEncoding::Ansi);
    EXPECT_EQ(TIniFile::FromBytes(utf16be).Encoding(), TIniEncoding::Utf16BeBom);
}

TEST(IniFile, MissingFileIsEmptyAndUnreadableOneRaises)
{
    TempFolder folder;
    EXPECT_TRUE(TIniFile::FromFile(folder.file(QStringLiteral("none.ini"))).SectionNames().isEmpty());
    // A folder where the file should be cannot be read as one.
    EXPECT_THROW(TIniFile::FromFile(folder.path()), FileError);
}

TEST(IniFile, OnlyWellFormedUtf8WithoutAMarkIsReadAsUtf8)
{
    const QByteArray utf8 = QStringLiteral("[LIBRARY]\r\nLibraryNames=松江市立図書館\r\n\r\n").toUtf8();
    EXPECT_EQ(TIniFile::FromBytes(utf8).Encoding(), TIniEncoding::Utf8);
    EXPECT_EQ(TIniFile::FromBytes(utf8).ToBytes(), utf8);
    EXPECT_EQ(TIniFile::FromBytes("[PROXY]\r\nServer=proxy\r\n").Encoding(), TIniEncoding::Ansi);
    // Near misses are Shift_JIS bytes as far as we know: an overlong form, a
    // surrogate, a sequence cut at the end, a code point beyond U+10FFFF.
    for (const QByteArray& tail : {QByteArray("\xC0\xAF"), QByteArray("\xED\xA0\x80"), QByteArray("\xE6\x9D"),
                                  QByteArray("\xF4\x90\x80\x80")})
        EXPECT_EQ(TIniFile::FromBytes("[s]\r\nk=" + tail).Encoding(), TIniEncoding::Ansi) << tail.toHex().toStdString();
}
