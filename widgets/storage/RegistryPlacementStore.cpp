#include "widgets/storage/RegistryPlacementStore.h"

#include "platform/RegistryStore.h"

namespace kd {
namespace {

std::string rootKey(TPlacementRegRoot root) {
    switch (root) {
    case TPlacementRegRoot::prCurrentUser:
        return "";
    case TPlacementRegRoot::prLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case TPlacementRegRoot::prCurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    case TPlacementRegRoot::prClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case TPlacementRegRoot::prUsers:
        return "HKEY_USERS";
    case TPlacementRegRoot::prDynData:
        return "HKEY_DYN_DATA";
    }
    return "";
}

std::string joined(const std::string& parent, const std::string& child) {
    if (parent.empty())
        return child;
    if (child.empty())
        return parent;
    return parent + "\\" + child;
}

} // namespace

RegistryPlacementStore::RegistryPlacementStore(RegistryStore& store, std::string fileNameKey,
                                               TPlacementRegRoot root)
    : store_(store),
      // Switching to another root leaves the file-name key: sections then sit
      // directly below that root.
      root_(rootKey(root)),
      base_(root == TPlacementRegRoot::prCurrentUser ? std::move(fileNameKey) : root_) {}

std::string RegistryPlacementStore::keyOf(const std::string& section) const {
    if (!section.empty() && section.front() == '\\')
        return joined(root_, section.substr(1));
    return joined(base_, section);
}

std::string RegistryPlacementStore::readString(const std::string& section, const std::string& name,
                                               const std::string& def) {
    const std::string key = keyOf(section);
    // The last value written and not yet stored, as the store will hold it.
    for (auto k = pending_.rbegin(); k != pending_.rend(); ++k)
        if (RegistryStore::sameName(k->key, key) && RegistryStore::sameName(k->name, name))
            return k->value;
    return store_.readString(key, name).value_or(def);
}

void RegistryPlacementStore::writeString(const std::string& section, const std::string& name,
                                         const std::string& value) {
    pending_.push_back({keyOf(section), name, value});
}

void RegistryPlacementStore::close() {
    store_.writeStrings(pending_);
    pending_.clear();
}

void RegistryPlacementStore::eraseSection(const std::string&) {}

} // namespace kd
