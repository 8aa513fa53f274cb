#pragma once
#include <bitset>
#include <string_view>

namespace kd {

// A set of byte values; a character of a text belongs to it when its bit is on.
class CharSet {
public:
    CharSet() = default;
    // Every byte of the text is a member.
    CharSet(std::string_view members) {
        for (char c : members)
            bits_.set(static_cast<unsigned char>(c));
    }
    CharSet(const char* members) : CharSet(std::string_view(members)) {}

    bool contains(char c) const { return bits_.test(static_cast<unsigned char>(c)); }
    void insert(char c) { bits_.set(static_cast<unsigned char>(c)); }

private:
    std::bitset<256> bits_;
};

} // namespace kd
