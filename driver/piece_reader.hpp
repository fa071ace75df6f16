// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Piece reader: reads the input and cuts it into the pieces fgets makes of
// it, at most CHUNK_SIZE - 1 bytes each, ending after a newline or where they
// are full. A piece is the unit of the input's rules: a zero byte hides the
// rest of its piece.
#pragma once

#include <cstddef>
#include <cstdio>

namespace pilo {

// Size of fgets's chunk buffer; a piece is at most CHUNK_SIZE - 1 bytes.
inline constexpr std::size_t CHUNK_SIZE = 256;
inline constexpr std::size_t PIECE_SIZE = CHUNK_SIZE - 1;

// A descriptor is read up to READ_SIZE bytes at a time, never waiting for
// more than one read brings: large enough that reads cost little beside the
// scan of what they bring, small enough to keep the run's storage small.
inline constexpr std::size_t READ_SIZE = std::size_t{16} * 1024;

// What the text of one read holds at most: a piece that the read before
// left unfinished, and one read.
inline constexpr std::size_t TEXT_CAPACITY = PIECE_SIZE - 1 + READ_SIZE;

// Where the input comes from: the stream, read with fgets, or where the
// platform can and the stream has one, its descriptor, read in blocks.
struct piece_reader {
    std::FILE* stream = nullptr;
    int descriptor = -1;
    std::size_t carried = 0; // bytes of an unfinished piece past end
    std::size_t end = 0;     // where the pieces last handed out end
    bool finished = false;   // the last pieces have been handed out
};

// Returns a reader of stream, from which nothing has been read yet.
piece_reader start_reading(std::FILE* stream) noexcept;

// Reads on, into text, which has room for TEXT_CAPACITY bytes and one more.
// Returns 1 with whole pieces in text[0] to text[end - 1]; continues is false
// when no token can run past end into the next read (at the end of input, and
// after a piece that fgets ended before it was full) and true otherwise. Returns
// 0 at the end of input; -1 on a read error, which loses the piece it cuts
// short, as fgets loses it. A read cut short by a signal is tried again.
[[nodiscard]] int read_pieces(piece_reader& reader, char* text, std::size_t& end,
                              bool& continues) noexcept;

} // namespace pilo
