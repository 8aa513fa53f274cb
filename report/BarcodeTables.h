#pragma once
#include <array>
#include <string_view>

namespace kd {

struct TBarcodeType {
    std::string_view name;
    bool digitsOnly; // the symbology encodes digits only
};

// The bar-code symbologies the report designer offers, in its order.
extern const std::array<TBarcodeType, 20> BarcodeTypes;

// EAN and UPC digit encodings, one four-character width code per digit 0 to 9: "0" to
// "3" are spaces of 1 to 4 modules, "5" to "8" bars of 1 to 4 modules.
extern const std::array<std::string_view, 10> EanLeftOdd;  // set A, left half
extern const std::array<std::string_view, 10> EanRight;    // set C, right half
extern const std::array<std::string_view, 10> EanLeftEven; // set B, left half

} // namespace kd
