#include "crypto/startup/CryptoLibrary.h"

#include "crypto/format/StringFormat.h"
#include "crypto/hash/Checksums.h"
#include "crypto/hash/HashRegistry.h"
#include "crypto/hash/Haval.h"
#include "crypto/hash/MD5.h"
#include "crypto/hash/RipeMD.h"
#include "crypto/hash/SHA.h"
#include "crypto/hash/Sapphire.h"
#include "crypto/hash/Snefru.h"
#include "crypto/hash/Square.h"
#include "crypto/hash/Tiger.h"

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
        {HashClassOf<THash_RipeMD128>(), "Ripe Message Digest 128", "Hash"},
        {HashClassOf<THash_RipeMD160>(), "Ripe Message Digest 160", "Hash"},
        {HashClassOf<THash_RipeMD256>(), "Ripe Message Digest 256", "Hash"},
        {HashClassOf<THash_RipeMD320>(), "Ripe Message Digest 320", "Hash"},
        {HashClassOf<THash_Haval128>(), "Haval-128", "Hash"},
        {HashClassOf<THash_Haval160>(), "Haval-160", "Hash"},
        {HashClassOf<THash_Haval192>(), "Haval-192", "Hash"},
        {HashClassOf<THash_Haval224>(), "Haval-224", "Hash"},
        {HashClassOf<THash_Haval256>(), "Haval-256", "Hash"},
        {HashClassOf<THash_Sapphire128>(), "Sapphire II-128", "Hash"},
        {HashClassOf<THash_Sapphire160>(), "Sapphire II-160", "Hash"},
        {HashClassOf<THash_Sapphire192>(), "Sapphire II-192", "Hash"},
        {HashClassOf<THash_Sapphire224>(), "Sapphire II-224", "Hash"},
        {HashClassOf<THash_Sapphire256>(), "Sapphire II-256", "Hash"},
        {HashClassOf<THash_Sapphire288>(), "Sapphire II-288", "Hash"},
        {HashClassOf<THash_Sapphire320>(), "Sapphire II-320", "Hash"},
        {HashClassOf<THash_Snefru>(), "Snefru-256", "Hash"},
        {HashClassOf<THash_Square>(), "Square", "Hash"},
        {HashClassOf<THash_Tiger>(), "Tiger", "Hash"},
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
