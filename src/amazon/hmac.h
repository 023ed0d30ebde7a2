#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>

// HMAC (RFC 2104) over SHA-256: the 32-byte code. A key longer than the
// 64-byte block is hashed first; empty keys and messages are allowed.
QByteArray HmacSha256(QByteArrayView key, QByteArrayView message);

// The HMAC-SHA256 code in Base64: always 44 characters ending in one "=".
QByteArray HmacSha256Base64(QByteArrayView key, QByteArrayView message);

// The same for counted byte buffers, message first.
QByteArray CalcSHA256HM(const char* message, std::size_t messageLength, const char* key,
                        std::size_t keyLength);
