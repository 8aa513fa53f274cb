#pragma once
// What the hash and the cipher registries share: process-wide lists of classes, each
// entry "group=description" in registration order.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// "THash_MD5" -> "MD5": the class name without its leading "T" and everything up to its
// first "_"; the description of a class registered without one.
std::string DefaultClassDescription(std::string_view className);
// Compares two names without regard to ASCII letter case.
bool SameClassText(std::string_view a, std::string_view b);
// The text without blanks, tabs and line breaks at either end.
std::string TrimClassText(std::string_view s);

template <class Class> struct ClassRegistryEntry {
    std::string text; // group "=" description
    const Class* cls;

    std::string_view Group() const { return std::string_view(text).substr(0, text.find('=')); }
    std::string_view Description() const {
        const auto eq = text.find('=');
        return eq == std::string::npos ? std::string_view() : std::string_view(text).substr(eq + 1);
    }
};

template <class Class> class ClassRegistry {
public:
    using Entry = ClassRegistryEntry<Class>;

    // False only for null. An empty (or blank) description becomes the default one; a
    // class already there keeps its position and gets the new text.
    bool add(const Class* cls, std::string_view description, std::string_view group) {
        if (!cls)
            return false;
        std::string desc = TrimClassText(description);
        if (desc.empty())
            desc = DefaultClassDescription(cls->ClassName());
        std::string text = std::string(group) + "=" + desc;
        const auto it = std::find_if(entries_.begin(), entries_.end(),
                                     [cls](const Entry& e) { return e.cls == cls; });
        if (it != entries_.end())
            it->text = std::move(text);
        else
            entries_.push_back({std::move(text), cls});
        return true;
    }
    const std::vector<Entry>& entries() const { return entries_; }
    void clear() { entries_.clear(); }

private:
    std::vector<Entry> entries_;
};

} // namespace kd
