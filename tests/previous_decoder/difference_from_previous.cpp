#include "previous_decoder.h"

#include "util/encoding_judge.h"
#include "util/string_utility.h"

#include <QStringList>

#include <tuple>

namespace PreviousDecoder {
namespace {

// Every code page the decoders know, and two they do not.
constexpr TCodePage kCodePages[] = {932,   20932, 51932, 50220, 50221, 50222, 65001,
                                    1200,  1201,  12000, 12001, 0xFFFF, 0,    437};

QString Hex(const QString& text, qsizetype from)
{
    QStringList units;
    for (qsizetype i = from; i < text.size() && i < from + 8; ++i)
        units << QString::number(text[i].unicode(), 16).rightJustified(4, u'0');
    return units.join(u' ');
}

// Where two texts part, and what each has there.
QString TextDifference(const QString& what, const QString& now, const QString& before)
{
    if (now == before)
        return QString();
    qsizetype at = 0;
    while (at < now.size() && at < before.size() && now[at] == before[at])
        ++at;
    return QStringLiteral("%1: %2 units now, %3 before; from unit %4 now [%5], before [%6]")
        .arg(what)
        .arg(now.size())
        .arg(before.size())
        .arg(at)
        .arg(Hex(now, at), Hex(before, at));
}

} // namespace

QString DetectionDifferenceFromPrevious(QByteArrayView bytes, EncodeDetect::TIgnoreEncodes ignore)
{
    using Test = bool (*)(QByteArrayView, int&, EncodeDetect::TIgnoreEncodes);
    using PreviousTest = bool (*)(QByteArrayView, int&);
    const std::tuple<const char*, Test, PreviousTest> tests[] = {
        {"IsSJIS", &EncodeDetect::IsSJIS, &PreviousDecoder::IsSJIS},
        {"IsEUC", &EncodeDetect::IsEUC, &PreviousDecoder::IsEUC},
        {"IsUTF8", &EncodeDetect::IsUTF8, &PreviousDecoder::IsUTF8},
        {"IsUTF7", &EncodeDetect::IsUTF7, &PreviousDecoder::IsUTF7},
    };
    for (const auto& [name, test, previousTest] : tests) {
        int score = 0;
        int previousScore = 0;
        const bool passed = test(bytes, score, {});
        const bool previousPassed = previousTest(bytes, previousScore);
        if (passed != previousPassed || score != previousScore)
            return QStringLiteral("%1: %2 with %3 now, %4 with %5 before")
                .arg(QLatin1StringView(name))
                .arg(passed)
                .arg(score)
                .arg(previousPassed)
                .arg(previousScore);
    }
    if (EncodeDetect::IsJIS(bytes) != PreviousDecoder::IsJIS(bytes))
        return QStringLiteral("IsJIS: %1 now").arg(EncodeDetect::IsJIS(bytes));
    // The verdicts of the one pass, against the separate tests.
    const EncodingJudge::Verdicts all = EncodingJudge::JudgeAll(bytes, {});
    if (all.jis != PreviousDecoder::IsJIS(bytes))
        return QStringLiteral("one pass: JIS %1 now").arg(all.jis);
    if (!all.jis) {
        for (const auto& [name, verdict, previousTest] :
             {std::tuple{"Shift_JIS", all.sjis, &PreviousDecoder::IsSJIS},
              std::tuple{"EUC-JP", all.euc, &PreviousDecoder::IsEUC},
              std::tuple{"UTF-8", all.utf8, &PreviousDecoder::IsUTF8},
              std::tuple{"UTF-7", all.utf7, &PreviousDecoder::IsUTF7}}) {
            int previousScore = 0;
            const bool previousPassed = previousTest(bytes, previousScore);
            if (verdict.passed != previousPassed || verdict.score != previousScore)
                return QStringLiteral("one pass, %1: %2 with %3 now, %4 with %5 before")
                    .arg(QLatin1StringView(name))
                    .arg(verdict.passed)
                    .arg(verdict.score)
                    .arg(previousPassed)
                    .arg(previousScore);
        }
    }
    for (const EncodeDetect::TIgnoreEncodes switchedOff : {EncodeDetect::TIgnoreEncodes(), ignore}) {
        const int now = EncodeDetect::CheckEncoding(bytes, switchedOff);
        const int before = PreviousDecoder::CheckEncoding(bytes, switchedOff);
        if (now != before)
            return QStringLiteral("encoding code with tests %1 off: %2 now, %3 before")
                .arg(switchedOff.Bits())
                .arg(now)
                .arg(before);
    }
    const TCodePage detectedNow = TStringUtility::DetectCodePage(bytes);
    const TCodePage detectedBefore = PreviousDecoder::DetectCodePage(bytes);
    if (detectedNow != detectedBefore)
        return QStringLiteral("detected code page: %1 now, %2 before").arg(detectedNow).arg(detectedBefore);
    return QString();
}

QString DifferenceFromPrevious(QByteArrayView bytes, EncodeDetect::TIgnoreEncodes ignore)
{
    const QString detection = DetectionDifferenceFromPrevious(bytes, ignore);
    if (!detection.isEmpty())
        return detection;
    QString difference = TextDifference(QStringLiteral("detected text"), TStringUtility::ToUnicodeDetect(bytes),
                                        PreviousDecoder::ToUnicodeDetect(bytes));
    for (const TCodePage codePage : kCodePages) {
        if (!difference.isEmpty())
            break;
        const QString what = QStringLiteral("text in %1").arg(codePage);
        difference = TextDifference(what, TStringUtility::ToUnicode(bytes, codePage),
                                    PreviousDecoder::ToUnicode(bytes, codePage));
        // Without the marks dropped and the JIS X 0208 fix-up.
        const bool raw = codePage == 20932 || codePage == 50220 || codePage == 65001 || codePage == 1200
                         || codePage == 12000;
        if (difference.isEmpty() && raw)
            difference = TextDifference(QStringLiteral("raw ") + what, ::DecodeCodePage(bytes, codePage),
                                        PreviousDecoder::DecodeCodePage(bytes, codePage));
    }
    return difference;
}

} // namespace PreviousDecoder
