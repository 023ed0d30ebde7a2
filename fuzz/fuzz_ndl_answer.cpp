// Feeds arbitrary answers to NDL Search's answer reader: it must either give
// facts (or none) or raise an error of the family, never crash, hang or run
// out of memory, whatever the document holds (entities, depth, size).
#include "bookdata/ndl_answer.h"
#include "util/error.h"
#include "util/string_utility.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = TStringUtility::ToUnicodeDetect(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    try {
        (void)ParseNdlAnswer(text);
    } catch (const QuillmoorError&) {
        // A document the reader refuses: the request counts as failed.
    }
    return 0;
}
