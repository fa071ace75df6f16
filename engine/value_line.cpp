#include "engine/value_line.hpp"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>

namespace pilo {

namespace {

// Wide enough for a 53-bit fraction times 10^6; a compiler extension on x86-64.
__extension__ typedef unsigned __int128 u128;

constexpr std::uint32_t MICRO = 1'000'000; // six decimals
constexpr int MANTISSA_BITS = 52;
constexpr int EXPONENT_BIAS = 1075;   // removes the bias and the mantissa's scale
constexpr int MAX_INTEGER_SHIFT = 10; // a shifted mantissa stays below 2^63

// "00" to "99", so that digits are written two at a time.
constexpr std::array<char, 200> DIGIT_PAIRS = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes the digits of number, which has count digits, ending just before last.
void write_digits(char* last, std::uint64_t number, int count) noexcept {
    for (; count >= 2; count -= 2) {
        const auto pair = static_cast<std::size_t>(number % 100) * 2;
        number /= 100;
        *--last = DIGIT_PAIRS[pair + 1];
        *--last = DIGIT_PAIRS[pair];
    }
    if (count == 1) *--last = static_cast<char>('0' + number);
}

constexpr std::array<std::uint64_t, 20> POWERS_OF_TEN = [] {
    std::array<std::uint64_t, 20> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
    return powers;
}();

// Returns how many decimal digits number has, counting 0 as one digit. The
// bit width times log10(2), 1233 / 4096, is the digit count or one less.
int count_digits(std::uint64_t number) noexcept {
    const auto estimate = static_cast<int>((std::bit_width(number | 1) * 1233) >> 12);
    return estimate + ((number | 1) >= POWERS_OF_TEN[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

// Splits |value| = mantissa * 2^exponent into its integer part and its
// fraction rounded to six decimals, in exact integer arithmetic: the fraction
// f < 2^shift becomes f * 10^6 / 2^shift, rounded half to even as printf
// does. Returns false for values too large or not finite, which are left to
// the general formatter.
bool split_fixed(std::uint64_t bits, std::uint64_t& integer, std::uint32_t& micros) noexcept {
    const auto biased = static_cast<int>((bits >> MANTISSA_BITS) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << MANTISSA_BITS) - 1);
    if (biased == 0x7FF) return false;
    if (biased != 0) mantissa |= std::uint64_t{1} << MANTISSA_BITS;
    const int exponent = (biased == 0 ? 1 : biased) - EXPONENT_BIAS;
    if (exponent >= 0) {
        if (exponent > MAX_INTEGER_SHIFT) return false;
        integer = mantissa << exponent;
        micros = 0;
        return true;
    }
    const int shift = -exponent;
    if (shift >= 128) { // below 2^-75: far under half a millionth
        integer = 0;
        micros = 0;
        return true;
    }
    const std::uint64_t fraction =
        shift >= 64 ? mantissa : mantissa & ((std::uint64_t{1} << shift) - 1);
    integer = shift >= 64 ? 0 : mantissa >> shift;
    const u128 scaled = u128{fraction} * MICRO;
    auto rounded = static_cast<std::uint64_t>(scaled >> shift);
    const u128 rest = scaled - (u128{rounded} << shift);
    const u128 half = u128{1} << (shift - 1);
    if (rest > half || (rest == half && (rounded & 1) != 0)) ++rounded;
    if (rounded == MICRO) {
        ++integer;
        rounded = 0;
    }
    micros = static_cast<std::uint32_t>(rounded);
    return true;
}

} // namespace

std::size_t format_value_line(double value, std::array<char, VALUE_LINE_SIZE>& line) noexcept {
    char* const first = line.data();
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::uint64_t integer = 0;
    std::uint32_t micros = 0;
    if (!split_fixed(bits, integer, micros)) {
        // to_chars with fixed precision is defined to match printf's "%.*f",
        // and the buffer always has room, so the call cannot fail.
        char* end =
            std::to_chars(first, first + line.size() - 1, value, std::chars_format::fixed, 6).ptr;
        *end++ = '\n';
        return static_cast<std::size_t>(end - first);
    }
    char* end = first;
    if ((bits >> 63) != 0) *end++ = '-';
    const int count = count_digits(integer);
    end += count;
    write_digits(end, integer, count);
    *end++ = '.';
    end += 6;
    write_digits(end, micros, 6);
    *end++ = '\n';
    return static_cast<std::size_t>(end - first);
}

void print_value_line(double value) noexcept {
    std::array<char, VALUE_LINE_SIZE> line;
    const std::size_t length = format_value_line(value, line);
    // Unlocked: pilo has one thread, and the call still goes through stdout's
    // buffer, so line buffering at a terminal holds.
    fwrite_unlocked(line.data(), 1, length, stdout);
}

} // namespace pilo
