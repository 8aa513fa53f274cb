#include "zip/format/ZipRecords.h"

#include <array>

namespace kd {

std::string MethodName(unsigned method) {
    static const std::array<const char*, 9> names = {"STOR", "SHR", "RED1", "RED2", "RED3",
                                                     "RED4", "IMP", "TOK",  "DEF"};
    return method < names.size() ? names[method] : std::to_string(method);
}

} // namespace kd
