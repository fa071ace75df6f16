// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// sweep_number: the number checks over whole domains instead of random
// inputs. sweep_number STRIDE THREADS [all] checks every STRIDE-th input of
// each sweep below on THREADS threads, prints each sweep's count, time and
// mismatches, the first ten in hexadecimal, and exits 1 on any mismatch.
// STRIDE 1 is the whole domain.
//   words      every token of 1 to 8 bytes over "0123456789.", the word
//              reader's domain; one in 16, picked by a hash, also with a
//              leading '-' and '+'
//   two-words  10^8 tokens of 9 to 16 random digits, the point at every
//              place or none, each exponent from -30 to 30 or none
//   floats     every float from 2^-22 up to 2^64, both signs, widened to
//              double, as a value line: the values whose line pilo rounds
//              and writes itself
//   ties       every odd multiple of 2^-7 below 2^20: exact ties at the
//              sixth decimal
//   powers     the doubles within two steps of each power of two from 2^-30
//              to 2^70, and their negatives, whole at any stride
// With "all", one sweep more:
//   far-floats every other float: those that print as zero, those left to
//              the C library's formatting (2^64 and over), the infinities
//              and the NaNs

#include "tests/number_checks.hpp"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// Mismatches printed so far, of all threads. Each thread counts its own
// mismatches; 32 bits, as not every target has 64-bit atomics.
std::atomic<unsigned> reported{0};

// Each check returns how many mismatches it found, and prints the first ten.
unsigned check_token(const std::string& token) {
    const auto verdict = pilo_checks::check_number(token, " 9.9e9 12345678");
    if (verdict.difference == nullptr) return 0;
    if (reported++ < 10)
        std::printf("  [%s]: %s; strtod: %a\n", token.c_str(), verdict.difference, verdict.value);
    return 1;
}

unsigned check_value(double value) {
    if (pilo_checks::value_line_matches(value)) return 0;
    if (reported++ < 10) std::printf("  value line of %a differs\n", value);
    return 1;
}

