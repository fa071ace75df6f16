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

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // Windows' C run-time opens the standard streams in text mode, which turns
    // CR LF into LF and ends the input at a 0x1A byte as it reads, and LF into
    // CR LF as it writes. pilo reads and writes bytes, as the file it opens
    // with "rb": both go to binary mode, so that pilo prints what it prints
    // elsewhere. Input typed at a console stays in text mode, where Enter
    // gives LF, as a terminal does, and Ctrl-Z then Enter ends the input.
    if (_isatty(_fileno(stdin)) == 0) (void)_setmode(_fileno(stdin), _O_BINARY);
    (void)_setmode(_fileno(stdout), _O_BINARY);
#endif
    std::FILE* stream = argc > 1 ? std::fopen(argv[1], "rb") : stdin;
    // There is no message for an input that cannot be opened, and nothing is
    // ever written to standard error, so the status alone tells.
    if (stream == nullptr) return 1;
    const int status = pilo::run_stream(stream);
    // Closing an input stream loses nothing, so its status is of no interest.
    (void)std::fclose(stream);
    return status < 0 ? 1 : 0;
}
