// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Micro-benchmarks of the number reader, whole and its padded short path,
// against strtod, and of the value-line writer against snprintf, over a fixed
// mix of workload-like inputs.

#include "driver/number_reader.hpp"
#include "engine/value_line.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t SAMPLE_COUNT = 4096;

// Tokens in the forms bench/make_workload.py writes, in its proportions and
// a fixed random order: integers, decimals, decimals with exponents, negative
// decimals, long decimals below 1 (%.17g where the generator writes Python's
// shortest repr), plus-signed integers and hexadecimal integers.
std::vector<std::string> make_tokens() {
    std::mt19937_64 random(1);
    std::vector<std::string> tokens;
    char text[64];
    while (tokens.size() < SAMPLE_COUNT) {
        const auto draw = random() % 100;
        const double unit = static_cast<double>(random() % 1000000) / 1000000.0;
        const auto whole = [&](unsigned long long below) {
            return static_cast<unsigned long long>(random() % below);
        };
        if (draw < 35)
            std::snprintf(text, sizeof text, "%llu", whole(100000));
        else if (draw < 65)
            std::snprintf(text, sizeof text, "%.*f", static_cast<int>(1 + random() % 6),
                          unit * 2000 - 1000);
        else if (draw < 80)
            std::snprintf(text, sizeof text, "%.*fe%d", static_cast<int>(1 + random() % 8),
                          1 + unit * 9, static_cast<int>(random() % 17) - 8);
        else if (draw < 90)
            std::snprintf(text, sizeof text, "-%llu.%llu", 1 + whole(9999), whole(1000));
        else if (draw < 97)
            std::snprintf(text, sizeof text, "%.17g", unit);
        else if (draw < 99)
            std::snprintf(text, sizeof text, "+%llu", 1 + whole(999));
        else
            std::snprintf(text, sizeof text, "0x%llx", 1 + whole(65535));
        tokens.emplace_back(text);
    }
    return tokens;
}

// Values as the workload's arithmetic leaves them: mostly moderate, a few
// tiny, huge or integral.
std::vector<double> make_values() {
    std::vector<double> values;
    for (const std::string& token : make_tokens())
        values.push_back(std::strtod(token.c_str(), nullptr));
    return values;
}

// The input loop's path: each token followed by a delimiter and padding.
void bm_parse_number(benchmark::State& state) {
    std::vector<std::string> tokens = make_tokens();
    for (std::string& token : tokens) token.append(1 + pilo::NUMBER_PADDING, ' ');
    std::size_t i = 0;
    for (auto _ : state) {
        std::string& token = tokens[i++ % tokens.size()];
        double value = 0.0;
        benchmark::DoNotOptimize(
            pilo::parse_number(token.data(), token.size() - 1 - pilo::NUMBER_PADDING, value));
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(bm_parse_number);

void bm_strtod(benchmark::State& state) {
    const auto tokens = make_tokens();
    std::size_t i = 0;
    for (auto _ : state) {
        char* end = nullptr;
        benchmark::DoNotOptimize(std::strtod(tokens[i++ % tokens.size()].c_str(), &end));
        benchmark::DoNotOptimize(end);
    }
}
BENCHMARK(bm_strtod);

void bm_format_value_line(benchmark::State& state) {
    const auto values = make_values();
    std::array<char, pilo::VALUE_LINE_SIZE> line;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pilo::format_value_line(values[i++ % values.size()], line));
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(bm_format_value_line);

void bm_snprintf(benchmark::State& state) {
    const auto values = make_values();
    char line[pilo::VALUE_LINE_SIZE];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            std::snprintf(line, sizeof line, "%f\n", values[i++ % values.size()]));
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(bm_snprintf);

} // namespace

BENCHMARK_MAIN();
