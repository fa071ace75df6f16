// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// pilo: a reverse Polish calculator over doubles. Reads the file named by the
// first argument, or standard input, and exits 0 when the input was read to
// its end and all output was written, 1 otherwise.

#include "base/platform.hpp"
#include "driver/input_loop.hpp"

#include <array>
#include <cstdio>

namespace {

#if !PILO_USE_BLOCK_READS
// The input stream's own buffer. stdio's default, often 4 KiB, costs one
// system call for every 4 KiB read; fgets still hands the input loop at most
// one chunk at a time. Reads from a terminal or a pipe return what is there,
// so a larger buffer never waits for more input.
constexpr std::size_t INPUT_BUFFER_SIZE = std::size_t{64} * 1024;
#endif

// True when everything written to standard output has reached it.
bool flush_output() noexcept {
    return std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    std::FILE* stream = argc > 1 ? std::fopen(argv[1], "rb") : stdin;
    // There is no message for an input that cannot be opened, and nothing is
    // ever written to standard error, so the status alone tells.
    if (stream == nullptr) return 1;
#if !PILO_USE_BLOCK_READS
    // Set before the first read and outliving the stream, which is closed
    // below. Should it fail, the default buffer serves. The block path reads
    // the descriptor itself and needs none.
    std::array<char, INPUT_BUFFER_SIZE> input_buffer;
    (void)std::setvbuf(stream, input_buffer.data(), _IOFBF, input_buffer.size());
#endif
    const int read_status = pilo::run_stream(stream);
    // Closing an input stream loses nothing, so its status is of no interest.
    (void)std::fclose(stream);
    const bool written = flush_output();
    return read_status < 0 || !written ? 1 : 0;
}
