#pragma once
#include <array>
#include <cstdint>

// Constants of the RIPEMD lines, built by their definitions at compile time.
namespace kd::ripemd {

__extension__ typedef unsigned __int128 Wide;

// Largest r with r^power <= n.
constexpr std::uint64_t IntegerRoot(Wide n, int power) {
    std::uint64_t r = 0;
    for (int bit = 40; bit >= 0; --bit) {
        std::uint64_t c = r | (std::uint64_t{1} << bit);
        Wide p = 1;
        for (int i = 0; i < power; ++i)
            p *= c;
        if (p <= n)
            r = c;
    }
    return r;
}

// floor(2^30 * n^(1/power)): the integer part of the root scaled by 2^30.
constexpr std::uint32_t ScaledRoot(unsigned n, int power) {
    return static_cast<std::uint32_t>(IntegerRoot(Wide{n} << (30 * power), power));
}

// Left line: 0, then the square roots of 2, 3, 5, 7. Right line: the cube roots of
// 2, 3, 5, 7 (the 128-bit versions stop after three), then 0.
constexpr std::uint32_t LeftConstant(int round) {
    constexpr unsigned primes[] = {0, 2, 3, 5, 7};
    return round == 0 ? 0 : ScaledRoot(primes[round], 2);
}
constexpr std::uint32_t RightConstant(int round, int rounds) {
    constexpr unsigned primes[] = {2, 3, 5, 7};
    return round == rounds - 1 ? 0 : ScaledRoot(primes[round], 3);
}

// Message word order: the left line applies rho once more each round; the right
// line starts from pi(i) = 9i + 5 mod 16 and then follows rho too.
using Order = std::array<std::array<std::uint8_t, 16>, 5>;
constexpr Order MakeOrder(bool right) {
    constexpr std::uint8_t rho[16] = {7, 4, 13, 1, 10, 6, 15, 3, 12, 0, 9, 5, 2, 14, 11, 8};
    Order order{};
    for (int i = 0; i < 16; ++i)
        order[0][i] = static_cast<std::uint8_t>(right ? (9 * i + 5) % 16 : i);
    for (int round = 1; round < 5; ++round)
        for (int i = 0; i < 16; ++i)
            order[round][i] = rho[order[round - 1][i]];
    return order;
}
inline constexpr Order LeftOrder = MakeOrder(false);
inline constexpr Order RightOrder = MakeOrder(true);

// Rotation amount of each message word in each round (the same for both lines).
inline constexpr std::uint8_t WordShift[5][16] = {
    {11, 14, 15, 12, 5, 8, 7, 9, 11, 13, 14, 15, 6, 7, 9, 8},
    {12, 13, 11, 15, 6, 9, 9, 7, 12, 15, 11, 13, 7, 8, 7, 7},
    {13, 15, 14, 11, 7, 7, 6, 8, 13, 14, 13, 12, 5, 5, 6, 9},
    {14, 11, 12, 14, 8, 6, 5, 5, 15, 12, 15, 14, 9, 9, 8, 6},
    {15, 12, 13, 13, 9, 5, 8, 6, 14, 11, 12, 11, 8, 6, 5, 5},
};

} // namespace kd::ripemd
