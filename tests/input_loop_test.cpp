// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/input_loop.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Runs stream, which it closes, through run_stream; returns what was printed.
std::string run_captured(std::FILE* stream, int& status) {
    if (stream == nullptr) {
        ADD_FAILURE() << "the stream could not be opened";
        return {};
    }
    testing::internal::CaptureStdout();
    status = pilo::run_stream(stream);
    std::fflush(stdout);
    std::fclose(stream);
    return testing::internal::GetCapturedStdout();
}

// Runs input, which must be read to its end, on both of run_stream's paths:
// from an in-memory stream, which has no descriptor and is read with fgets,
// and from a temporary file, whose descriptor is read in blocks where the
// platform can. Both must print the same.
std::string run_input(std::string input) {
    int status = -2;
    std::string output = run_captured(fmemopen(input.data(), input.size(), "r"), status);
    EXPECT_EQ(status, 0) << "input: " << input;
    std::FILE* file = std::tmpfile();
    if (file == nullptr || std::fwrite(input.data(), 1, input.size(), file) != input.size() ||
        std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        ADD_FAILURE() << "no temporary file for input: " << input;
        return output;
    }
    status = -2;
    EXPECT_EQ(run_captured(file, status), output) << "read from a file, input: " << input;
    EXPECT_EQ(status, 0) << "read from a file, input: " << input;
    return output;
}

// Shifts a token across every position of the first chunks, so that it
// straddles one boundary or two; it must always be read whole.
TEST(InputLoop, TokenIsWholeWhereverChunksEnd) {
    const std::string long_number = "1" + std::string(20, '0') + "." + std::string(280, '0');
    for (std::size_t shift = 0; shift < 2 * pilo::CHUNK_SIZE; ++shift) {
        const std::string pad(shift, shift % 2 ? '\t' : ' ');
        ASSERT_EQ(run_input(pad + "1234567890 p"), "1234567890.000000\n") << "shift " << shift;
        ASSERT_EQ(run_input(pad + long_number + " f\n"), "100000000000000000000.000000\n")
            << "shift " << shift;
        ASSERT_EQ(run_input(pad + "3 4 +\n" + pad + "p\n"), "7.000000\n") << "shift " << shift;
        ASSERT_EQ(run_input(pad + "-12.5 p"), "-12.500000\n") << "shift " << shift;
    }
}

// The longest token judged whole, and the first that is ignored, both placed
// to start anywhere in a chunk.
TEST(InputLoop, OverlongTokenIsIgnoredWhole) {
    const std::string longest = std::string(pilo::TOKEN_CAPACITY - 1, '0') + "8";
    const std::string too_long = std::string(pilo::TOKEN_CAPACITY, '0') + "9";
    for (std::size_t shift = 0; shift < pilo::CHUNK_SIZE; shift += 17) {
        std::string pad = "7";
        pad.append(shift + 1, ' ');
        EXPECT_EQ(run_input(pad + longest + " p\n"), "8.000000\n") << "shift " << shift;
        EXPECT_EQ(run_input(pad + too_long + " p\n"), "7.000000\n") << "shift " << shift;
        EXPECT_EQ(run_input(pad + too_long + "\n5 p"), "5.000000\n") << "shift " << shift;
        EXPECT_EQ(run_input(pad + std::string(70000, '1') + " f"), "7.000000\n")
            << "shift " << shift;
    }
}

