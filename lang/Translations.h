#pragma once
#include <string>
#include <string_view>

namespace kd {

// One text of the program's own that the message table does not hold, in its three
// languages; kept in tables beside the code that shows it.
struct Translations {
    std::string_view cz, en, sk;

    // The text in the language of the settings' code ("EN", "SK"); Czech otherwise.
    std::string in(std::string_view languageCode) const {
        if (languageCode == "EN")
            return std::string(en);
        return std::string(languageCode == "SK" ? sk : cz);
    }
};

} // namespace kd
