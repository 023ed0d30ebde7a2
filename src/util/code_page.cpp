#include "util/code_page.h"

#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kNativeUtf16 = "UTF-16LE";
#else
constexpr const char* kNativeUtf16 = "UTF-16BE";
#endif

// An iconv conversion descriptor that closes itself.
class IconvHandle
{
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

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

QString DecodeCodePage(QByteArrayView bytes, TCodePage codePage)
{
    const char* name = IconvNameOfCodePage(codePage);
    if (bytes.isEmpty() || name == nullptr)
        return QString();
    IconvHandle handle(kNativeUtf16, name);
    if (!handle.valid())
        return QString();

    QByteArray utf16;
    const char* in = bytes.data();
    size_t inLeft = static_cast<size_t>(bytes.size());
    const char16_t replacement = 0xFFFD;
    while (inLeft > 0) {
        const int error = ConvertChunk(handle.get(), in, inLeft, utf16);
        if (error == 0)
            break;
        // An undecodable or truncated sequence: one replacement character,
        // then go on with the next byte.
        utf16.append(reinterpret_cast<const char*>(&replacement), 2);
        ++in;
        --inLeft;
        handle.reset();
    }
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
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
