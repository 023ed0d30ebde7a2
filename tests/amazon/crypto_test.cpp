#include "amazon/base64.h"
#include "amazon/hmac.h"
#include "amazon/sha256.h"

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const QByteArray& bytes) { return bytes.toHex(); }
QByteArray Repeat(char byte, int count) { return QByteArray(count, byte); }

} // namespace

TEST(Sha256, MatchesTheStandardsExamples)
{
    EXPECT_EQ(Hex(TSha256::Hash("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Hex(TSha256::Hash("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Hex(TSha256::Hash(Repeat('a', 1'000'000))),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_EQ(Hex(TSha256::Hash("")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(Sha256, PadsCorrectlyAtEveryBlockBoundary)
{
    // Lengths where the padding just fits, just does not, or fills a block.
    const std::pair<int, const char*> cases[] = {
        {55, "85528b5baff5639cb8e7daca79d085ac29ac0978e873ed7527158616b2b6c379"},
        {56, "f8ce2f8d6990c639668fe404262f35ed72d8bb145ad6bae786af7284447386df"},
        {63, "9b49777003a4143d8c3f4d3002eb631c6bda8b030a3ccc87f8a21d5f61c89e87"},
        {64, "ee8e658590c9a5e119400a774415a01db104de1ee6e2c29ec69aa73ef46544d2"},
        {119, "c8bc8a6e9626586bb888ad131d44ed2bd37fc608e902904ade3c566c4208e6ca"},
    };
    for (const auto& [length, digest] : cases)
        EXPECT_EQ(Hex(TSha256::Hash(Repeat('q', length))), QByteArray(digest)) << length;
}

TEST(Sha256, GivesTheSameDigestWhateverThePieces)
{
    QByteArray message;
    for (int i = 0; i < 300; ++i)
        message.append(static_cast<char>(i * 7));
    const QByteArray whole = TSha256::Hash(message);
    for (int piece : {1, 3, 63, 64, 65, 129}) {
        TSha256 sha;
        for (qsizetype at = 0; at < message.size(); at += piece)
            sha.Update(QByteArrayView(message).sliced(at, std::min<qsizetype>(piece, message.size() - at)));
        EXPECT_EQ(sha.Final(), whole) << piece;
    }
}

TEST(HmacSha256, MatchesRfc4231)
{
    QByteArray key4;
    for (char byte = 1; byte <= 25; ++byte)
        key4.append(byte);
    const QByteArray longKey = Repeat('\xaa', 131);
    const struct
    {
        QByteArray key;
        QByteArray data;
        const char* mac;
    } cases[] = {
        {Repeat('\x0b', 20), "Hi There",
         "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
        {"Jefe", "what do ya want for nothing?",
         "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
        {Repeat('\xaa', 20), Repeat('\xdd', 50),
         "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
        {key4, Repeat('\xcd', 50),
         "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
        // The RFC gives the first 128 bits; the rest is the untruncated code.
        {Repeat('\x0c', 20), "Test With Truncation",
         "a3b6167473100ee06e0c796c2955552bfa6f7c0a6a8aef8b93f860aab0cd20c5"},
        {longKey, "Test Using Larger Than Block-Size Key - Hash Key First",
         "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
        {longKey,
         "This is a test using a larger than block-size key and a larger than block-size data. "
         "The key needs to be hashed before being used by the HMAC algorithm.",
         "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
    };
    int number = 1;
    for (const auto& c : cases) {
        EXPECT_EQ(Hex(HmacSha256(c.key, c.data)), QByteArray(c.mac)) << "case " << number;
        EXPECT_EQ(HmacSha256Base64(c.key, c.data), QByteArray::fromHex(c.mac).toBase64())
            << "case " << number;
        ++number;
    }
}

TEST(HmacSha256, AcceptsEmptyKeysAndMessagesAndCountedBuffers)
{
    // A key of exactly one block is used as it is, one byte more is hashed.
    EXPECT_NE(HmacSha256(Repeat('k', 64), "m"), HmacSha256(Repeat('k', 65), "m"));
    EXPECT_EQ(HmacSha256(TSha256::Hash(Repeat('k', 65)), "m"), HmacSha256(Repeat('k', 65), "m"));

    EXPECT_EQ(Hex(HmacSha256("", "")),
              "b613679a0814d9ec772f95d778c35fc5ff1697c493715653c6c712144292c5ad");
    const QByteArray mac = HmacSha256Base64("", "");
    EXPECT_EQ(mac.size(), 44);
    EXPECT_TRUE(mac.endsWith('=') && !mac.endsWith("=="));
    EXPECT_EQ(CalcSHA256HM(nullptr, 0, nullptr, 0), mac);

    const char message[] = "what do ya want for nothing?xx";
    EXPECT_EQ(CalcSHA256HM(message, 28, "Jefe!", 4),
              QByteArray::fromHex("5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843")
                  .toBase64());
}

TEST(Base64, MatchesRfc4648)
{
    EXPECT_EQ(Base64Encode(""), QByteArray(""));
    EXPECT_EQ(Base64Encode("f"), QByteArray("Zg=="));
    EXPECT_EQ(Base64Encode("fo"), QByteArray("Zm8="));
    EXPECT_EQ(Base64Encode("foo"), QByteArray("Zm9v"));
    EXPECT_EQ(Base64Encode("foob"), QByteArray("Zm9vYg=="));
    EXPECT_EQ(Base64Encode("fooba"), QByteArray("Zm9vYmE="));
    EXPECT_EQ(Base64Encode("foobar"), QByteArray("Zm9vYmFy"));
    // High bytes use the last two letters of the alphabet.
    EXPECT_EQ(Base64Encode("\xfb\xff\xbf"), QByteArray("+/+/"));
    EXPECT_EQ(Base64Encode(QByteArray("\0\0", 2)), QByteArray("AAA="));
}
