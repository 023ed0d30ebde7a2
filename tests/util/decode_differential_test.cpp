// The detector and the decoders against their previous versions: the same
// encoding, the same code page and the same text for the pages of the tests
// and the fuzzers' seeds, for every short sequence of each code page, and
// for many random pages.
#include "previous_decoder.h"

#include "util/code_page.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <random>

namespace {

testing::AssertionResult Same(const QString& difference, QByteArrayView bytes)
{
    if (difference.isEmpty())
        return testing::AssertionSuccess();
    const QByteArray start = bytes.first(std::min<qsizetype>(bytes.size(), 48)).toByteArray();
    return testing::AssertionFailure() << difference.toStdString() << " for " << start.toHex(' ').toStdString()
                                       << (bytes.size() > 48 ? " ..." : "");
}

testing::AssertionResult SameAsBefore(QByteArrayView bytes, EncodeDetect::TIgnoreEncodes ignore = {})
{
    return Same(PreviousDecoder::DifferenceFromPrevious(bytes, ignore), bytes);
}

testing::AssertionResult SameDetectionAsBefore(QByteArrayView bytes, EncodeDetect::TIgnoreEncodes ignore = {})
{
    return Same(PreviousDecoder::DetectionDifferenceFromPrevious(bytes, ignore), bytes);
}

const QString kCatalogueText = QStringLiteral(
    "<html><head><title>蔵書検索結果</title></head><body>\r\n"
    "<p>「吾輩は猫である」夏目漱石・岩波書店 ISBN 4-00-310101-4</p>\r\n"
    "<p>所蔵あり（貸出可）～－。ｶﾀｶﾅもひらがなも漢字も①≒纊も読めます。</p>"
    "</body></html>\r\n");

struct Fixture
{
    QByteArray bytes;
    EncodeDetect::TIgnoreEncodes ignore;
};

EncodeDetect::TIgnoreEncodes IgnoreSetOf(quint8 bits)
{
    EncodeDetect::TIgnoreEncodes ignore;
    for (int test = 0; test < 6; ++test) {
        if ((bits & (1u << test)) != 0)
            ignore = ignore | static_cast<EncodeDetect::TIgnoreEncode>(test);
    }
    return ignore;
}

// The text in the code pages of Japanese pages, and every file the fuzzers
// start from (those of the differential fuzzer begin with the tests to
// switch off).
QList<Fixture> Fixtures()
{
    QList<Fixture> fixtures;
    for (const QByteArray& page : {EncodeCodePage(kCatalogueText, kCodePageShiftJis),
                                   EncodeCodePage(kCatalogueText, kCodePageEucJp),
                                   EncodeCodePage(kCatalogueText, kCodePageIso2022Jp), kCatalogueText.toUtf8(),
                                   "\xEF\xBB\xBF" + kCatalogueText.toUtf8(),
                                   EncodeCodePage(QChar(0xFEFF) + kCatalogueText, kCodePageUtf16Le),
                                   EncodeCodePage(QChar(0xFEFF) + kCatalogueText, kCodePageUtf16Be)})
        fixtures << Fixture{page, {}};
    const QDir corpus(QStringLiteral(QUILLMOOR_FUZZ_CORPUS));
    for (const QString& folder : corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir seeds(corpus.filePath(folder));
        for (const QString& name : seeds.entryList(QDir::Files)) {
            QFile file(seeds.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = file.readAll();
            if (folder == u"decode_differential" && !bytes.isEmpty())
                fixtures << Fixture{bytes.mid(1), IgnoreSetOf(static_cast<quint8>(bytes[0]))};
            else
                fixtures << Fixture{bytes, {}};
        }
    }
    return fixtures;
}

TEST(DecodeDifferential, FixturesAndCutsOfThem)
{
    const QList<Fixture> fixtures = Fixtures();
    ASSERT_GE(fixtures.size(), 25);
    for (const Fixture& fixture : fixtures) {
        const QByteArray& page = fixture.bytes;
        ASSERT_TRUE(SameAsBefore(page, fixture.ignore));
        for (quint8 ignore = 0; ignore < 64; ++ignore)
            ASSERT_TRUE(SameDetectionAsBefore(page, IgnoreSetOf(ignore)));
        // Cut anywhere, sequences and escapes end halfway.
        for (qsizetype size = 0; size < page.size(); size += size < 400 ? 1 : 37)
            ASSERT_TRUE(SameAsBefore(QByteArrayView(page).first(size))) << size;
    }
}

// Each lead byte followed by every byte, each pair then followed by `after`.
QByteArray AllPairsAfter(quint8 lead, QByteArrayView after)
{
    QByteArray bytes;
    for (int second = 0; second <= 0xFF; ++second)
        bytes += QByteArray(1, static_cast<char>(lead)) + static_cast<char>(second) + after.toByteArray();
    return bytes;
}

TEST(DecodeDifferential, EveryPairAndTripleOfTheMultiByteCodePages)
{
    for (int lead = 0; lead <= 0xFF; ++lead) {
        // A line feed can follow nothing; "A" is a second byte of Shift_JIS,
        // 80 and A1 continue UTF-8 and EUC-JP sequences.
        for (const char* after : {"\n", "A\xA1\x80\x80"})
            ASSERT_TRUE(SameAsBefore(AllPairsAfter(static_cast<quint8>(lead), after))) << lead << " " << after;
        ASSERT_TRUE(SameAsBefore(QByteArray(1, static_cast<char>(lead))));
    }
    // EUC-JP's JIS X 0212 and UTF-8's three- and four-byte sequences.
    for (const int lead : {0x8F, 0xE0, 0xE3, 0xED, 0xEF, 0xF0, 0xF4, 0xF5}) {
        for (int second = 0; second <= 0xFF; ++second) {
            const QByteArray prefix = QByteArray(1, static_cast<char>(lead)) + static_cast<char>(second);
            QByteArray bytes;
            for (int third = 0; third <= 0xFF; ++third)
                bytes += prefix + static_cast<char>(third) + "\x80\n";
            ASSERT_TRUE(SameAsBefore(bytes)) << lead << " " << second;
        }
    }
}

TEST(DecodeDifferential, EveryPairInEachModeOfIso2022Jp)
{
    for (const char* mode : {"\x1B$B", "\x1B$@", "\x1B$(D", "\x1B(I", "\x0E", "\x1B(J", "\x1B&@\x1B$B"}) {
        for (int first = 0; first <= 0xFF; ++first) {
            QByteArray bytes = QByteArray(mode) + AllPairsAfter(static_cast<quint8>(first), "");
            ASSERT_TRUE(SameAsBefore(bytes)) << mode + 1 << " " << first;
            bytes.chop(1); // half a pair at the end
            ASSERT_TRUE(SameAsBefore(bytes)) << mode + 1 << " " << first;
        }
    }
}

TEST(DecodeDifferential, LongPagesWithOneByteChanged)
{
    // Many chunks of 64 bytes for the detector; the ASCII before the text
    // moves the characters against the chunks, and each change lands
    // somewhere else in a chunk.
    std::mt19937 random(7);
    const QByteArray texts[] = {EncodeCodePage(kCatalogueText, kCodePageShiftJis),
                                EncodeCodePage(kCatalogueText, kCodePageEucJp) + "\x8F\xA2\xB7",
                                (kCatalogueText + QStringLiteral("\U0001F4DA")).toUtf8()};
    for (const QByteArray& text : texts) {
        for (int shift = 0; shift < 64; ++shift) {
            QByteArray page(shift, 'a');
            while (page.size() < 1500)
                page += text;
            ASSERT_TRUE(SameAsBefore(page)) << shift;
            for (int change = 0; change < 20; ++change) {
                // Bytes where the byte classes of the encodings part, or any.
                static const QByteArray edges =
                    "\x40\x7E\x7F\x80\x81\x8E\x8F\x9F\xA0\xA1\xBF\xC0\xDF\xE0\xEF\xF0\xF8\xFC\xFD\xFF";
                QByteArray changed = page;
                const qsizetype at = random() % (page.size() - 1);
                for (qsizetype i = at; i <= at + static_cast<qsizetype>(random() % 2); ++i)
                    changed[i] = random() % 2 == 0 ? edges[random() % edges.size()] : static_cast<char>(random() % 256);
                ASSERT_TRUE(SameDetectionAsBefore(changed)) << shift << " " << change;
            }
        }
    }
}

// Pages put together from pieces of markup, of Japanese text in each
// encoding, of marks, escapes and stray bytes, cut anywhere.
class RandomPage
{
public:
    explicit RandomPage(unsigned seed) : random_(seed) {}

    QByteArray Make(qsizetype size)
    {
        static const QList<QByteArray> pieces = [] {
            QList<QByteArray> all;
            for (const TCodePage codePage : {kCodePageShiftJis, kCodePageEucJp, kCodePageIso2022Jp, kCodePageUtf8})
                all << EncodeCodePage(kCatalogueText.mid(60, 70), codePage);
            all << "<tr><td class=\"no\">1</td><td><a href=\"/opac/detail?bibid=1000123456\">"
                << "\xEF\xBB\xBF" << "\xFF\xFE" << "\xFE\xFF" << QByteArray("\0\0\xFE\xFF", 4) << "\x1B$B" << "\x1B(B"
                << "\x1B(I" << "\x1B$(D" << "\x0E" << "\x0F" << "+ZeVnLIqe-" << "\x8F\xA2\xB7" << "\xED\xA0\x80"
                << "\xF0\x9F\x98\x80" << "\xEF\xBF\xBD" << "\xA1\xC1" << "\x81\x60" << "\xAD\xA1" << "\xF9\xA1";
            return all;
        }();
        QByteArray page;
        while (page.size() < size) {
            switch (Below(4)) {
            case 0:
            case 1: {
                const QByteArray& piece = pieces[Below(pieces.size())];
                page += piece.mid(Below(3) == 0 ? Below(piece.size()) : 0);
                break;
            }
            case 2:
                page += QByteArray(Below(40), static_cast<char>(' ' + Below(95)));
                break;
            default:
                for (int i = Below(6); i >= 0; --i)
                    page += static_cast<char>(Below(256));
            }
        }
        return page.first(size);
    }

    int Below(qsizetype bound)
    {
        return static_cast<int>(std::uniform_int_distribution<qsizetype>(0, bound - 1)(random_));
    }

private:
    std::mt19937 random_;
};

TEST(DecodeDifferential, RandomPages)
{
    RandomPage random(20240611);
    for (int i = 0; i < 1500; ++i) {
        const QByteArray page = random.Make(1 + random.Below(600));
        ASSERT_TRUE(SameAsBefore(page, static_cast<EncodeDetect::TIgnoreEncode>(random.Below(6)))) << i;
    }
    // Pages in one encoding that end around the 102400 bytes detection
    // judges, in the middle of a character or between two.
    for (const TCodePage codePage : {kCodePageShiftJis, kCodePageEucJp, kCodePageUtf8}) {
        QByteArray page = EncodeCodePage(kCatalogueText, codePage);
        while (page.size() < 102400 + 8)
            page += page;
        for (qsizetype size = 102400 - 4; size <= 102400 + 4; ++size)
            ASSERT_TRUE(SameAsBefore(QByteArrayView(page).first(size))) << codePage << " " << size;
        ASSERT_TRUE(SameAsBefore(random.Make(102400 + random.Below(8))));
    }
}

} // namespace
