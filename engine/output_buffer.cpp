// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "engine/output_buffer.hpp"

#include "base/platform.hpp"

#include <cstring>
#include <limits>

#if PILO_USE_DESCRIPTORS
#include <cerrno>
#include <unistd.h>
#else
#include <cstdio>
#endif

namespace pilo {

namespace {

// Windows' write(2) takes its count as an unsigned int, POSIX's as a size_t.
static_assert(OUTPUT_CAPACITY <= std::numeric_limits<unsigned>::max());

// Writes size <= OUTPUT_CAPACITY bytes at text to standard output; returns 0,
// or -1 on an error.
int write_all(const char* text, std::size_t size) noexcept {
#if PILO_USE_DESCRIPTORS
    while (size > 0) {
        const ssize_t count = write(STDOUT_FILENO, text, static_cast<unsigned>(size));
        // pilo sets no signal handler, and a signal without one never cuts
        // a write short on Linux, so no test takes the retry; coverage leaves
        // it out.
        if (count < 0 && errno == EINTR) continue; // GCOVR_EXCL_BR_LINE
        // A write that takes nothing of a non-empty text would be tried forever.
        if (count <= 0) return -1;
        text += count;
        size -= static_cast<std::size_t>(count);
    }
    return 0;
#else
    // stdio's own buffer is emptied at once, so that the plain form is as
    // prompt as the descriptor's.
    return std::fwrite(text, 1, size, stdout) == size && std::fflush(stdout) == 0 ? 0 : -1;
#endif
}

} // namespace

int output_flush(output_buffer& out) noexcept {
    if (!out.failed && out.length > 0 && write_all(out.bytes.data(), out.length) != 0)
        out.failed = true;
    out.length = 0;
    return out.failed ? -1 : 0;
}

void output_text(output_buffer& out, std::string_view text) noexcept {
    std::memcpy(output_room(out, text.size()), text.data(), text.size());
    out.length += text.size();
}

} // namespace pilo
