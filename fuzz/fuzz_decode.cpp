// Detection and decoding of arbitrary page bytes: nothing may crash, hang,
// read outside the input or break the contracts the callers rely on.
#include "util/code_page.h"
#include "util/encode_detect.h"
#include "util/string_utility.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr TCodePage kCodePages[] = {932, 20932, 51932, 50220, 50221, 50222, 65001,
                                    1200, 1201, 12000, 12001, 0xFFFF, 0, 437};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const int encoding = EncodeDetect::CheckEncoding(bytes);
    Require(encoding >= EncodeDetect::kEncodingUndetermined && encoding <= EncodeDetect::kEncodingUtf7);
    Require(size > 0 || encoding == EncodeDetect::kEncodingUndetermined);

    const TCodePage detected = TStringUtility::DetectCodePage(bytes);
    const QString text = TStringUtility::ToUnicodeDetect(bytes);
    if (detected == kCodePageUnknown)
        Require(text.size() == bytes.size());
    else
        Require(text.size() <= bytes.size());

    // Each code page, whatever the bytes: every decoder must cope with all.
    if (size > 0) {
        const TCodePage codePage = kCodePages[data[0] % std::size(kCodePages)];
        const QString decoded = TStringUtility::ToUnicode(bytes.sliced(1), codePage);
        Require(decoded.size() <= bytes.size());
    }
    return 0;
}
