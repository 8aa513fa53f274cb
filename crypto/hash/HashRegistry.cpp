#include "crypto/hash/HashRegistry.h"

#include <algorithm>
#include <strings.h>

namespace kd {
namespace {

std::vector<HashRegistryEntry>& entries() {
    static std::vector<HashRegistryEntry> list;
    return list;
}

std::string trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1));
}

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

std::string_view HashRegistryEntry::Group() const {
    return std::string_view(text).substr(0, text.find('='));
}

std::string_view HashRegistryEntry::Description() const {
    const auto eq = text.find('=');
    return eq == std::string::npos ? std::string_view() : std::string_view(text).substr(eq + 1);
}

bool RegisterHash(const HashClass* cls, std::string_view description, std::string_view group) {
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
                                 [cls](const HashRegistryEntry& e) { return e.cls == cls; });
    if (it != list.end())
        it->text = std::move(text);
    else
        list.push_back({std::move(text), cls});
    return true;
}

const std::vector<HashRegistryEntry>& HashRegistry() {
    return entries();
}

const HashClass* FindHashClass(std::string_view name) {
    for (const auto& e : entries())
        if (sameText(e.cls->ClassName(), name) || sameText(e.Description(), name))
            return e.cls;
    return nullptr;
}

void ClearHashRegistry() {
    entries().clear();
}

} // namespace kd
