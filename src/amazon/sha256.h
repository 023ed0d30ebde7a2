#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>

// SHA-256 (FIPS 180-2), fed in pieces of any size.
class TSha256 final
{
public:
    static constexpr int kBlockSize = 64;
    static constexpr int kDigestSize = 32;

    TSha256();

    void Update(QByteArrayView bytes);
    // The digest of everything fed so far. The object is spent afterwards.
    QByteArray Final();

    static QByteArray Hash(QByteArrayView bytes);

private:
    void Compress(const unsigned char* block);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, kBlockSize> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t totalBytes_ = 0;
};
