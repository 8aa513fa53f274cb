#include "zip/base/ObjectClassRegistry.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <strings.h>

namespace kd {

namespace {

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

struct Registry {
    std::mutex mutex;
    int lifetimes = 0;
    std::unique_ptr<std::map<std::string, tRegisterRec, CaseInsensitiveLess>> classes;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

// Cuts the namespaces off a demangled name, leaving template arguments whole.
std::string unqualified(const std::string& name) {
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '<')
            ++depth;
        else if (name[i] == '>')
            --depth;
        else if (depth == 0 && name.compare(i, 2, "::") == 0)
            start = i + 2;
    }
    return name.substr(start);
}

} // namespace

std::string ClassNameOf(const std::type_info& type) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return unqualified(status == 0 && name ? name.get() : type.name());
}

bool ObjectClassRegistry::Exists() {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    return r.classes != nullptr;
}

void ObjectClassRegistry::Create() {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    if (r.lifetimes++ == 0)
        r.classes = std::make_unique<decltype(r.classes)::element_type>();
}

void ObjectClassRegistry::Free() {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    if (--r.lifetimes == 0)
        r.classes.reset();
}

void ObjectClassRegistry::Add(const std::string& name, tRegisterRec record) {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    if (!r.classes)
        throw Exception("The class registry does not exist before start-up or after the end");
    r.classes->emplace(name.substr(0, MaxClassNameLength), std::move(record));
}

tRegisterRec ObjectClassRegistry::RecordFor(const std::string& name, const std::type_info& listType,
                                            const std::string& whenMissing) {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    if (!r.classes)
        throw EClassNotFound(whenMissing);
    const auto found = r.classes->find(name);
    if (found == r.classes->end())
        throw EClassNotFound(whenMissing);
    if (found->second.ListType != std::type_index(listType))
        throw EClassNotFound("Class <" + name + "> does not belong in a list of <" +
                             ClassNameOf(listType) + ">");
    return found->second;
}

std::string ObjectClassRegistry::ReadClassName(Stream& stream) {
    std::uint8_t length = 0;
    stream.ReadBuffer(&length, 1);
    std::string name(length, '\0');
    stream.ReadBuffer(name.data(), length);
    return name;
}

void ObjectClassRegistry::WriteClassName(const std::string& name, Stream& stream) {
    const auto length = static_cast<std::uint8_t>(std::min(name.size(), MaxClassNameLength));
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(name.data(), length);
}

} // namespace kd
