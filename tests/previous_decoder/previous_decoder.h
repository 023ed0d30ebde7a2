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

int CheckEncoding(QByteArrayView buffer, EncodeDetect::TIgnoreEncodes ignore = {});
TCodePage DetectCodePage(QByteArrayView bytes);

QString DecodeCodePage(QByteArrayView bytes, TCodePage codePage);
QString ToUnicode(QByteArrayView bytes, TCodePage codePage);
QString ToUnicodeDetect(QByteArrayView bytes);

// How the detector and the decoders of src/util treat these bytes
// differently from the previous ones, in words for a failure message; empty
// when they agree on the encoding code (with all tests and with `ignore`),
// the detected code page, the detected text and the text in every code page.
QString DifferenceFromPrevious(QByteArrayView bytes, EncodeDetect::TIgnoreEncodes ignore = {});

} // namespace PreviousDecoder
