// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// pilo: a reverse Polish calculator over doubles. Reads the file named by the
// first argument, or standard input, and exits 0 when the input was read to
// its end and all output was written, 1 otherwise.

#include "driver/input_loop.hpp"

#include <cstdio>

#if defined(__has_include)
#if __has_include(<sys/types.h>)
#include <sys/types.h>
// A file over 2 GiB opens on a 32-bit target only with 64-bit file offsets,
// which the build asks for with _FILE_OFFSET_BITS=64.
static_assert(sizeof(off_t) >= 8, "files need 64-bit offsets");
#endif
#endif

int main(int argc, char* argv[]) {
    std::FILE* stream = argc > 1 ? std::fopen(argv[1], "rb") : stdin;
    // There is no message for an input that cannot be opened, and nothing is
    // ever written to standard error, so the status alone tells.
    if (stream == nullptr) return 1;
    const int status = pilo::run_stream(stream);
    // Closing an input stream loses nothing, so its status is of no interest.
    (void)std::fclose(stream);
    return status < 0 ? 1 : 0;
}
