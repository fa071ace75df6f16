// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "base/platform.hpp"
#include "driver/input_loop.hpp"
#include "driver/token_scanner.hpp"
#include "tests/number_checks.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

// Streams in memory, over a callback, a socket or a terminal, where the C
// library makes them; elsewhere the tests read files alone.
#ifdef PILO_TEST_STREAMS
#include "tests/socket_stream.hpp"

#include <fcntl.h>
#include <termios.h>
#endif

namespace {

// Runs stream, which it closes, through run_stream, which must return status;
// returns what was printed. input is what the stream reads, for messages.
std::string run_captured(std::FILE* stream, int status, const std::string& input) {
    if (stream == nullptr) {
        ADD_FAILURE() << "the stream could not be opened, input: " << input;
        return {};
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(pilo::run_stream(stream), status) << "input: " << input;
    std::fclose(stream);
    return testing::internal::GetCapturedStdout();
}

// A stream over a temporary file holding text, which every read fills. A
// text not written whole shows as output that differs.
std::FILE* open_file_stream(const std::string& text) {
    std::FILE* file = std::tmpfile();
    if (file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size())
        std::rewind(file); // writes the text out too
    return file;
}

// Runs input, which must be read to its end, on run_stream's two forms: from
// a file, whose descriptor is read in blocks where the platform can, and
// where the C library makes them, from an in-memory stream, which has no
// descriptor and is read with fgets, and a socket in short reads. All must
// print the same.
std::string run_input(const std::string& input) {
    const std::string output = run_captured(open_file_stream(input), 0, input);
#ifdef PILO_TEST_STREAMS
    // Read only, so the text is never written.
    for (std::FILE* stream : {fmemopen(const_cast<char*>(input.data()), input.size(), "r"),
                              pilo_checks::open_socket_stream(input, input.size(), nullptr)})
        EXPECT_EQ(run_captured(stream, 0, input), output)
            << "from another stream, input: " << input;
#endif
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
    constexpr std::size_t chunk = pilo::READ_SIZE / pilo::PIECE_SIZE * pilo::PIECE_SIZE;
    constexpr std::size_t gap = pilo::READ_SIZE - chunk;
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
        // The sign of a NaN is the C library's to print, or not.
        {"nan p -nan p", pilo_checks::printf_line(std::strtod("nan", nullptr)) +
                             pilo_checks::printf_line(std::strtod("-nan", nullptr))},
        // An overlong token is forgotten once it ends: the next one to
        // straddle a chunk is read whole.
        {std::string(5000, '1') + "\n" + std::string(250, ' ') + "1234567890 p",
         "1234567890.000000\n"},
        // Where chunks of 255 bytes and a full first read meet, a chunk
        // ending at chunk and the read at chunk + gap: a token across both;
        {std::string(chunk - 1, ' ') + std::string(gap + 2, '0') + "1234 p\n", "1234.000000\n"},
        // a zero byte that hides the last byte of a chunk, the 5 of a token
        // that goes on across the read's end;
        {std::string(chunk - 5, ' ') + "7 p" + std::string(1, '\0') + "5" +
             std::string(gap + 2, '0') + " p\n5 p",
         "7.000000\n0.000000\n5.000000\n"},
        // and one that hides a whole chunk across the read's end.
        {std::string(chunk, ' ') + std::string(1, '\0') + std::string(254, 'x') + "6 p\n",
         "6.000000\n"},
        // The last token, with no newline after it, is followed by what an
        // earlier read left in the buffer: here "." and "4.", which must not
        // be read as part of it.
        {"c .\n12", ""},
        {"c 34.\n12", ""},
        {"10.5 p\n12", "10.500000\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(run_input(c.input), c.output) << "input: " << c.input;
}

#ifdef PILO_TEST_STREAMS
// Hands out text one byte per read, then fails every read with error, as a
// disk error (EIO) or a pipe with no writer waiting (EAGAIN) would.
struct failing_source {
    const std::string& text;
    int error;
    std::size_t pos;
};

ssize_t read_failing(void* cookie, char* buffer, std::size_t /*size*/) {
    auto& source = *static_cast<failing_source*>(cookie);
    if (source.pos == source.text.size()) {
        errno = source.error;
        return -1;
    }
    buffer[0] = source.text[source.pos++];
    return 1;
}

// A stream over a terminal's master side after the terminal, raw, was sent
// text and closed: the read after text fails with EIO.
std::FILE* open_closed_terminal(const std::string& text) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return nullptr;
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    termios raw{};
    if (terminal < 0 || tcgetattr(terminal, &raw) != 0) return nullptr;
    cfmakeraw(&raw);
    if (tcsetattr(terminal, TCSANOW, &raw) != 0 ||
        write(terminal, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        return nullptr;
    close(terminal);
    return fdopen(master, "r");
}

// What was printed before the error stays printed; the chunk the error cut
// short, and a token held back from before it, are never evaluated.
TEST(InputLoop, ReadErrorKeepsEarlierOutputAndFails) {
    std::string sevens, sixty_three_sevens;
    for (int i = 0; i < 75; ++i) sevens += "7 p ";
    for (int i = 0; i < 63; ++i) sixty_three_sevens += "7.000000\n";
    const struct {
        std::string text; // what is read before the error
        std::string output;
    } cases[] = {
        {"1 p\n2 p\n", "1.000000\n2.000000\n"},
        {"1 p\n2 p", "1.000000\n"},     // "2 p" lacks its newline
        {"1 p\n2 p 3 p", "1.000000\n"}, // and so do "2 p 3 p"
        {"", ""},
        {sevens, sixty_three_sevens}, // the 64th "p" ends the first chunk
    };
    for (const auto& c : cases) {
        // Through fgets, then from descriptors: a socket and a terminal.
        const std::string& text = c.text;
        failing_source sources[] = {{text, EIO, 0}, {text, EAGAIN, 0}};
        int writer = -1;
        for (std::FILE* stream : {fopencookie(&sources[0], "r", {read_failing, {}, {}, {}}),
                                  fopencookie(&sources[1], "r", {read_failing, {}, {}, {}}),
                                  pilo_checks::open_socket_stream(text, text.size(), &writer),
                                  open_closed_terminal(text)})
            EXPECT_EQ(run_captured(stream, -1, text), c.output)
                << "input before the error: " << text;
        close(writer);
    }
}
#endif

// A fast path that the platform has must be built: a switch that went off
// unseen would cost its speed and leave it untested. What the platform has
// is told by facts other than those each switch tests; fast_float, a build
// dependency, must be found wherever doubles round once.
TEST(Platform, FastPathsThePlatformHasAreBuilt) {
#ifdef PILO_PLAIN_PATHS
    constexpr bool plain = true;
#else
    constexpr bool plain = false;
#endif
#ifdef __x86_64__
    EXPECT_EQ(PILO_USE_SSE2, !plain) << "every x86-64 has SSE2";
#endif
#ifdef __linux__
    EXPECT_EQ(PILO_USE_DESCRIPTORS, !plain) << "Linux has read(2) and write(2)";
#ifndef PILO_TEST_STREAMS
    ADD_FAILURE() << "the tests' streams were not found, which glibc has";
#endif
#endif
#ifndef __i386__
    EXPECT_EQ(PILO_USE_SCALED_DECIMALS && PILO_USE_FAST_FLOAT, !plain)
        << "only x87 maths rounds doubles twice; fast_float: libfast-float-dev";
#endif
    // Standard input, which most runs read, takes the path built for it: one
    // read of its descriptor hands out every whole piece it brings, where
    // fgets hands out one.
    std::FILE* source = open_file_stream(std::string(3 * pilo::PIECE_SIZE + 1, '1'));
    const int saved = dup(STDIN_FILENO);
    ASSERT_TRUE(source != nullptr && dup2(fileno(source), STDIN_FILENO) == STDIN_FILENO);
    static std::array<char, pilo::TEXT_CAPACITY + pilo::SCAN_PADDING> buffer;
    pilo::piece_reader reader = pilo::start_reading(stdin);
    std::size_t end = 0;
    bool continues = false;
    EXPECT_EQ(pilo::read_pieces(reader, buffer.data(), end, continues), 1);
    EXPECT_EQ(end, (PILO_USE_DESCRIPTORS ? 3 : 1) * pilo::PIECE_SIZE) << "pieces of a read";
    dup2(saved, STDIN_FILENO);
    close(saved);
    std::fclose(source);
}

} // namespace
