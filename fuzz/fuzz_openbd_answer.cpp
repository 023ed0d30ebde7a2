// Feeds arbitrary answers to openBD's answer reader: it must either give one
// entry per ISBN asked or raise an error of the family, never crash, hang or
// run out of memory, whatever the JSON holds (depth, types, size).
#include "bookdata/openbd_answer.h"
#include "util/error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QStringList isbns{QStringLiteral("4101010137"), QStringLiteral("4000000020"),
                                   QStringLiteral("4003101014")};
    try {
        const auto facts = ParseOpenBdAnswer(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), isbns);
        if (facts.size() != std::size_t(isbns.size()))
            std::abort(); // positions would land on the wrong rows
    } catch (const QuillmoorError&) {
        // An answer the reader refuses: the request counts as failed.
    }
    return 0;
}
