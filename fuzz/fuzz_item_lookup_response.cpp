// Feeds arbitrary answers to the bookseller's response parser: it must either
// give records or raise an error of the family, never crash, hang or run out
// of memory, whatever the document holds (entities, depth, size).
#include "amazon/answer_text.h"
#include "amazon/item_lookup_response.h"
#include "util/error.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = DecodeBooksellerAnswer(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    try {
        for (const TBookData& book : ParseItemLookupResponse(text))
            (void)book.GetNormalizedIsbn();
    } catch (const QuillmoorError&) {
        // A document the parser refuses: the lookup counts a failed attempt.
    }
    return 0;
}
