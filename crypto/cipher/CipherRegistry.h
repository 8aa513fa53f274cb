#pragma once
// The process-wide list of cipher classes: entries "group=description" in registration
// order, filled once at start-up by RegisterCiphers.
#include <string>
#include <string_view>
#include <vector>

#include "crypto/base/ClassRegistry.h"
#include "crypto/cipher/Cipher.h"

namespace kd {

using CipherRegistryEntry = ClassRegistryEntry<CipherClass>;

// Registers cls (false only for null). An empty description becomes the class name
// without its leading "T" and everything up to its first "_". A class already there
// keeps its position and gets the new text.
bool RegisterCipher(const CipherClass* cls, std::string_view description, std::string_view group);
const std::vector<CipherRegistryEntry>& CipherRegistry();
// By class name ("TCipher_IDEA"), without regard to case; null when none.
const CipherClass* FindCipherClass(std::string_view name);
void ClearCipherRegistry();

// Registers the library's cipher classes in their order; later calls do nothing.
void RegisterCiphers();

} // namespace kd
