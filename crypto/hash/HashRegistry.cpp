#include "crypto/hash/HashRegistry.h"

namespace kd {
namespace {

ClassRegistry<HashClass>& registry() {
    static ClassRegistry<HashClass> list;
    return list;
}

} // namespace

bool RegisterHash(const HashClass* cls, std::string_view description, std::string_view group) {
    return registry().add(cls, description, group);
}

const std::vector<HashRegistryEntry>& HashRegistry() {
    return registry().entries();
}

const HashClass* FindHashClass(std::string_view name) {
    for (const auto& e : registry().entries())
        if (SameClassText(e.cls->ClassName(), name) || SameClassText(e.Description(), name))
            return e.cls;
    return nullptr;
}

void ClearHashRegistry() {
    registry().clear();
}

} // namespace kd
