#include "amazon/sha256.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::array<std::uint32_t, 64> kRoundConstants{
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::array<std::uint32_t, 8> kInitialState{
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

std::uint32_t LoadBigEndian(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8)
        | std::uint32_t{p[3]};
}

} // namespace

TSha256::TSha256() : state_(kInitialState) {}

void TSha256::Compress(const unsigned char* block)
{
    std::array<std::uint32_t, 64> w;
    for (int t = 0; t < 16; ++t)
        w[t] = LoadBigEndian(block + 4 * t);
    for (int t = 16; t < 64; ++t) {
        const std::uint32_t s0 = std::rotr(w[t - 15], 7) ^ std::rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const std::uint32_t s1 = std::rotr(w[t - 2], 17) ^ std::rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }

    auto [a, b, c, d, e, f, g, h] = state_;
    for (int t = 0; t < 64; ++t) {
        const std::uint32_t sum1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
        const std::uint32_t choice = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + sum1 + choice + kRoundConstants[t] + w[t];
        const std::uint32_t sum0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = sum0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

void TSha256::Update(QByteArrayView bytes)
{
    auto in = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = static_cast<std::size_t>(bytes.size());
    totalBytes_ += left;

    if (buffered_ > 0) {
        const std::size_t take = std::min(left, kBlockSize - buffered_);
        std::memcpy(buffer_.data() + buffered_, in, take);
        buffered_ += take;
        in += take;
        left -= take;
        if (buffered_ < kBlockSize)
            return;
        Compress(buffer_.data());
        buffered_ = 0;
    }
    for (; left >= kBlockSize; in += kBlockSize, left -= kBlockSize)
        Compress(in);
    if (left > 0) {
        std::memcpy(buffer_.data(), in, left);
        buffered_ = left;
    }
}

QByteArray TSha256::Final()
{
    const std::uint64_t bitLength = totalBytes_ * 8;
    // A one bit, zeros up to 8 bytes short of a block end, the bit length.
    unsigned char padding[kBlockSize + 8] = {0x80};
    const std::size_t padLength = buffered_ < 56 ? 56 - buffered_ : 120 - buffered_;
    unsigned char lengthBytes[8];
    for (int i = 0; i < 8; ++i)
        lengthBytes[i] = static_cast<unsigned char>(bitLength >> (56 - 8 * i));
    Update(QByteArrayView(reinterpret_cast<const char*>(padding), static_cast<qsizetype>(padLength)));
    Update(QByteArrayView(reinterpret_cast<const char*>(lengthBytes), 8));

    QByteArray digest(kDigestSize, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 4; ++k)
            digest[4 * i + k] = static_cast<char>(state_[i] >> (24 - 8 * k));
    }
    return digest;
}

QByteArray TSha256::Hash(QByteArrayView bytes)
{
    TSha256 sha;
    sha.Update(bytes);
    return sha.Final();
}