// Token index of the word sweep, which counts 11 tokens of one byte, then
// 11^2 of two bytes, and so on.
unsigned check_word(std::uint64_t index) {
    const bool signed_too = (index * 0x9E37'79B9'7F4A'7C15) >> 60 == 0;
    std::uint64_t tokens = 11;
    for (; index >= tokens; tokens *= 11) index -= tokens;
    std::string token;
    for (; tokens > 1; tokens /= 11, index /= 11) token += "0123456789."[index % 11];
    if (!signed_too) return check_token(token);
    return check_token(token) + check_token("-" + token) + check_token("+" + token);
}

// Each shape of short decimal: a digit count from 9 to 16, a place of the
// point (0 to count, or count + 1 for none) and an exponent choice (0 for
// none, else the exponent plus 31). The digits come from one splitmix64 step.
constexpr std::uint64_t TWO_WORD_SHAPES = (11 + 12 + 13 + 14 + 15 + 16 + 17 + 18) * 62;

unsigned check_two_words(std::uint64_t index) {
    std::uint64_t random = (index + 1) * 0x9E37'79B9'7F4A'7C15;
    random = (random ^ (random >> 30)) * 0xBF58'476D'1CE4'E5B9;
    random = (random ^ (random >> 27)) * 0x94D0'49BB'1331'11EB;
    random ^= random >> 31;
    std::uint64_t shape = index % TWO_WORD_SHAPES;
    const auto exponent = static_cast<int>(shape % 62) - 31;
    std::size_t count = 9;
    for (shape /= 62; shape >= count + 2; ++count) shape -= count + 2;
    std::string token;
    for (; token.size() < count; random /= 10) token += static_cast<char>('0' + random % 10);
    if (shape <= count) token.insert(static_cast<std::size_t>(shape), ".");
    if (exponent != -31) token += "e" + std::to_string(exponent);
    return check_token(token);
}

// The floats by their exponent field: the first whose value reaches 2^-22,
// and the first at 2^64.
constexpr std::uint32_t FLOAT_FRACTION_BITS = 23;
constexpr std::uint32_t NEAR_FIELD_FIRST = 127 - 22;
constexpr std::uint32_t NEAR_FIELD_END = 127 + 64;
constexpr std::uint64_t NEAR_FLOATS = std::uint64_t{NEAR_FIELD_END - NEAR_FIELD_FIRST}
                                      << FLOAT_FRACTION_BITS;
constexpr std::uint64_t ALL_MAGNITUDES = std::uint64_t{1} << 31;

// Index / 2 counts the magnitudes of the sweep, index % 2 picks the sign.
unsigned check_float(std::uint64_t index, bool near) {
    std::uint64_t magnitude = index / 2;
    if (near)
        magnitude += std::uint64_t{NEAR_FIELD_FIRST} << FLOAT_FRACTION_BITS;
    else if (magnitude >= std::uint64_t{NEAR_FIELD_FIRST} << FLOAT_FRACTION_BITS)
        magnitude += NEAR_FLOATS;
    const auto bits = static_cast<std::uint32_t>(magnitude | (index % 2) << 31);
    return check_value(std::bit_cast<float>(bits));
}

struct sweep {
    const char* name;
    std::uint64_t count; // inputs in the whole domain
    std::uint64_t most_stride;
    unsigned (*check)(std::uint64_t index);
    bool all_only; // run only with "all"
};

const sweep SWEEPS[] = {
    {"words", (11ULL * 11 * 11 * 11 * 11 * 11 * 11 * 11 * 11 - 11) / 10, ~0ULL, check_word, false},
    {"two-words", 100'000'000 / TWO_WORD_SHAPES* TWO_WORD_SHAPES, ~0ULL, check_two_words, false},
    {"floats", 2 * NEAR_FLOATS, ~0ULL, [](std::uint64_t index) { return check_float(index, true); },
     false},
    {"far-floats", 2 * (ALL_MAGNITUDES - NEAR_FLOATS), ~0ULL,
     [](std::uint64_t index) { return check_float(index, false); }, true},
    {"ties", 1ULL << 26, ~0ULL,
     [](std::uint64_t index) {
         return check_value(std::ldexp(static_cast<double>(2 * index + 1), -7));
     },
     false},
    {"powers", 101 * 10, 1,
     [](std::uint64_t index) {
         // index / 10 picks the power, index / 2 % 5 the step from -2 to 2,
         // index % 2 the sign.
         const double power =
             std::ldexp(index % 2 == 0 ? 1.0 : -1.0, static_cast<int>(index / 10) - 30);
         double value = power;
         for (auto step = index / 2 % 5; step < 2; ++step) value = std::nextafter(value, 0.0);
         for (auto step = index / 2 % 5; step > 2; --step) value = std::nextafter(value, 2 * power);
         return check_value(value);
     },
     false},
};

} // namespace

int main(int argc, char* argv[]) {
    const bool known = argc == 3 || (argc == 4 && std::string(argv[3]) == "all");
    const std::uint64_t stride = known ? std::strtoull(argv[1], nullptr, 10) : 0;
    const std::size_t threads = known ? std::strtoul(argv[2], nullptr, 10) : 0;
    if (stride == 0 || threads == 0) {
        std::fprintf(stderr, "usage: sweep_number STRIDE THREADS [all]\n");
        return 2;
    }
    const bool all = argc == 4;
    std::uint64_t mismatches = 0;
    for (const sweep& sweep : SWEEPS) {
        if (sweep.all_only && !all) continue;
        const std::uint64_t step_size = std::min(stride, sweep.most_stride);
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::uint64_t> found(threads);
        const auto work = [&sweep, &found, step_size, threads](std::size_t worker) {
            std::uint64_t count = 0; // a local, not found[worker]: no shared line
            for (std::uint64_t step = worker; step * step_size < sweep.count; step += threads)
                count += sweep.check(step * step_size);
            found[worker] = count;
        };
        // One thread is this one: qemu-user 7.2 for i386 never returns from
        // creating a thread, and an emulated sweep runs on one.
        std::vector<std::thread> workers;
        for (std::size_t worker = 1; worker < threads; ++worker) workers.emplace_back(work, worker);
        work(0);
        for (auto& worker : workers) worker.join();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::uint64_t sweep_mismatches = 0;
        for (const std::uint64_t count : found) sweep_mismatches += count;
        mismatches += sweep_mismatches;
        std::printf("%s: %" PRIu64 " of %" PRIu64 " checked in %.1f s, %" PRIu64 " mismatches\n",
                    sweep.name, (sweep.count + step_size - 1) / step_size, sweep.count,
                    took.count(), sweep_mismatches);
    }
    return mismatches == 0 ? 0 : 1;
}
