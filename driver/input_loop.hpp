// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Input loop: evaluates a stream's tokens on one operand stack, writing what
// they print after each read.
#pragma once

#include "driver/piece_reader.hpp"
#include "driver/token_scanner.hpp"

#include <cstdio>

namespace pilo {

// Evaluates every token of stream, an open input stream from which nothing has
// been read yet, on a fresh operand stack, as read_pieces cuts it into pieces.
// What the pieces of each read print is written to standard output before the
// next read, so output never waits on input. Returns 0 when the stream was
// read to its end and everything written; -1 when reading stopped on a read
// error, which loses the piece it cuts short, or when a write failed, after
// which nothing more is read or written. Values left on the stack are
// discarded unprinted.
[[nodiscard]] int run_stream(std::FILE* stream) noexcept;

} // namespace pilo
