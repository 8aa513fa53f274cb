#include "crypto/cipher/support/Vectors.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace kd::test {
namespace {

const std::string kRoot = "/usr/share/crypto++/";

} // namespace

Bytes fromHex(const std::string& hex) {
    Bytes out;
    int nibbles = 0, value = 0;
    for (char ch : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(ch)))
            continue;
        value = value << 4 | std::stoi(std::string(1, ch), nullptr, 16);
        if (++nibbles % 2 == 0) {
            out.push_back(static_cast<std::uint8_t>(value));
            value = 0;
        }
    }
    return out;
}

std::string toHex(const Bytes& data) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (auto b : data) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

std::optional<std::vector<CipherVector>> cryptoppValidation(const std::string& name) {
    std::ifstream in(kRoot + "TestData/" + name);
    if (!in)
        return std::nullopt;
    // Whitespace-separated hex fields, three per case, across line breaks.
    std::vector<std::string> fields;
    std::string field;
    while (in >> field)
        fields.push_back(field);
    std::vector<CipherVector> cases;
    for (std::size_t i = 0; i + 2 < fields.size(); i += 3)
        cases.push_back({fromHex(fields[i]), fromHex(fields[i + 1]), fromHex(fields[i + 2])});
    return cases;
}

std::optional<std::vector<CipherVector>> cryptoppVectors(const std::string& file,
                                                         const std::string& name) {
    std::ifstream in(kRoot + "TestVectors/" + file);
    if (!in)
        return std::nullopt;
    std::vector<CipherVector> cases;
    CipherVector current;
    bool inSection = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string key = line.substr(0, colon), value = line.substr(colon + 1);
        if (key == "Name") {
            inSection = value.find_first_not_of(' ') != std::string::npos &&
                        value.substr(value.find_first_not_of(' ')) == name;
        } else if (!inSection) {
            continue;
        } else if (key == "Key") {
            current.key = fromHex(value);
        } else if (key == "Plaintext") {
            current.plain = fromHex(value);
        } else if (key == "Ciphertext") {
            current.cipher = fromHex(value);
        } else if (key == "Rounds") {
            current.rounds = std::stoi(value);
        } else if (key == "Test") {
            cases.push_back(current);
            current.rounds = 0;
        }
    }
    return cases;
}

} // namespace kd::test
