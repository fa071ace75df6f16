#include "driver/number_reader.hpp"

#include "engine/byte_words.hpp"

#include <array>
#include <bit>
#include <cfloat>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <version>

// Fast paths, each with a plain form beside it that reads the same values.
// PILO_PLAIN_PATHS forces every plain form on, so that any platform can test
// them.
//
// Both fast paths end in one multiplication or division of exact doubles,
// which is correctly rounded only where double operations round to double:
// FLT_EVAL_METHOD 0, or 1, which widens only float. Under x87 maths (2) the
// result is rounded to 64 bits and again to 53 on the store, which can land
// one bit away from strtod. There the short path takes only values that need
// no rounding, d * 10^0, and from_chars is not used: libstdc++ 12's takes the
// same shortcut and reads -2.17763e+26 one bit off.
#if (FLT_EVAL_METHOD == 0 || FLT_EVAL_METHOD == 1) && !defined(PILO_PLAIN_PATHS)
#define PILO_ROUNDS_TO_DOUBLE 1
#else
#define PILO_ROUNDS_TO_DOUBLE 0
#endif
// std::from_chars reads decimals exactly and several times faster than strtod.
// The library's feature macro says whether it has the overload for double;
// libc++ 14, for one, does not define it. Without it, strtod reads them.
#if defined(__cpp_lib_to_chars) && PILO_ROUNDS_TO_DOUBLE
#define PILO_USE_FROM_CHARS 1
#include <charconv>
#include <system_error>
#else
#define PILO_USE_FROM_CHARS 0
#endif

