#pragma once
#include <array>
#include <cstdint>

// The signatures of the three records the engine reads and writes, module-wide and set
// once at start-up. Every reader and writer of records takes them from here.
namespace kd {

struct RecordSignatures {
    std::uint32_t Central;
    std::uint32_t Local;
    std::uint32_t End;
    std::array<std::uint8_t, 4> LocalBytes; // the local signature as stored, for scans
    std::uint8_t EndFirstByte;              // the first stored byte of the end signature
};

// Sets the central, local and end signatures in this order; 0 selects the standard
// value ("PK\1\2", "PK\3\4", "PK\5\6"). Start-up passes 0, 0, 0.
void SetRecordSignatures(std::uint32_t central, std::uint32_t local, std::uint32_t end);

// The signatures in force (the standard ones until SetRecordSignatures says otherwise).
const RecordSignatures& Signatures();

} // namespace kd
