// Feeds arbitrary answers to the readers of Calil's /check and /library
// answers: each must give its result or raise an error of the family, never
// crash or hang, whatever the bytes (JSONP wrappers, depth, odd types).
#include "calil/calil_check_answer.h"
#include "calil/calil_library_directory.h"
#include "util/error.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const TCalilCheckAnswer answer = ParseCalilCheckAnswer(body);
        for (const auto& systems : answer.books) {
            for (const TCalilPairState& state : systems)
                (void)state.answer.CellText();
        }
    } catch (const QuillmoorError&) {
        // An answer the reader refuses: the request counts as failed.
    }
    try {
        (void)ParseCalilLibraryList(body, QStringLiteral("東京都"));
    } catch (const QuillmoorError&) {
    }
    return 0;
}
