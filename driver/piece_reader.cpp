// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/piece_reader.hpp"

#include "base/platform.hpp"

#include <cstring>
#include <limits>
#include <string_view>

#if PILO_USE_DESCRIPTORS
#include <cerrno>
#include <unistd.h>
#endif

namespace pilo {

namespace {

// fgets takes the size to read into as an int.
static_assert(CHUNK_SIZE <= static_cast<std::size_t>(std::numeric_limits<int>::max()));

// Reads one piece with fgets. A zero byte ends the piece's text and hides the
// rest of it. fgets fills all PIECE_SIZE bytes only when the line goes on.
int read_chunk(std::FILE* stream, char* text, std::size_t& end, bool& continues) noexcept {
    if (std::fgets(text, static_cast<int>(CHUNK_SIZE), stream) == nullptr)
        return std::feof(stream) != 0 ? 0 : -1;
    // glibc's fgets hands back what it had read when a read fails with
    // EAGAIN, and keeps the error: that piece is lost, as on any other error.
    if (std::ferror(stream) != 0) return -1;
    end = std::strlen(text);
    continues = end == PIECE_SIZE;
    return 1;
}

#if PILO_USE_DESCRIPTORS

// Windows' read(2) takes its count as an unsigned int, POSIX's as a size_t.
static_assert(READ_SIZE <= std::numeric_limits<unsigned>::max());

// Reads up to size bytes from descriptor into buffer. Returns the count read,
// 0 at the end of input, or -1 on an error.
ssize_t read_block(int descriptor, char* buffer, std::size_t size) noexcept {
    for (;;) {
        const ssize_t count = read(descriptor, buffer, static_cast<unsigned>(size));
        // pilo sets no signal handler, and a signal without one never cuts
        // a read short on Linux, so no test can take the branch that tries
        // again; coverage leaves it out.
        if (count >= 0 || errno != EINTR) return count; // GCOVR_EXCL_BR_LINE
    }
}

// Returns where the last whole piece of text, size bytes that start a piece,
// ends: fgets ends a piece after a newline or after PIECE_SIZE bytes, so the
// pieces after the last newline are PIECE_SIZE bytes each but the last,
// which may still grow.
std::size_t end_of_pieces(const char* text, std::size_t size) noexcept {
    const std::size_t newline = std::string_view(text, size).rfind('\n');
    const std::size_t line_start = newline == std::string_view::npos ? 0 : newline + 1;
    return line_start + (size - line_start) / PIECE_SIZE * PIECE_SIZE;
}

// Reads a block into text after the unfinished piece carried from the read
// before, and hands out its whole pieces; at the end of input the last piece
// is whole. Nothing is read once the end has been seen: a terminal would
// wait for more.
int read_block_pieces(piece_reader& reader, char* text, std::size_t& end,
                      bool& continues) noexcept {
    if (reader.finished) return 0;
    std::memmove(text, text + reader.end, reader.carried);
    const ssize_t count = read_block(reader.descriptor, text + reader.carried, READ_SIZE);
    if (count < 0) {
        reader.carried = 0; // the piece the error cut short is lost
        return -1;
    }
    const std::size_t size = reader.carried + static_cast<std::size_t>(count);
    reader.finished = count == 0;
    reader.end = reader.finished ? size : end_of_pieces(text, size);
    reader.carried = size - reader.end;
    end = reader.end;
    continues = !reader.finished;
    return reader.finished && size == 0 ? 0 : 1;
}

#endif

} // namespace

piece_reader start_reading(std::FILE* stream) noexcept {
    piece_reader reader;
    reader.stream = stream;
#if PILO_USE_DESCRIPTORS
    // Nothing has been read through the stream yet, so its descriptor is at
    // the stream's start.
    reader.descriptor = fileno(stream);
#endif
    return reader;
}

int read_pieces(piece_reader& reader, char* text, std::size_t& end, bool& continues) noexcept {
#if PILO_USE_DESCRIPTORS
    if (reader.descriptor >= 0) return read_block_pieces(reader, text, end, continues);
#endif
    return read_chunk(reader.stream, text, end, continues);
}

} // namespace pilo
