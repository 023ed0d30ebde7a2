// The detector and the decoders against their previous versions: any
// difference in the encoding code, the code page or the text, for whatever
// bytes, is a crash with the difference on standard error.
#include "previous_decoder.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the tests switched off; the rest is the page.
    EncodeDetect::TIgnoreEncodes ignore;
    for (int test = 0; test < 6; ++test) {
        if ((data[0] & (1u << test)) != 0)
            ignore = ignore | static_cast<EncodeDetect::TIgnoreEncode>(test);
    }
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString difference = PreviousDecoder::DifferenceFromPrevious(bytes, ignore);
    if (!difference.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(difference));
        std::abort();
    }
    return 0;
}
