#include "crypto/cipher/CipherRegistry.h"

#include "crypto/cipher/classes/Safer.h"
#include "crypto/cipher/classes/Scop.h"
#include "crypto/cipher/classes/SimpleCiphers.h"
#include "crypto/cipher/classes/Tea.h"

namespace kd {
namespace {

ClassRegistry<CipherClass>& registry() {
    static ClassRegistry<CipherClass> list;
    return list;
}

} // namespace

bool RegisterCipher(const CipherClass* cls, std::string_view description, std::string_view group) {
    return registry().add(cls, description, group);
}

const std::vector<CipherRegistryEntry>& CipherRegistry() {
    return registry().entries();
}

const CipherClass* FindCipherClass(std::string_view name) {
    for (const auto& e : registry().entries())
        if (SameClassText(e.cls->ClassName(), name))
            return e.cls;
    return nullptr;
}

void ClearCipherRegistry() {
    registry().clear();
}

void RegisterCiphers() {
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterCipher(&CipherClassOf<TCipher_3Way>(), "", "");
    RegisterCipher(&CipherClassOf<TCipher_Blowfish>(), "", "");
    RegisterCipher(&CipherClassOf<TCipher_Gost>(), "", "");
    RegisterCipher(&CipherClassOf<TCipher_IDEA>(), "", "free for non-commercial");
    RegisterCipher(&CipherClassOf<TCipher_Q128>(), "", "");
    RegisterCipher(&CipherClassOf<TCipher_SAFER_K40>(), "SAFER-K40", "");
    RegisterCipher(&CipherClassOf<TCipher_SAFER_SK40>(), "SAFER-SK40", "Keyscheduling");
    RegisterCipher(&CipherClassOf<TCipher_SAFER_K64>(), "SAFER-K64", "");
    RegisterCipher(&CipherClassOf<TCipher_SAFER_SK64>(), "SAFER-SK64", "Keyscheduling");
    RegisterCipher(&CipherClassOf<TCipher_SAFER_K128>(), "SAFER-K128", "");
    RegisterCipher(&CipherClassOf<TCipher_SAFER_SK128>(), "SAFER-SK128", "Keyscheduling");
    RegisterCipher(&CipherClassOf<TCipher_SCOP>(), "", "");
    RegisterCipher(&CipherClassOf<TCipher_Shark>(), "", "");
    RegisterCipher(&CipherClassOf<TCipher_Square>(), "", "");
    RegisterCipher(&CipherClassOf<TCipher_TEA>(), "TEA", "");
    RegisterCipher(&CipherClassOf<TCipher_TEAN>(), "TEA extended", "");
    RegisterCipher(&CipherClassOf<TCipher_Twofish>(), "", "");
}

} // namespace kd
