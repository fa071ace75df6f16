// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// fuzz_stream: any bytes go through run_stream twice: over an in-memory
// stream, read with fgets, and over a socket that hands them out in short
// reads of sizes drawn from the input, read from its descriptor.
//
// Checks, for every input: run_stream returns 0 both times; every output line
// is a value line or the message; and both outputs equal that of a reference
// evaluation.
// The reference cuts the same bytes into tokens with a deliberately simple
// model of the chunk rules, runs them on a stack this harness owns, and checks
// after every token that the stack holds 0 to STACK_CAPACITY values. run_stream
// keeps its stack to itself, so equal output is what ties its stack to these
// bounds: each "f" prints the whole stack, one line per value.

#include "driver/input_loop.hpp"
#include "engine/command_set.hpp"
#include "engine/operand_stack.hpp"
#include "tests/socket_stream.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what, std::string_view detail) {
    std::fprintf(stderr, "fuzz_stream: %s: [%.*s]\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

// Runs body with standard output sent to a fresh memory file, and returns what
// it printed. Standard output is restored before returning.
template <typename Body>
std::string capture_stdout(Body body) {
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int sink = memfd_create("fuzz_stream", 0);
    if (saved < 0 || sink < 0 || dup2(sink, STDOUT_FILENO) < 0) fail("capture", "setup");
    body();
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) fail("capture", "write");
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::string output;
    char block[4096]; // small, for a stack limit of 64 KiB
    ssize_t got = 0;
    lseek(sink, 0, SEEK_SET);
    while ((got = read(sink, block, sizeof block)) > 0)
        output.append(block, static_cast<std::size_t>(got));
    close(sink);
    return output;
}

// The bytes run_stream must read as tokens: fgets chunks of CHUNK_SIZE - 1
// bytes that end early after a newline, each cut at its first zero byte. A
// chunk that is not a full 255 bytes without a final newline ends the token
// in it, shown here as an added newline.
std::string visible_text(std::string_view input) {
    std::string text;
    while (!input.empty()) {
        std::size_t n = input.find('\n');
        n = n == std::string_view::npos ? input.size() : n + 1;
        n = std::min(n, pilo::CHUNK_SIZE - 1);
        const std::string_view chunk = input.substr(0, std::min(n, input.find('\0')));
        text += chunk;
        if (chunk.size() < pilo::CHUNK_SIZE - 1 || chunk.back() == '\n') text += '\n';
        input.remove_prefix(n);
    }
    return text;
}

void evaluate_reference(const std::string& text) {
    pilo::operand_stack stack;
    pilo::stack_clear(stack);
    pilo::output_buffer out;
    std::size_t pos = 0;
    while ((pos = text.find_first_not_of(pilo::TOKEN_DELIMITERS, pos)) != std::string::npos) {
        const std::size_t end =
            std::min(text.find_first_of(pilo::TOKEN_DELIMITERS, pos), text.size());
        const std::string token = text.substr(pos, end - pos);
        pos = end;
        if (token.size() > pilo::TOKEN_CAPACITY) continue;
        char command = 0;
        char* number_end = nullptr;
        const double value = std::strtod(token.c_str(), &number_end);
        if (pilo::parse_command(token.c_str(), command) == 0)
            (void)pilo::execute_command(stack, out, command);
        else if (*number_end == '\0')
            (void)pilo::stack_push(stack, value);
        const int depth = pilo::stack_depth(stack);
        if (depth < 0 || depth > pilo::STACK_CAPACITY) fail("stack depth out of range", token);
    }
    if (pilo::output_flush(out) != 0) fail("reference", "write");
}

// A value line is what "%f\n" makes of a double: digits, a point and six
// decimals, or an infinity or NaN, each maybe negative.
bool is_output_line(std::string_view line) {
    if (line == "pilo: stack empty") return true;
    if (!line.empty() && line.front() == '-') line.remove_prefix(1);
    if (line == "inf" || line == "nan") return true;
    const std::size_t point = line.find('.');
    return point != 0 && point != std::string_view::npos && line.size() - point == 7 &&
           line.find_first_not_of("0123456789.") == std::string_view::npos &&
           line.find('.', point + 1) == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    int status = -2;
    const auto run_from = [&](std::FILE* stream) {
        return capture_stdout([&] {
            if (stream == nullptr) fail("no stream", "");
            status = pilo::run_stream(stream);
            std::fclose(stream);
        });
    };
    const std::string output = run_from(fmemopen(input.data(), input.size(), "r"));
    if (status != 0) fail("run_stream status is not 0", input);
    if (!output.empty() && output.back() != '\n') fail("output ends inside a line", output);
    for (std::size_t pos = 0; pos < output.size();) {
        const std::size_t end = output.find('\n', pos);
        if (!is_output_line(std::string_view(output).substr(pos, end - pos)))
            fail("not a value line or the message", output.substr(pos, end - pos));
        pos = end + 1;
    }
    const std::string reference = capture_stdout([&] { evaluate_reference(visible_text(input)); });
    if (output != reference) fail("output differs from the reference evaluation", input);
    const std::size_t seed = std::hash<std::string>{}(input);
    if (run_from(pilo_checks::open_socket_stream(input, seed, nullptr)) != output || status != 0)
        fail("a run from a socket differs from fgets's", input);
    return 0;
}