namespace pilo {

namespace {

// The C library's reading, the reference for every token.
int parse_with_strtod(const char* token, double& out) noexcept {
    char* end = nullptr;
    const double value = std::strtod(token, &end);
    if (*end != '\0') return -1;
    out = value;
    return 0;
}

// Powers of ten that a double holds exactly.
constexpr std::array<double, 23> EXACT_POWERS_OF_TEN = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int MAX_EXACT_POWER = 22;
constexpr std::uint64_t MAX_EXACT_INTEGER = std::uint64_t{1} << 53;
constexpr int MAX_SIGNIFICAND_DIGITS = 19; // any 19 digits fit in 64 bits
constexpr int EXPONENT_CEILING = 100000;   // past any exponent the fast path takes

bool is_digit(char byte) noexcept {
    return byte >= '0' && byte <= '9';
}

// Adds the digits at text to digits; returns the first byte that is not one.
const char* read_digits(const char* text, std::uint64_t& digits) noexcept {
    for (; is_digit(*text); ++text) digits = digits * 10 + static_cast<std::uint64_t>(*text - '0');
    return text;
}

} // namespace

const char* parse_short_decimal(const char* text, double& out) noexcept {
    const bool negative = *text == '-';
    const char* at = text + (negative ? 1 : 0);
    std::uint64_t digits = 0;
    const char* const integer_end = read_digits(at, digits);
    const char* fraction_end = integer_end;
    if (*fraction_end == '.') fraction_end = read_digits(fraction_end + 1, digits);
    const auto point = integer_end != fraction_end ? 1 : 0;
    const auto digit_count = static_cast<int>(fraction_end - at) - point;
    if (digit_count == 0 || digit_count > MAX_SIGNIFICAND_DIGITS) return nullptr;
    int exponent = 0;
    at = fraction_end;
    if (*at == 'e' || *at == 'E') {
        ++at;
        const bool exponent_negative = *at == '-';
        if (*at == '-' || *at == '+') ++at;
        if (!is_digit(*at)) return nullptr;
        for (; is_digit(*at); ++at)
            if (exponent < EXPONENT_CEILING) exponent = exponent * 10 + (*at - '0');
        if (exponent_negative) exponent = -exponent;
    }
    if (digits > MAX_EXACT_INTEGER) return nullptr;
    exponent -= static_cast<int>(fraction_end - integer_end) - point;
    if (exponent < -MAX_EXACT_POWER || exponent > MAX_EXACT_POWER) return nullptr;
    if (!PILO_ROUNDS_TO_DOUBLE && exponent != 0) return nullptr;
    auto value = static_cast<double>(digits);
    if (exponent < 0)
        value /= EXACT_POWERS_OF_TEN[static_cast<std::size_t>(-exponent)];
    else
        value *= EXACT_POWERS_OF_TEN[static_cast<std::size_t>(exponent)];
    out = negative ? -value : value;
    return at;
}

namespace {

// The high bit of each byte of word that is not a digit, exact up to and
// including the first such byte; bytes after it may be marked wrongly, as a
// carry or borrow out of it can reach them. A digit, 0x30 to 0x39, plus 0x46
// stays below 0x80 and minus 0x30 does not borrow, so no digit before the
// first mark disturbs the next byte, and the first mark itself is exact:
// b + 0x46 reaches 0x80 for b >= 0x3A, and b - 0x30 wraps for b < 0x30 and
// keeps its high bit for b >= 0xB0.
constexpr std::uint64_t non_digit_bytes(std::uint64_t word) noexcept {
    return ((word + broadcast(0x80 - '9' - 1)) | (word - broadcast('0'))) & HIGH_BITS;
}

// The high bits of bytes 0 to count - 1, for counts from 0 to 9: the bytes
// a token of count bytes covers in its first word.
constexpr std::array<std::uint64_t, WORD_BYTES + 2> HIGH_BITS_BELOW = [] {
    std::array<std::uint64_t, WORD_BYTES + 2> masks{};
    for (std::size_t count = 1; count <= WORD_BYTES; ++count)
        masks[count] = masks[count - 1] | std::uint64_t{0x80} << (8 * (count - 1));
    masks[WORD_BYTES + 1] = HIGH_BITS;
    return masks;
}();

// The index of the first marked byte of marks, which must have one.
constexpr std::size_t first_mark(std::uint64_t marks) noexcept {
    // The top bit set too spares the count of trailing zeros its case for
    // zero, which costs a branch on some targets.
    return static_cast<std::size_t>(std::countr_zero(marks | std::uint64_t{1} << 63)) / 8;
}

// The value of the digits in bytes 0 to count - 1 of word, byte 0 the most
// significant, for 1 <= count <= 8. Each step joins neighbouring groups into
// one, 10a + b, 100a + b, then 10000a + b, and each group stays below its
// lane's limit (99 < 2^8, 9999 < 2^16, 99999999 < 2^32), so no step carries
// from one group into the next.
constexpr std::uint32_t digits_value(std::uint64_t word, std::size_t count) noexcept {
    // Digits are at least '0', so the subtraction borrows only from bytes
    // past them, which the shift drops. The bytes shifted in become leading
    // zero digits.
    std::uint64_t value = (word - broadcast('0')) << (8 * (WORD_BYTES - count));
    value = (value * 10 + (value >> 8)) & 0x00FF'00FF'00FF'00FF;
    value = (value * 100 + (value >> 16)) & 0x0000'FFFF'0000'FFFF;
    return static_cast<std::uint32_t>(value * 10000 + (value >> 32));
}

static_assert(digits_value(0x3837'3635'3433'3231, 8) == 12345678);
static_assert(digits_value(0x2020'2020'2030'3039, 3) == 900);
static_assert(std::uint64_t{99'999'999} <= MAX_EXACT_INTEGER);
static_assert(WORD_BYTES <= MAX_EXACT_POWER);

} // namespace

int parse_padded_decimal(const char* token, std::size_t length, double& out) noexcept {
    // Branches on the data mispredict often, so the sign and the point are
    // taken in with masks and selects. The words read end at token + 9,
    // inside the padding, and bytes past the token are masked off.
    const bool negative = token[0] == '-';
    const char* const text = token + (negative ? 1 : 0);
    const std::size_t size = length - (negative ? 1 : 0);
    if (size - 1 > WORD_BYTES) return -1; // 1 to 9 bytes: eight digits and a point
    const std::uint64_t word = load_word(text);
    // The first byte that is not a digit. When it is a point inside the
    // token, it is squeezed out: the bytes after it move down by one. The
    // point becomes a mask of all ones or none, not a bool: compilers tend to
    // turn a select on a bool into a branch.
    const std::uint64_t marks = non_digit_bytes(word);
    const std::uint64_t first = marks & (0 - marks);
    const std::uint64_t point = 0 - static_cast<std::uint64_t>(
                                        (first & bytes_equal(word, '.') & HIGH_BITS_BELOW[size]) != 0);
    const std::uint64_t kept = ((first >> 7) - 1) | ~point;
    const std::uint64_t digits = (word & kept) | (load_word(text + 1) & ~kept);
    const std::size_t digit_count = size - static_cast<std::size_t>(point & 1);
    if (digit_count - 1 >= WORD_BYTES ||
        (non_digit_bytes(digits) & HIGH_BITS_BELOW[digit_count]) != 0)
        return -1;
    const std::size_t fraction_count =
        (digit_count - first_mark(marks)) & static_cast<std::size_t>(point);
    if (!PILO_ROUNDS_TO_DOUBLE && fraction_count != 0) return -1;
    // d < 10^8 and 10^fraction_count are exact doubles: one correctly
    // rounded division, as on the short path below.
    const double value = static_cast<double>(digits_value(digits, digit_count)) /
                         EXACT_POWERS_OF_TEN[fraction_count];
    // The sign goes in as a bit, which negates exactly, -0 included.
    const std::uint64_t sign = static_cast<std::uint64_t>(negative) << 63;
    out = std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) | sign);
    return 0;
}

namespace {

// Reads plain decimal forms, the short ones first, exactly as strtod does.
// Only tokens that open with a digit or a point, after an optional minus,
// take this path: strtod alone skips white space and reads a plus sign, inf,
// nan and hexadecimal forms. Anything this does not take whole, out-of-range
// values included, goes to strtod for the final word.
bool parse_decimal(const char* token, std::size_t length, double& out) noexcept {
    const char lead = token[token[0] == '-' ? 1 : 0];
    if (!is_digit(lead) && lead != '.') return false;
    const char* const last = token + length;
    double value = 0.0;
    if (parse_short_decimal(token, value) == last) {
        out = value;
        return true;
    }
#if PILO_USE_FROM_CHARS
    const auto [end, error] = std::from_chars(token, last, value);
    if (error != std::errc{} || end != last) return false;
    out = value;
    return true;
#else
    return false;
#endif
}

} // namespace

int parse_number(const char* token, double& out) noexcept {
    if (token == nullptr) return -1;
    return parse_number(token, std::strlen(token), out);
}

int parse_number(const char* token, std::size_t length, double& out) noexcept {
    // strtod turns "" into 0.0 with its end pointer on the terminator, so an
    // empty token would otherwise pass the whole-token test.
    if (length == 0) return -1;
    if (parse_decimal(token, length, out)) return 0;
    return parse_with_strtod(token, out);
}

} // namespace pilo
