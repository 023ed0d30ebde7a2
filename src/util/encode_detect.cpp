#include "util/encode_detect.h"

#include "util/encoding_judge.h"

#include <QIODevice>

#include <limits>

namespace EncodeDetect {
namespace {

bool StartsWith(const quint8* at, qsizetype remaining, std::initializer_list<quint8> sequence)
{
    if (remaining < static_cast<qsizetype>(sequence.size()))
        return false;
    qsizetype i = 0;
    for (const quint8 b : sequence) {
        if (at[i++] != b)
            return false;
    }
    return true;
}

// Adds a reader's score, whatever its verdict.
bool Scored(EncodingJudge::Verdict verdict, int& score)
{
    score += verdict.score;
    return verdict.passed;
}

} // namespace

TBOMType BOMCheck(QByteArrayView buffer, TIgnoreEncodes ignore)
{
    if (ignore.Contains(TIgnoreEncode::ieBOM))
        return TBOMType::btNone;
    const auto* b = reinterpret_cast<const quint8*>(buffer.data());
    const qsizetype n = buffer.size();
    if (StartsWith(b, n, {0xFF, 0xFE, 0x00, 0x00}))
        return TBOMType::bt32LE;
    if (StartsWith(b, n, {0x00, 0x00, 0xFE, 0xFF}))
        return TBOMType::bt32BE;
    if (StartsWith(b, n, {0xFF, 0xFE}))
        return TBOMType::bt16LE;
    if (StartsWith(b, n, {0xFE, 0xFF}))
        return TBOMType::bt16BE;
    if (StartsWith(b, n, {0xEF, 0xBB, 0xBF}))
        return TBOMType::btUTF8;
    return TBOMType::btNone;
}

bool IsJIS(QByteArrayView buffer, TIgnoreEncodes ignore)
{
    return !ignore.Contains(TIgnoreEncode::ieJIS) && EncodingJudge::HasJisEscape(buffer);
}

bool IsSJIS(QByteArrayView buffer, int& score, TIgnoreEncodes ignore)
{
    return !ignore.Contains(TIgnoreEncode::ieSJIS) && Scored(EncodingJudge::ReadShiftJis(buffer), score);
}

bool IsEUC(QByteArrayView buffer, int& score, TIgnoreEncodes ignore)
{
    return !ignore.Contains(TIgnoreEncode::ieEUC) && Scored(EncodingJudge::ReadEucJp(buffer), score);
}

bool IsUTF8(QByteArrayView buffer, int& score, TIgnoreEncodes ignore)
{
    return !ignore.Contains(TIgnoreEncode::ieUTF8) && Scored(EncodingJudge::ReadUtf8(buffer), score);
}

bool IsUTF7(QByteArrayView buffer, int& score, TIgnoreEncodes ignore)
{
    return !ignore.Contains(TIgnoreEncode::ieUTF7) && Scored(EncodingJudge::ReadUtf7(buffer), score);
}

int CheckEncoding(QByteArrayView buffer, TIgnoreEncodes ignore)
{
    if (buffer.isEmpty())
        return kEncodingUndetermined;

    switch (BOMCheck(buffer, ignore)) {
    case TBOMType::btUTF8: return kEncodingUtf8Bom;
    case TBOMType::bt16LE: return kEncodingUtf16LeBom;
    case TBOMType::bt16BE: return kEncodingUtf16BeBom;
    case TBOMType::bt32LE: return kEncodingUtf32LeBom;
    case TBOMType::bt32BE: return kEncodingUtf32BeBom;
    case TBOMType::btNone: break;
    }
    const EncodingJudge::Verdicts verdicts = EncodingJudge::JudgeAll(buffer, ignore);
    if (verdicts.jis)
        return kEncodingJis;

    struct Candidate
    {
        int code;
        EncodingJudge::Verdict verdict;
    };
    const Candidate candidates[4] = {{kEncodingSjis, verdicts.sjis},
                                     {kEncodingEuc, verdicts.euc},
                                     {kEncodingUtf8, verdicts.utf8},
                                     {kEncodingUtf7, verdicts.utf7}};

    // A winner must have passed and outscore every other test, failed or not.
    for (const Candidate& candidate : candidates) {
        if (!candidate.verdict.passed)
            continue;
        bool beatsAll = true;
        for (const Candidate& other : candidates) {
            if (&other != &candidate && other.verdict.score >= candidate.verdict.score)
                beatsAll = false;
        }
        if (beatsAll)
            return candidate.code;
    }
    return kEncodingUndetermined;
}

int CheckEncoding(QIODevice& stream, qint64 maximumCount, TIgnoreEncodes ignore)
{
    const qint64 size = stream.size();
    if (size <= 0 || !stream.isReadable() || !stream.seek(0))
        return kEncodingUndetermined;
    const qint64 count = maximumCount > 0 && maximumCount <= size
                             ? maximumCount
                             : std::min<qint64>(size, std::numeric_limits<qint32>::max());
    const QByteArray bytes = stream.read(count);
    return CheckEncoding(QByteArrayView(bytes), ignore);
}

} // namespace EncodeDetect
