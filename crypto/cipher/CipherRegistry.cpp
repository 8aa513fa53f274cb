#include "crypto/cipher/CipherRegistry.h"

#include "crypto/cipher/classes/Safer.h"
#include "crypto/cipher/classes/Scop.h"
#include "crypto/cipher/classes/SimpleCiphers.h"
#include "crypto/cipher/classes/Tea.h"

#include <algorithm>
#include <strings.h>

namespace kd {
namespace {

std::vector<CipherRegistryEntry>& entries() {
    static std::vector<CipherRegistryEntry> list;
    return list;
}

std::string trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1));
}

} // namespace

bool RegisterCipher(const CipherClass* cls, std::string_view description, std::string_view group) {
    if (!cls)
        return false;
    std::string desc = trim(description);
    if (desc.empty()) {
        std::string_view name = cls->ClassName();
        if (!name.empty() && name.front() == 'T')
            name.remove_prefix(1);
        if (const auto bar = name.find('_'); bar != std::string_view::npos)
            name.remove_prefix(bar + 1);
        desc = name;
    }
    std::string text = std::string(group) + "=" + desc;
    auto& list = entries();
    const auto it = std::find_if(list.begin(), list.end(),
                                 [cls](const CipherRegistryEntry& e) { return e.cls == cls; });
    if (it != list.end())
        it->text = std::move(text);
    else
        list.push_back({std::move(text), cls});
    return true;
}

const std::vector<CipherRegistryEntry>& CipherRegistry() {
    return entries();
}

const CipherClass* FindCipherClass(std::string_view name) {
    for (const auto& e : entries())
        if (e.cls->ClassName().size() == name.size() &&
            ::strncasecmp(e.cls->ClassName().data(), name.data(), name.size()) == 0)
            return e.cls;
    return nullptr;
}

void ClearCipherRegistry() {
    entries().clear();
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
