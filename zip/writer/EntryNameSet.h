#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The names of the entries of a new archive, for telling a second entry of a name
// (letter case counts). A run of many small files looks every name up and adds it:
// one probe of a flat table of hashes serves a look, the names themselves, kept back
// to back in one buffer, are compared only where the hashes agree, and the whole set
// goes with two frees.
class EntryNameSet {
public:
    // Room for count names without growing, made once the first name is added.
    void Reserve(std::size_t count);
    bool Contains(std::string_view name) const;
    // Adds name; false, with nothing changed, when the set holds it already.
    bool Insert(std::string_view name);
    std::size_t Size() const { return size_; }

private:
    struct Slot {
        std::uint64_t hash = 0; // 0: empty (a name's hash always has its low bit set)
        std::size_t offset = 0; // where the name starts in text_
        std::size_t length = 0;
    };
    static std::uint64_t hashOf(std::string_view name);
    // The slots that hold count names at most half full.
    static std::size_t capacityFor(std::size_t count);
    // The slot holding name, or the empty one where it would go.
    std::size_t probe(std::string_view name, std::uint64_t hash) const;
    void grow(std::size_t capacity);

    std::vector<Slot> slots_;  // a power of two, never more than half full
    std::size_t reserved_ = 0; // names Reserve asked room for
    std::string text_;
    std::size_t size_ = 0;
};

} // namespace kd
