#include "amazon/hmac.h"

#include "amazon/base64.h"
#include "amazon/sha256.h"

#include <algorithm>
#include <array>

QByteArray HmacSha256(QByteArrayView key, QByteArrayView message)
{
    std::array<char, TSha256::kBlockSize> blockKey{};
    if (key.size() > TSha256::kBlockSize) {
        const QByteArray hashedKey = TSha256::Hash(key);
        std::copy(hashedKey.begin(), hashedKey.end(), blockKey.begin());
    } else {
        std::copy(key.begin(), key.end(), blockKey.begin());
    }

    std::array<char, TSha256::kBlockSize> innerPad;
    std::array<char, TSha256::kBlockSize> outerPad;
    for (std::size_t i = 0; i < blockKey.size(); ++i) {
        innerPad[i] = static_cast<char>(blockKey[i] ^ 0x36);
        outerPad[i] = static_cast<char>(blockKey[i] ^ 0x5C);
    }

    TSha256 inner;
    inner.Update(QByteArrayView(innerPad.data(), TSha256::kBlockSize));
    inner.Update(message);
    const QByteArray innerDigest = inner.Final();

    TSha256 outer;
    outer.Update(QByteArrayView(outerPad.data(), TSha256::kBlockSize));
    outer.Update(innerDigest);
    return outer.Final();
}

QByteArray HmacSha256Base64(QByteArrayView key, QByteArrayView message)
{
    return CalcSHA256HM(message.data(), static_cast<std::size_t>(message.size()), key.data(),
                        static_cast<std::size_t>(key.size()));
}

QByteArray CalcSHA256HM(const char* message, std::size_t messageLength, const char* key,
                        std::size_t keyLength)
{
    const QByteArrayView keyBytes(key, static_cast<qsizetype>(keyLength));
    const QByteArrayView messageBytes(message, static_cast<qsizetype>(messageLength));
    return Base64Encode(HmacSha256(keyBytes, messageBytes));
}
