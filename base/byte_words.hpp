// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Byte words: eight bytes of text in one 64-bit word, so that a test on every
// byte costs a few word operations. Plain integer code, the same on every
// target and byte order.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pilo {

inline constexpr std::size_t WORD_BYTES = sizeof(std::uint64_t);

// Each byte of a word set to byte.
constexpr std::uint64_t broadcast(std::uint8_t byte) noexcept {
    return 0x0101'0101'0101'0101 * std::uint64_t{byte};
}

inline constexpr std::uint64_t HIGH_BITS = broadcast(0x80);
inline constexpr std::uint64_t LOW_SEVEN_BITS = broadcast(0x7F);

// Reverses the bytes of word; compilers turn this into one instruction.
constexpr std::uint64_t swap_bytes(std::uint64_t word) noexcept {
    std::uint64_t swapped = 0;
    for (int i = 0; i < 8; ++i) swapped = (swapped << 8) | ((word >> (8 * i)) & 0xFF);
    return swapped;
}

// Loads the eight bytes at text so that text[i] is byte i of the word, bits
// 8i to 8i + 7, whatever the machine's byte order. memcpy reads any
// alignment without breaking aliasing rules.
inline std::uint64_t load_word(const char* text) noexcept {
    std::uint64_t word = 0;
    std::memcpy(&word, text, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = swap_bytes(word);
    return word;
}

// Stores word at text, byte i of the word into text[i].
inline void store_word(char* text, std::uint64_t word) noexcept {
    if constexpr (std::endian::native == std::endian::big) word = swap_bytes(word);
    std::memcpy(text, &word, sizeof word);
}

// The high bit of each byte of word that is zero, and nothing else. Adding
// 0x7F to the low seven bits sets the high bit exactly when one of them is
// set, and cannot carry into the next byte, so no byte disturbs another.
constexpr std::uint64_t zero_bytes(std::uint64_t word) noexcept {
    return ~(((word & LOW_SEVEN_BITS) + LOW_SEVEN_BITS) | word | LOW_SEVEN_BITS);
}

// The high bit of each byte of word equal to byte.
constexpr std::uint64_t bytes_equal(std::uint64_t word, char byte) noexcept {
    return zero_bytes(word ^ broadcast(static_cast<unsigned char>(byte)));
}

// Gathers the high bits of word's bytes into the low eight bits, byte i's
// into bit i. The multiplier moves bit 8i + 7 to bit 56 + i; every other
// product lands outside bits 56 to 63 or beyond the word, at distinct places,
// so nothing carries into the result.
constexpr unsigned gather_high_bits(std::uint64_t high_bits) noexcept {
    return static_cast<unsigned>(((high_bits >> 7) * 0x0102'0408'1020'4080) >> 56);
}

// The index of the first byte whose high bit is set in marks; 8 when none is.
constexpr std::size_t first_marked_byte(std::uint64_t marks) noexcept {
    return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
}

static_assert(swap_bytes(0x0102'0304'0506'0708) == 0x0807'0605'0403'0201);
static_assert(zero_bytes(0x4100'2000'FF00'0180) == 0x0080'0080'0080'0000);
static_assert(gather_high_bits(0x8000'0000'0080'0080) == 0b1000'0101);

} // namespace pilo
