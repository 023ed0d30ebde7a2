#include "util/code_page.h"

#include "util/iso2022jp.h"
#include "util/multi_byte_decode.h"
#include "util/utf_decode.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <mutex>
#include <map>
#include <string>
#include <utility>

namespace {

// glibc loads the module of a conversion when a descriptor opens it and
// unloads it when the last one closes, under a lock of its own. Holding one
// descriptor of every conversion used for the life of the process keeps the
// modules loaded: text encodes without loading a library each time, and
// threads never contend on loading and unloading.
void KeepModuleLoaded(const char* to, const char* from)
{
    static std::mutex mutex;
    // Never destroyed, so the descriptors stay reachable to the very end.
    static auto* held = new std::map<std::pair<std::string, std::string>, iconv_t>;
    std::lock_guard lock(mutex);
    const auto key = std::pair<std::string, std::string>(to, from);
    if (!held->contains(key))
        held->emplace(key, iconv_open(to, from));
}

// An iconv conversion descriptor that closes itself.
class IconvHandle
{
public:
    IconvHandle(const char* to, const char* from)
    {
        KeepModuleLoaded(to, from);
        cd_ = iconv_open(to, from);
    }
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Runs one iconv step, growing the output as needed. Returns the errno of a
// stop (EILSEQ, EINVAL) or 0 when all input was taken.
int ConvertChunk(iconv_t cd, const char*& in, size_t& inLeft, QByteArray& out)
{
    while (true) {
        const qsizetype used = out.size();
        const size_t room = std::max<size_t>(inLeft * 4, 64);
        out.resize(used + static_cast<qsizetype>(room));
        char* outPtr = out.data() + used;
        size_t outLeft = room;
        char* inPtr = const_cast<char*>(in);
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = rc == static_cast<size_t>(-1) ? errno : 0;
        in = inPtr;
        out.resize(out.size() - static_cast<qsizetype>(outLeft));
        if (error != E2BIG)
            return error;
    }
}

} // namespace

const char* IconvNameOfCodePage(TCodePage codePage)
{
    switch (codePage) {
    case 932: return "CP932";
    case 20932:
    case 51932: return "EUC-JP";
    case 50220:
    case 50221:
    case 50222: return "ISO-2022-JP";
    case 65001: return "UTF-8";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 12000: return "UTF-32LE";
    case 12001: return "UTF-32BE";
    default: return nullptr;
    }
}

QString DecodeCodePage(QByteArrayView bytes, TCodePage codePage, JisX0208Reading reading)
{
    if (bytes.isEmpty())
        return QString();
    switch (codePage) {
    case kCodePageShiftJis:
        return DecodeShiftJis(bytes);
    case kCodePageEucJp:
    case kCodePageEucJpMs:
        return DecodeEucJp(bytes, reading);
    case kCodePageIso2022Jp:
    case kCodePageIso2022JpKana:
    case kCodePageIso2022JpSoSi:
        return DecodeIso2022Jp(bytes, reading);
    case kCodePageUtf8:
        return DecodeUtf8(bytes);
    case kCodePageUtf16Le:
    case kCodePageUtf16Be:
        return DecodeUtf16(bytes, codePage == kCodePageUtf16Be);
    case kCodePageUtf32Le:
    case kCodePageUtf32Be:
        return DecodeUtf32(bytes, codePage == kCodePageUtf32Be);
    default:
        return QString();
    }
}

QByteArray EncodeCodePage(QStringView text, TCodePage codePage)
{
    const char* name = IconvNameOfCodePage(codePage);
    if (text.isEmpty() || name == nullptr)
        return QByteArray();
    IconvHandle handle(name, "UTF-8");
    if (!handle.valid())
        return QByteArray();

    // Lone surrogates become U+FFFD in UTF-8 and then "?" below.
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    const char* in = utf8.constData();
    size_t inLeft = static_cast<size_t>(utf8.size());
    while (inLeft > 0) {
        const int error = ConvertChunk(handle.get(), in, inLeft, out);
        if (error == 0)
            break;
        // A character the code page cannot hold: skip its UTF-8 sequence.
        out.append('?');
        do {
            ++in;
            --inLeft;
        } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
    // Close a shifted state (ISO-2022-JP) with its return sequence.
    char tail[16];
    char* tailPtr = tail;
    size_t tailLeft = sizeof tail;
    if (iconv(handle.get(), nullptr, nullptr, &tailPtr, &tailLeft) != static_cast<size_t>(-1))
        out.append(tail, static_cast<qsizetype>(sizeof tail - tailLeft));
    return out;
}
