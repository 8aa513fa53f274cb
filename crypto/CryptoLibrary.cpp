#include "crypto/CryptoLibrary.h"

#include "crypto/format/StringFormat.h"
#include "crypto/hash/Checksums.h"
#include "crypto/hash/HashRegistry.h"
#include "crypto/hash/MD5.h"
#include "crypto/hash/SHA.h"

namespace kd {
namespace {

void registerHashes() {
    struct Entry {
        const HashClass& cls;
        const char* description;
        const char* group;
    };
    const Entry entries[] = {
        {HashClassOf<THash_MD4>(), "Message Digest 4", "Hash"},
        {HashClassOf<THash_MD5>(), "Message Digest 5", "Hash"},
        {HashClassOf<THash_SHA>(), "Secure Hash Algorithm", "Hash"},
        {HashClassOf<THash_SHA1>(), "Secure Hash Algorithm 1", "Hash"},
        {HashClassOf<THash_XOR16>(), "XOR-16", "Checksum"},
        {HashClassOf<THash_XOR32>(), "XOR-32", "Checksum"},
        {HashClassOf<THash_CRC16_CCITT>(), "CRC-16 CCITT", "Checksum"},
        {HashClassOf<Thash_CRC16_Standard>(), "CRC-16 Standard", "Checksum"},
        {HashClassOf<THash_CRC32>(), "CRC-32", "Checksum"},
    };
    for (const auto& e : entries)
        RegisterHash(&e.cls, e.description, e.group);
}

} // namespace

void InitializeCryptoLibrary() {
    static const bool done = [] {
        RegisterBuiltinStringFormats();
        registerHashes();
        return true;
    }();
    (void)done;
}

} // namespace kd
