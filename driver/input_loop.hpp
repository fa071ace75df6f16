// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Input loop: reads a stream in chunks, splits it into tokens and hands each
// token to the engine.
#pragma once

#include "engine/value_line.hpp"

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace pilo {

// Size of the chunk buffer; one read takes at most CHUNK_SIZE - 1 bytes.
inline constexpr std::size_t CHUNK_SIZE = 256;

// Longest token judged whole across chunk boundaries. A longer token is
// ignored whole.
inline constexpr std::size_t TOKEN_CAPACITY = 4096;

// Every value line pilo prints, less its newline, is one token it reads whole,
// so its output can be read back.
static_assert(TOKEN_CAPACITY >= LONGEST_VALUE_LINE - 1);

// Bytes that separate tokens. Carriage return is not among them.
inline constexpr std::string_view TOKEN_DELIMITERS = " \t\n";

// Evaluates every token of stream, an open input stream from which nothing has
// been read yet, on a fresh operand stack. The input is cut into chunks of at
// most CHUNK_SIZE - 1 bytes, each ending at a newline or where it is full, as
// fgets cuts it, whether it is read through the stream or in larger blocks
// from its descriptor. Returns 0 when the stream was read to its end; -1 when
// reading stopped on a read error, or at the end of the chunk or block in
// which a write to standard output failed, with nothing more written. Values
// left on the stack are discarded unprinted.
[[nodiscard]] int run_stream(std::FILE* stream) noexcept;

} // namespace pilo