TEST(InputLoop, KeptChunkRules) {
    const struct {
        std::string input;
        std::string output;
    } cases[] = {
        {"", ""},
        {"2\n3\n+\np", "5.000000\n"},      // no final newline
        {"1 p\r\n2 p \r\n", "2.000000\n"}, // "p\r" is no command; "p \r" is
        {std::string("1 p\0 2 p\n3 p\n", 13), "1.000000\n3.000000\n"}, // zero hides its chunk
        {std::string("12\0 x\n34 f\n", 11), "34.000000\n12.000000\n"}, // and ends its token
        {std::string("7.5\0"
                     "99 p\nf\n",
                     11),
         "7.500000\n"},                                           // digits after it are not read
        {"123456789 p\n56 p\n", "123456789.000000\n56.000000\n"}, // nor stale ones after a chunk
        // nor when the text ends on a block's first byte, 64
        {std::string(66, ' ') + "4\n5" + std::string(62, ' ') + "\nf", "5.000000\n4.000000\n"},
        {"1 2 3", ""}, // values left are never printed
        {"a b 12abc . e5 P", ""},
        // An overlong token is forgotten once it ends: the next one to
        // straddle a chunk is read whole.
        {std::string(5000, '1') + "\n" + std::string(250, ' ') + "1234567890 p",
         "1234567890.000000\n"},
        // Where chunks of 255 bytes and a first read of 64 KiB meet: a token
        // across a chunk's end at 65535 and the read's end at 65536;
        {std::string(65534, ' ') + "1234 p\n", "1234.000000\n"},
        // a zero byte that hides the last byte of a chunk, before a token
        // that the read's end cuts;
        {std::string(65530, ' ') + "7 p" + std::string(1, '\0') + "junk 9 p\n5 p",
         "7.000000\n9.000000\n5.000000\n"},
        // and one that hides a whole chunk across the read's end.
        {std::string(65535, ' ') + std::string(1, '\0') + std::string(254, 'x') + "6 p\n",
         "6.000000\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(run_input(c.input), c.output) << "input: " << c.input;
}

// Hands out text one byte per read, and fails every read once fail_at bytes
// have gone, as a disk or pipe error mid-stream would; NEVER never fails.
struct failing_source {
    std::string text;
    std::size_t fail_at;
    std::size_t pos;
};
constexpr std::size_t NEVER = std::string::npos;

ssize_t read_failing(void* cookie, char* buffer, std::size_t size) {
    auto& source = *static_cast<failing_source*>(cookie);
    if (source.pos == source.fail_at) {
        errno = EIO;
        return -1;
    }
    if (size == 0 || source.pos == source.text.size()) return 0;
    buffer[0] = source.text[source.pos++];
    return 1;
}

// Runs stream, which it closes, through run_stream with standard output on
// /dev/full; returns run_stream's status.
int run_into_full_device(std::FILE* stream) {
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int full = open("/dev/full", O_WRONLY);
    if (stream == nullptr || saved < 0 || full < 0 || dup2(full, STDOUT_FILENO) < 0) {
        ADD_FAILURE() << "no stream, or standard output cannot be put on /dev/full";
        return -2;
    }
    const int status = pilo::run_stream(stream);
    std::fclose(stream);
    std::fflush(stdout);
    std::clearerr(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(full);
    return status;
}

// What was printed before the error stays printed; the chunk the error cut
// short, and a token held back from before it, are never evaluated. A
// failed write ends the run too, long before the input's end, which a read
// error would never come to.
TEST(InputLoop, ReadErrorKeepsEarlierOutputAndFails) {
    const std::string sevens = [] {
        std::string text;
        for (int i = 0; i < 100; ++i) text += "7 p ";
        return text;
    }();
    std::string sixty_three_sevens;
    for (int i = 0; i < 63; ++i) sixty_three_sevens += "7.000000\n";
    std::string many_sevens;
    for (int i = 0; i < 1000; ++i) many_sevens += sevens;
    const struct {
        std::string text;
        std::size_t fail_at;
        std::string output;
        bool full_output = false; // output on /dev/full, and not compared
    } cases[] = {
        {"1 p\n2 p\n3 p\n", 8, "1.000000\n2.000000\n"},
        {"1 p\n2 p\n3 p\n", 7, "1.000000\n"}, // "2 p" lacks its newline
        {"1 p\n", 0, ""},
        {sevens, 300, sixty_three_sevens}, // the 64th "p" ends the first chunk
        {many_sevens, NEVER, "", true},    // 900 KB of lines for 400 KB read
    };
    for (const auto& c : cases) {
        failing_source source{c.text, c.fail_at, 0};
        std::FILE* stream = fopencookie(&source, "r", {read_failing, nullptr, nullptr, nullptr});
        if (c.full_output) {
            EXPECT_EQ(run_into_full_device(stream), -1) << "output on /dev/full";
            EXPECT_LT(source.pos, source.text.size()) << "read to the end into /dev/full";
            continue;
        }
        int status = -2;
        const std::string output = run_captured(stream, status);
        EXPECT_EQ(output, c.output) << "fail at " << c.fail_at;
        EXPECT_EQ(status, -1) << "fail at " << c.fail_at;
    }
}

} // namespace
