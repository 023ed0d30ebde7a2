#include "util/encode_detect.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryFile>

using namespace EncodeDetect;

namespace {

QByteArray B(const char* bytes, qsizetype size = -1)
{
    return size < 0 ? QByteArray(bytes) : QByteArray(bytes, size);
}

struct Scores
{
    bool sjis, euc, utf8, utf7;
    int sjisScore = 0, eucScore = 0, utf8Score = 0, utf7Score = 0;
};

Scores RunAll(const QByteArray& bytes)
{
    Scores s{};
    s.sjis = IsSJIS(bytes, s.sjisScore);
    s.euc = IsEUC(bytes, s.eucScore);
    s.utf8 = IsUTF8(bytes, s.utf8Score);
    s.utf7 = IsUTF7(bytes, s.utf7Score);
    return s;
}

TEST(EncodeDetect, NothingToJudgeIsUndetermined)
{
    EXPECT_EQ(CheckEncoding(QByteArray()), kEncodingUndetermined);
    EXPECT_EQ(CheckEncoding(B("<html><body>Plain ASCII, nothing else.</body></html>\r\n")), kEncodingUndetermined);
    const Scores ascii = RunAll(B("Plain ASCII"));
    EXPECT_TRUE(ascii.sjis && ascii.euc && ascii.utf8 && ascii.utf7);
    EXPECT_EQ(ascii.sjisScore + ascii.eucScore + ascii.utf8Score + ascii.utf7Score, 0);
}

TEST(EncodeDetect, AByteOrderMarkDecidesAtOnce)
{
    EXPECT_EQ(CheckEncoding(B("\xEF\xBB\xBF\x82\xA0")), kEncodingUtf8Bom);
    EXPECT_EQ(CheckEncoding(B("\xFF\xFE\x41\x00", 4)), kEncodingUtf16LeBom);
    EXPECT_EQ(CheckEncoding(B("\xFF\xFE\x00\x00", 4)), kEncodingUtf32LeBom);
    EXPECT_EQ(CheckEncoding(B("\x00\x00\xFE\xFF", 4)), kEncodingUtf32BeBom);
    EXPECT_EQ(CheckEncoding(B("\xFE\xFF")), kEncodingUtf16BeBom);
    // Too short for the mark it starts.
    EXPECT_EQ(BOMCheck(B("\xEF\xBB")), TBOMType::btNone);
    EXPECT_EQ(BOMCheck(B("\x00\x00\xFE", 3)), TBOMType::btNone);
    EXPECT_EQ(BOMCheck(B("\xFF\xFE\x00", 3)), TBOMType::bt16LE);
    // Switched off, the mark is judged as any other bytes.
    EXPECT_EQ(BOMCheck(B("\xEF\xBB\xBF"), TIgnoreEncode::ieBOM), TBOMType::btNone);
    EXPECT_EQ(CheckEncoding(B("\xEF\xBB\xBF\xE3\x81\x82"), TIgnoreEncode::ieBOM), kEncodingUtf8);
}

TEST(EncodeDetect, AnEscapeBeforeAnyHighByteMeansJis)
{
    for (const char* escape : {"\x1B(B", "\x1B(J", "\x1B(I", "\x1B$@", "\x1B$B", "\x1B$(D", "\x1B&@\x1B$B"})
        EXPECT_TRUE(IsJIS(B("Title: ") + B(escape) + B("9^=q"))) << escape + 1;
    EXPECT_EQ(CheckEncoding(B("abc \x1B$B4A;z\x1B(B")), kEncodingJis);
    EXPECT_FALSE(IsJIS(B("\x82\xA0 \x1B$B")));
    EXPECT_FALSE(IsJIS(B("abc \x1B$"))); // cut before it is complete
    EXPECT_FALSE(IsJIS(B("abc \x1B(Z")));
    EXPECT_FALSE(IsJIS(B("\x1B$B"), TIgnoreEncode::ieJIS));
    // Nothing after the first escape is examined.
    EXPECT_TRUE(IsJIS(B("\x1B$B\xFF\xFF")));
}

TEST(EncodeDetect, TheHighestScoreOfAPassingTestWins)
{
    // Shift_JIS あ: only IsSJIS reads it.
    Scores s = RunAll(B("\x82\xA0"));
    EXPECT_TRUE(s.sjis);
    EXPECT_EQ(s.sjisScore, 2);
    EXPECT_FALSE(s.euc || s.utf8 || s.utf7);
    EXPECT_EQ(s.eucScore + s.utf8Score + s.utf7Score, 0);
    EXPECT_EQ(CheckEncoding(B("\x82\xA0")), kEncodingSjis);

    // EUC-JP あ: two half-width katakana to IsSJIS, scoring nothing.
    s = RunAll(B("\xA4\xA2"));
    EXPECT_TRUE(s.sjis && s.euc);
    EXPECT_EQ(s.sjisScore, 0);
    EXPECT_EQ(s.eucScore, 2);
    EXPECT_EQ(CheckEncoding(B("\xA4\xA2")), kEncodingEuc);

    // UTF-8 あ: IsSJIS passes too (E3 81, then 82 as a lead at the end).
    s = RunAll(B("\xE3\x81\x82"));
    EXPECT_TRUE(s.utf8 && s.sjis);
    EXPECT_FALSE(s.euc);
    EXPECT_EQ(s.utf8Score, 3);
    EXPECT_EQ(s.sjisScore, 2);
    EXPECT_EQ(CheckEncoding(B("\xE3\x81\x82")), kEncodingUtf8);

    // A tie decides nothing: E0 A1 is a pair both to Shift_JIS and to EUC-JP.
    EXPECT_EQ(CheckEncoding(B("\xE0\xA1")), kEncodingUndetermined);
    // Nor does a top score gathered by a test that failed later.
    s = RunAll(B("\x82\xA0\x82\xA2\xFF"));
    EXPECT_FALSE(s.sjis);
    EXPECT_EQ(s.sjisScore, 4);
    EXPECT_EQ(CheckEncoding(B("\x82\xA0\x82\xA2\xFF")), kEncodingUndetermined);
}

TEST(EncodeDetect, SequencesCutByTheEndOfTheBuffer)
{
    int score = 0;
    // After the second byte of a three-byte character: the continuation byte
    // is then read as a character start.
    EXPECT_FALSE(IsUTF8(B("a\xE3\x81"), score));
    score = 0;
    EXPECT_TRUE(IsUTF8(B("\xE3\x81\x82\xE3"), score)); // a lead alone
    EXPECT_EQ(score, 3);
    score = 0;
    EXPECT_TRUE(IsEUC(B("\xA4\xA2\x8F\xA1"), score)); // the pair is not scored
    EXPECT_EQ(score, 2);
    score = 0;
    EXPECT_TRUE(IsSJIS(B("\x82\xA0\x82"), score));
    EXPECT_EQ(score, 2);
}

TEST(EncodeDetect, ScoresAddUpAndSurviveAFailure)
{
    int score = 10;
    EXPECT_TRUE(IsSJIS(B("\x82\xA0\x82\xA2"), score));
    EXPECT_EQ(score, 14);
    EXPECT_FALSE(IsEUC(B("\xA4\xA2\xA4\xA4\x80"), score));
    EXPECT_EQ(score, 18);
    // A switched-off test leaves the score alone.
    EXPECT_FALSE(IsUTF8(B("\xE3\x81\x82"), score, TIgnoreEncode::ieUTF8));
    EXPECT_FALSE(IsSJIS(B("\x82\xA0"), score, TIgnoreEncode::ieSJIS | TIgnoreEncode::ieEUC));
    EXPECT_FALSE(IsEUC(B("\xA4\xA2"), score, TIgnoreEncode::ieSJIS | TIgnoreEncode::ieEUC));
    EXPECT_EQ(score, 18);
    EXPECT_EQ(CheckEncoding(B("\x82\xA0"), TIgnoreEncode::ieSJIS), kEncodingUndetermined);
}

TEST(EncodeDetect, TheByteClassesOfEachEncoding)
{
    int score = 0;
    for (const char* bad : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF", "\x81\x3F", "\x81\x7F", "\x81\xFD"})
        EXPECT_FALSE(IsSJIS(B(bad), score)) << int(static_cast<quint8>(bad[0]));
    EXPECT_TRUE(IsSJIS(B("\xA1\xDF\x81\x40\x9F\x7E\xE0\x80\xFC\xFC"), score));
    for (const char* bad : {"\x80", "\x8D", "\x90", "\xA0", "\xFF", "\xA1\xA0", "\x8E\xE0", "\x8F\xA1\xFF"})
        EXPECT_FALSE(IsEUC(B(bad), score)) << int(static_cast<quint8>(bad[0]));
    EXPECT_TRUE(IsEUC(B("\x8E\xA1\x8E\xDF\x8F\xA1\xFE\xFE\xFE"), score));
    for (const char* bad : {"\x80", "\xBF", "\xF8", "\xFF", "\xC3\x41", "\xE3\x81\xC0"})
        EXPECT_FALSE(IsUTF8(B(bad), score)) << int(static_cast<quint8>(bad[0]));
    // Overlong and out-of-range leads are let through.
    EXPECT_TRUE(IsUTF8(B("\xC0\x80\xC1\xBF\xF5\x80\x80\x80\xF7\xBF\xBF\xBF"), score));
}

TEST(EncodeDetect, Utf7)
{
    int score = 0;
    EXPECT_TRUE(IsUTF7(B("+ZeVnLIqe-"), score));
    EXPECT_EQ(score, 18);
    EXPECT_EQ(CheckEncoding(B("+ZeVnLIqe-")), kEncodingUtf7);
    score = 0;
    EXPECT_TRUE(IsUTF7(B("a+-b"), score)); // "+-" is a plus sign
    EXPECT_EQ(score, 2);
    for (const char* bad : {"a!b", "a@b", "a~b", "a\\b", "x+ZeV nLIqe-", "x+ZeV.-"}) {
        score = 0;
        EXPECT_FALSE(IsUTF7(B(bad), score)) << bad;
    }
}

TEST(EncodeDetect, StreamsAreReadFromTheStartUpToTheCount)
{
    // ASCII first, Shift_JIS after byte 8.
    QByteArray bytes = B("abcdefgh\x82\xA0\x82\xA2");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    buffer.seek(5);
    EXPECT_EQ(CheckEncoding(buffer, 8), kEncodingUndetermined);
    EXPECT_EQ(CheckEncoding(buffer, 0), kEncodingSjis);
    EXPECT_EQ(CheckEncoding(buffer, 1000), kEncodingSjis);
    EXPECT_EQ(CheckEncoding(buffer, -1), kEncodingSjis);

    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(bytes);
    EXPECT_EQ(CheckEncoding(file, 8), kEncodingUndetermined);
    EXPECT_EQ(CheckEncoding(file, 0), kEncodingSjis);

    QByteArray empty;
    QBuffer nothing(&empty);
    ASSERT_TRUE(nothing.open(QIODevice::ReadOnly));
    EXPECT_EQ(CheckEncoding(nothing, 10), kEncodingUndetermined);
}

} // namespace
