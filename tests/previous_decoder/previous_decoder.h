#pragma once

#include "util/code_page.h"
#include "util/encode_detect.h"

#include <QByteArrayView>
#include <QString>

// The detector and the decoders as they were before the one-pass detector
// and the table-driven decoders: iconv for every multi-byte code page, the
// fix-up table as a second pass, ISO-2022-JP rewritten as EUC-JP first.
// Kept unchanged, for the tests and the fuzzer only, to show that the new
// ones give the same code page and the same text for every input.
namespace PreviousDecoder {

bool IsJIS(QByteArrayView buffer);
bool IsSJIS(QByteArrayView buffer, int& score);
bool IsEUC(QByteArrayView buffer, int& score);
bool IsUTF8(QByteArrayView buffer, int& score);
bool IsUTF7(QByteArrayView buffer, int& score);
int CheckEncoding(QByteArrayView buffer, EncodeDetect::TIgnoreEncodes ignore = {});
TCodePage DetectCodePage(QByteArrayView bytes);

QString DecodeCodePage(QByteArrayView bytes, TCodePage codePage);
QString ToUnicode(QByteArrayView bytes, TCodePage codePage);
QString ToUnicodeDetect(QByteArrayView bytes);

// How the detector of src/util judges these bytes differently from the
// previous one, in words for a failure message; empty when they agree on
// each test's verdict and score, the encoding code (with all tests and with
// `ignore`) and the detected code page.
QString DetectionDifferenceFromPrevious(QByteArrayView bytes, EncodeDetect::TIgnoreEncodes ignore = {});

// The same, and then the decoders: the detected text and the text in every
// code page.
QString DifferenceFromPrevious(QByteArrayView bytes, EncodeDetect::TIgnoreEncodes ignore = {});

} // namespace PreviousDecoder
