// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/input_loop.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#include <fcntl.h>
#include <sys/socket.h>
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
    std::fclose(stream);
    return testing::internal::GetCapturedStdout();
}

// A stream over a socket that hands out text in records of random sizes, one
// a read, so that reads come back short anywhere. Then the socket's other end
// is closed, the end of input, or with fail true left open with the reader
// not waiting, so that the next read fails with EAGAIN; writer is that end.
std::FILE* open_socket_stream(const std::string& text, bool fail, int& writer) {
    int ends[2] = {-1, -1};
    const int room = 1 << 20;
    if (socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends) != 0 ||
        setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &room, sizeof room) != 0)
        return nullptr;
    std::minstd_rand random(static_cast<unsigned>(text.size()));
    for (std::size_t at = 0, size = 0; at < text.size(); at += size) {
        // stdio reads a socket 4 KiB at a time; a longer record would be cut.
        size = std::min<std::size_t>(text.size() - at, random() % 4096 + 1);
        if (send(ends[1], text.data() + at, size, MSG_DONTWAIT) != static_cast<ssize_t>(size))
            ADD_FAILURE() << "the socket holds no more than " << at << " bytes";
    }
    writer = fail ? ends[1] : -1;
    if (fail ? fcntl(ends[0], F_SETFL, O_NONBLOCK) : close(ends[1])) return nullptr;
    return fdopen(ends[0], "r");
}

// A stream over a temporary file holding text, which every read fills.
std::FILE* open_file_stream(const std::string& text) {
    std::FILE* file = std::tmpfile();
    if (file != nullptr && (std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
                            std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

// Runs input, which must be read to its end, on run_stream's two forms:
// from an in-memory stream, which has no descriptor and is read with fgets,
// and from a file and a socket, whose descriptors are read in blocks where
// the platform can, full and short. All must print the same.
std::string run_input(const std::string& input) {
    std::string text = input;
    int status = -2;
    int writer = -1;
    const std::string output = run_captured(fmemopen(text.data(), text.size(), "r"), status);
    EXPECT_EQ(status, 0) << "input: " << input;
    for (std::FILE* stream : {open_file_stream(input), open_socket_stream(input, false, writer)}) {
        status = -2;
        EXPECT_EQ(run_captured(stream, status), output) << "from a descriptor, input: " << input;
        EXPECT_EQ(status, 0) << "from a descriptor, input: " << input;
    }
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
        // An overlong token is forgotten once it ends: the next one to
        // straddle a chunk is read whole.
        {std::string(5000, '1') + "\n" + std::string(250, ' ') + "1234567890 p",
         "1234567890.000000\n"},
        // Where chunks of 255 bytes and a full first read meet, a chunk
        // ending at chunk and the read at chunk + gap: a token across both;
        {std::string(chunk - 1, ' ') + std::string(gap + 2, '0') + "1234 p\n", "1234.000000\n"},
        // a zero byte that hides the last byte of a chunk, before a token
        // that the read's end cuts;
        {std::string(chunk - 5, ' ') + "7 p" + std::string(1, '\0') + "j" +
             std::string(gap + 2, 'u') + " 9 p\n5 p",
         "7.000000\n9.000000\n5.000000\n"},
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
