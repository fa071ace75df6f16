// pilo: a reverse Polish calculator over doubles. Reads the file named by the
// first argument, or standard input, and exits 0 when the input was read to
// its end and all output was written, 1 otherwise.

#include "driver/input_loop.hpp"

#include <cstdio>

namespace {

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
    const int read_status = pilo::run_stream(stream);
    // Closing an input stream loses nothing, so its status is of no interest.
    (void)std::fclose(stream);
    const bool written = flush_output();
    return read_status < 0 || !written ? 1 : 0;
}
