#include "report/BarcodeTables.h"

namespace kd {

const std::array<TBarcodeType, 20> BarcodeTypes{{
    {"2/5 interleaved", true}, {"2/5 industrial", true}, {"2/5 matrix", true}, {"Code 39", false},
    {"Code 39 Full", false},   {"Code 128A", false},     {"Code 128B", false}, {"Code 128C", true},
    {"Code 93", false},        {"Code 93 Full", false},  {"MSI", true},        {"PostNet", true},
    {"Codebar", false},        {"EAN 8", true},          {"EAN 13", true},     {"UPC-A", true},
    {"UPC-E0", true},          {"UPC-E1", true},         {"UPC Supp2", true},  {"UPC Supp5", true},
}};

const std::array<std::string_view, 10> EanLeftOdd{"2605", "1615", "1516", "0805", "0526",
                                                  "0625", "0508", "0706", "0607", "2506"};
const std::array<std::string_view, 10> EanRight{"7150", "6160", "6061", "5350", "5071",
                                                "5170", "5053", "5251", "5152", "7051"};
const std::array<std::string_view, 10> EanLeftEven{"0517", "0616", "1606", "0535", "1705",
                                                   "0715", "3505", "1525", "2515", "1507"};

} // namespace kd
