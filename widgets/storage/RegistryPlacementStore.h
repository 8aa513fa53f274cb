#pragma once
#include "widgets/storage/PlacementStore.h"

#include <memory>
#include <vector>

#include "platform/RegistryStore.h"

namespace kd {

// Roots of the registry a placement can live under. Our store is the user's own, so
// every root other than the current user's is a top key of that name in it.
enum class TPlacementRegRoot {
    prCurrentUser,
    prLocalMachine,
    prCurrentConfig,
    prClassesRoot,
    prUsers,
    prDynData
};

// Placement values in our registry store below one key (the file-name key): a
// section is a path of subkeys below it, separated by "\"; a section starting with
// "\" starts at the root instead. Writes are kept until close, which rewrites the
// store once for all of them (a window's placement is a dozen values).
class RegistryPlacementStore : public PlacementStore {
public:
    RegistryPlacementStore(RegistryStore& store, std::string fileNameKey,
                           TPlacementRegRoot root = TPlacementRegRoot::prCurrentUser);

    std::string readString(const std::string& section, const std::string& name,
                           const std::string& def) override;
    void writeString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    void close() override;
    // Our store cannot list a key's values: the values under the section stay, and
    // readers find only what the next save writes and counts.
    void eraseSection(const std::string& section) override;

    // The full key of a section, as the store holds it.
    std::string keyOf(const std::string& section) const;

private:
    RegistryStore& store_;
    std::string root_;
    std::string base_;
    std::vector<RegistryStore::Entry> pending_;
};

} // namespace kd
