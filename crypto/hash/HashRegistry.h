#pragma once
// The process-wide list of hash classes: entries "group=description" in registration order.
#include <string>
#include <string_view>
#include <vector>

#include "crypto/base/ClassRegistry.h"
#include "crypto/hash/Hash.h"

namespace kd {

using HashRegistryEntry = ClassRegistryEntry<HashClass>;

// Registers cls (false only for null). An empty description becomes the class name
// without its leading "T" and everything up to its first "_". A class already there
// keeps its position and gets the new text.
bool RegisterHash(const HashClass* cls, std::string_view description, std::string_view group);
const std::vector<HashRegistryEntry>& HashRegistry();
// Look-ups: by class name ("THash_MD5") or description ("Message Digest 5"), both without
// regard to case; null when none.
const HashClass* FindHashClass(std::string_view name);
// Drops every entry (the program's end; tests).
void ClearHashRegistry();

} // namespace kd
