#include "driver/number_reader.hpp"

#include <cstdlib>

namespace pilo {

int parse_number(const char* token, double& out) noexcept {
    // strtod turns "" into 0.0 with its end pointer on the terminator, so an
    // empty token would otherwise pass the whole-token test below.
    if (token == nullptr || token[0] == '\0') return -1;
    char* end = nullptr;
    const double value = std::strtod(token, &end);
    if (*end != '\0') return -1;
    out = value;
    return 0;
}

} // namespace pilo
