#pragma once

#include "util/encode_detect.h"

#include <QByteArrayView>

// The tests of EncodeDetect, as readers that can stop anywhere and go on
// later, and the judge that runs them all in one pass over a buffer.
namespace EncodingJudge {

struct Verdict
{
    bool passed = false;
    int score = 0;
};

struct Verdicts
{
    // When true, the other verdicts are not reached: a JIS escape decides.
    bool jis = false;
    Verdict sjis, euc, utf8, utf7;
};

// IsJIS, IsSJIS, IsEUC, IsUTF8 and IsUTF7 of the buffer, each with its own
// score from 0, in one pass: the ASCII bytes before the first byte above 7F
// are read once for JIS escapes and UTF-7 (neither lives beyond it), and
// from there the three multi-byte readers go through the buffer together,
// a block at a time, while the block is in the first-level cache. Runs of
// ASCII bytes are skipped a word at a time.
Verdicts JudgeAll(QByteArrayView buffer, EncodeDetect::TIgnoreEncodes ignore);

// The single tests, for EncodeDetect's own functions.
bool HasJisEscape(QByteArrayView buffer);
Verdict ReadShiftJis(QByteArrayView buffer);
Verdict ReadEucJp(QByteArrayView buffer);
Verdict ReadUtf8(QByteArrayView buffer);
Verdict ReadUtf7(QByteArrayView buffer);

} // namespace EncodingJudge
