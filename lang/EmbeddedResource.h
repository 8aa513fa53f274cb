#pragma once
#include <cstddef>
#include <span>

namespace kd {

// A block of data compiled into the program under a resource name.
struct EmbeddedResource {
    const char* name; // upper case, e.g. "DEF_KD_CZ"
    const unsigned char* data;
    std::size_t size;
};

// The message tables of the three languages (generated at build time).
std::span<const EmbeddedResource> embeddedLanguageResources();

} // namespace kd
