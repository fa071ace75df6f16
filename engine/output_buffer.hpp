// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Output buffer: every byte pilo prints is gathered here, in order, and
// written to standard output when the input loop asks, when it fills, and at
// the end of the run. No other buffer stands between pilo and its output.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace pilo {

// Bytes held before they must be written: enough that writes are few beside
// the work of making their lines, and small enough that the run's storage
// fits a stack limit of 64 KiB.
inline constexpr std::size_t OUTPUT_CAPACITY = std::size_t{8} * 1024;

// The text not yet written, bytes[0] to bytes[length - 1]. Once a write has
// failed, failed is true and every later byte is dropped: nothing written
// after a lost byte can be trusted to show.
struct output_buffer {
    std::array<char, OUTPUT_CAPACITY> bytes;
    std::size_t length = 0;
    bool failed = false;
};

// Writes the whole text of out to standard output, retrying a write cut
// short, and empties out. Returns 0, or -1 when this or any earlier write
// failed.
[[nodiscard]] int output_flush(output_buffer& out) noexcept;

// Returns where size <= OUTPUT_CAPACITY bytes can be put at the end of out's
// text, flushing out first when it has less room. The caller adds what it
// puts there to length.
inline char* output_room(output_buffer& out, std::size_t size) noexcept {
    if (OUTPUT_CAPACITY - out.length < size) (void)output_flush(out);
    return out.bytes.data() + out.length;
}

// Appends text, at most OUTPUT_CAPACITY bytes, to out.
void output_text(output_buffer& out, std::string_view text) noexcept;

} // namespace pilo
