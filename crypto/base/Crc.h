#pragma once
// Table-driven CRC steps; the caller does any initial or final inversion.
#include <cstddef>
#include <cstdint>

namespace kd::crc {

// CRC-16/ARC step (reflected polynomial 0xA001). A null data pointer returns crc.
std::uint16_t Crc16Update(std::uint16_t crc, const void* data, std::size_t size);
// CRC-32 step of ISO 3309 / V.42 (reflected polynomial 0xEDB88320).
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size);
// CRC-16 with polynomial 0x1021 in direct (non-reflected) form, the message bytes
// shifted in at the low end: register = ((register << 8) | byte) ^ T[high byte].
std::uint16_t Crc16CcittUpdate(std::uint16_t crc, const void* data, std::size_t size);

} // namespace kd::crc
