#include "util/code_page.h"
#include "util/encode_detect.h"
#include "util/string_utility.h"

#include <gtest/gtest.h>

#include <QStringConverter>

#include <cerrno>
#include <iconv.h>

namespace {

// The text in an encoding, written by iconv itself.
QByteArray IconvEncode(const QString& text, const char* name)
{
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open(name, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QByteArray();
    QByteArray out(utf8.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = static_cast<size_t>(utf8.size());
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    const bool ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)
                    && iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return QByteArray();
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return out;
}

std::string Hex(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2).toHex(' ').toStdString();
}

const QString kPage = QStringLiteral(
    "<html><head><title>蔵書検索結果</title></head><body>\r\n"
    "<p>「吾輩は猫である」夏目漱石・岩波書店 ISBN 4-00-310101-4</p>\r\n"
    "<p>所蔵あり（貸出可）。ｶﾀｶﾅもひらがなも漢字も読めます。</p></body></html>\r\n");

struct EncodedPage
{
    const char* what;
    QByteArray bytes;
    TCodePage codePage;
};

TEST(StringUtility, RealPagesAreDetectedAndDecodedBack)
{
    const QByteArray utf8 = kPage.toUtf8();
    const EncodedPage pages[] = {
        {"Shift_JIS", IconvEncode(kPage, "CP932"), kCodePageShiftJis},
        {"EUC-JP", IconvEncode(kPage, "EUC-JP"), kCodePageEucJp},
        {"ISO-2022-JP", IconvEncode(kPage, "ISO-2022-JP-3"), kCodePageIso2022Jp},
        {"UTF-8", utf8, kCodePageUtf8},
        {"UTF-8 with mark", QByteArray("\xEF\xBB\xBF") + utf8, kCodePageUtf8},
        {"UTF-16LE with mark", IconvEncode(QChar(0xFEFF) + kPage, "UTF-16LE"), kCodePageUtf16Le},
        {"UTF-16BE with mark", IconvEncode(QChar(0xFEFF) + kPage, "UTF-16BE"), kCodePageUtf16Be},
        {"UTF-32LE with mark", IconvEncode(QChar(0xFEFF) + kPage, "UTF-32LE"), kCodePageUtf32Le},
        {"UTF-32BE with mark", IconvEncode(QChar(0xFEFF) + kPage, "UTF-32BE"), kCodePageUtf32Be},
    };
    for (const EncodedPage& page : pages) {
        SCOPED_TRACE(page.what);
        ASSERT_FALSE(page.bytes.isEmpty());
        EXPECT_EQ(TStringUtility::DetectCodePage(page.bytes), page.codePage);
        const QString text = TStringUtility::ToUnicodeDetect(page.bytes);
        EXPECT_EQ(text, kPage) << Hex(text.left(8));
        EXPECT_EQ(TStringUtility::ToUnicode(page.bytes, page.codePage), kPage);
    }
}

TEST(StringUtility, JisTablesAreFixedUpToTheWindowsCodePoints)
{
    // The wave dash and the minus sign, as each encoding writes them.
    const QString waveAndMinus = QStringLiteral("\uFF5E\uFF0D");
    EXPECT_EQ(TStringUtility::ToUnicode("\x81\x60\x81\x7C", kCodePageShiftJis), waveAndMinus);
    for (const TCodePage euc : {kCodePageEucJp, kCodePageEucJpMs})
        EXPECT_EQ(TStringUtility::ToUnicode("\xA1\xC1\xA1\xDD", euc), waveAndMinus) << euc;
    for (const TCodePage jis : {kCodePageIso2022Jp, kCodePageIso2022JpKana, kCodePageIso2022JpSoSi})
        EXPECT_EQ(TStringUtility::ToUnicode("\x1B$B!A!]\x1B(B", jis), waveAndMinus) << jis;
    EXPECT_EQ(TStringUtility::ToUnicodeDetect("\xA4\xA2\xA1\xC1"), QStringLiteral("あ\uFF5E"));

    // Every character of the table, through EUC-JP: the code points of CP932.
    const QByteArray euc = "\xA1\xF1\xA1\xF2\xA2\xCC\xA1\xBD\xA1\xC2\xA1\xB1\xA1\xDD\xA1\xC1";
    const QByteArray sjis = "\x81\x91\x81\x92\x81\xCA\x81\x5C\x81\x61\x81\x50\x81\x7C\x81\x60";
    const QString fixed = QStringLiteral("\uFFE0\uFFE1\uFFE2\u2015\u2225\uFFE3\uFF0D\uFF5E");
    EXPECT_EQ(TStringUtility::ToUnicode(euc, kCodePageEucJp), fixed);
    EXPECT_EQ(TStringUtility::ToUnicode(sjis, kCodePageShiftJis), fixed);

    // Other encodings keep those code points as they are.
    EXPECT_EQ(TStringUtility::ToUnicode(QStringLiteral("\u301C\u2212").toUtf8(), kCodePageUtf8),
              QStringLiteral("\u301C\u2212"));
}

TEST(StringUtility, UndeterminedBytesComeBackOneCharacterPerByte)
{
    EXPECT_EQ(TStringUtility::ToUnicodeDetect(QByteArray()), QString());
    EXPECT_EQ(TStringUtility::DetectCodePage(QByteArray()), kCodePageUnknown);
    const QByteArray ascii = "<html>Plain text, no escapes.</html>\r\n";
    EXPECT_EQ(TStringUtility::DetectCodePage(ascii), kCodePageUnknown);
    EXPECT_EQ(TStringUtility::ToUnicodeDetect(ascii), QString::fromLatin1(ascii));
    // UTF-7 is recognised but has no code page.
    EXPECT_EQ(TStringUtility::DetectCodePage("+ZeVnLIqe-"), kCodePageUnknown);
    EXPECT_EQ(TStringUtility::ToUnicodeDetect("+ZeVnLIqe-"), QStringLiteral("+ZeVnLIqe-"));
    // A tie: every byte as the character of its value.
    EXPECT_EQ(TStringUtility::ToUnicodeDetect("\xE0\xA1"), QStringLiteral("\u00E0\u00A1"));
    EXPECT_EQ(TStringUtility::ToUnicode("\x80\xFF", kCodePageUnknown), QStringLiteral("\u0080\u00FF"));
}

TEST(StringUtility, MarksAreDroppedOnlyWhereTheyBelong)
{
    EXPECT_TRUE(TStringUtility::HasUtf8Bom("\xEF\xBB\xBF"));
    EXPECT_FALSE(TStringUtility::HasUtf8Bom("\xEF\xBB"));
    EXPECT_TRUE(TStringUtility::HasUtf16LeBom("\xFF\xFE"));
    EXPECT_FALSE(TStringUtility::HasUtf16LeBom("\xFF"));
    EXPECT_TRUE(TStringUtility::HasUtf16BeBom("\xFE\xFF"));
    EXPECT_FALSE(TStringUtility::HasUtf16BeBom("\xFF\xFE"));

    EXPECT_EQ(TStringUtility::ToUnicode("\xEF\xBB\xBF" "abc", kCodePageUtf8), QStringLiteral("abc"));
    EXPECT_EQ(TStringUtility::ToUnicode("abc", kCodePageUtf8), QStringLiteral("abc"));
    // Little-endian UTF-16 without a mark, and a last odd byte that is ignored.
    EXPECT_EQ(TStringUtility::ToUnicode(QByteArray("a\0b\0c", 5), kCodePageUtf16Le), QStringLiteral("ab"));
    // A mark of the other byte order is a character of the text.
    EXPECT_EQ(TStringUtility::ToUnicode(QByteArray("\xFE\xFF" "a\0", 4), kCodePageUtf16Le),
              QStringLiteral("\uFFFEa"));
    // The two bytes FE FF alone: big-endian UTF-16 with nothing after its mark.
    EXPECT_EQ(TStringUtility::DetectCodePage("\xFE\xFF"), kCodePageUtf16Be);
    EXPECT_EQ(TStringUtility::ToUnicodeDetect("\xFE\xFF"), QString());
}

TEST(StringUtility, ZeroBytesAreReadLikeAnyOther)
{
    // A UTF-16 page whose first character is ASCII, and a UTF-32 page.
    EXPECT_EQ(TStringUtility::ToUnicodeDetect(QByteArray("\xFF\xFEQ\0u\0i\0l\0l\0", 12)), QStringLiteral("Quill"));
    EXPECT_EQ(TStringUtility::ToUnicodeDetect(QByteArray("\x00\x00\xFE\xFF\x00\x00\x30\x42", 8)),
              QStringLiteral("あ"));
    // Out of range code points of a UTF-32 page.
    EXPECT_EQ(TStringUtility::ToUnicode(QByteArray("\x00\x00\x11\x00\x00\xD8\x00\x00\x00\xF6\x01\x00", 12),
                                        kCodePageUtf32Le),
              QStringLiteral("\uFFFD\uFFFD\U0001F600"));
    // A stray zero byte in a Shift_JIS page.
    EXPECT_EQ(TStringUtility::ToUnicodeDetect(QByteArray("\x82\xA0\0\x82\xA2", 5)),
              QStringLiteral("あ") + QChar(0) + QStringLiteral("い"));
}

TEST(StringUtility, OnlyTheFirst102400BytesAreJudged)
{
    // ASCII up to the limit, Shift_JIS after it: undetermined.
    QByteArray late(TStringUtility::kDetectionLimit, 'a');
    late += QByteArray(97600 / 2, '\0').replace(QByteArray(1, '\0'), "\x82\xA0");
    ASSERT_EQ(late.size(), 200000);
    EXPECT_EQ(TStringUtility::DetectCodePage(late), kCodePageUnknown);
    EXPECT_EQ(TStringUtility::DetectCodePage(late.mid(100000)), kCodePageShiftJis);
}

// Japanese text in the encoding, then ASCII up to `size` bytes.
QByteArray PageOf(const QByteArray& japanese, qsizetype size)
{
    QByteArray page;
    while (page.size() + japanese.size() < size - 100)
        page += japanese;
    return page + QByteArray(size - page.size(), 'a');
}

TEST(StringUtility, TheCutAt102400BytesNeverSplitsAUtf8Character)
{
    const qsizetype limit = TStringUtility::kDetectionLimit;
    const QByteArray books = QStringLiteral("本の").toUtf8();
    // A three-byte character whose third byte is the first past the limit
    // (the detection unit itself fails on that cut), or whose second and
    // third are (a lead alone at the end passes anyway).
    for (int before : {2, 1}) {
        SCOPED_TRACE(before);
        const QByteArray page = PageOf(books, limit - before) + QStringLiteral("図書館").toUtf8();
        EXPECT_EQ(EncodeDetect::CheckEncoding(QByteArrayView(page).first(limit)) == EncodeDetect::kEncodingUtf8,
                  before == 1);
        EXPECT_EQ(TStringUtility::DetectCodePage(page), kCodePageUtf8);
        EXPECT_TRUE(TStringUtility::ToUnicodeDetect(page).endsWith(QStringLiteral("a図書館")));
    }
    EXPECT_EQ(TStringUtility::DetectCodePage(PageOf(books, limit - 3) + QStringLiteral("\U0001F4DA").toUtf8()),
              kCodePageUtf8);
    // A cut between two characters is not moved.
    EXPECT_EQ(TStringUtility::DetectCodePage(PageOf(books, limit) + "\xFF"), kCodePageUtf8);
    EXPECT_EQ(TStringUtility::DetectCodePage(PageOf(books, limit - 3) + QStringLiteral("図\xFF").toUtf8()),
              kCodePageUtf8);
    // Shift_JIS pages cut inside or after a pair.
    const QByteArray sjis = PageOf("\x96\x7B\x82\xCC", limit - 1) + "\x82\xA0\x82\xA2";
    EXPECT_EQ(TStringUtility::DetectCodePage(sjis), kCodePageShiftJis);
    EXPECT_EQ(TStringUtility::DetectCodePage(sjis.first(limit + 1)), kCodePageShiftJis);
}

TEST(StringUtility, EveryEncodingCodeHasItsCodePage)
{
    const std::pair<int, TCodePage> table[] = {
        {-1, 0xFFFF}, {0, 932}, {1, 20932}, {2, 50220}, {3, 1200}, {4, 1201}, {5, 65001},
        {6, 65001}, {7, 12000}, {8, 12001}, {9, 0xFFFF}, {10, 0xFFFF}, {-2, 0xFFFF}};
    for (const auto& [encoding, codePage] : table)
        EXPECT_EQ(TStringUtility::CodePageOfEncoding(encoding), codePage) << encoding;
}

} // namespace
