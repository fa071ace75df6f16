#include "driver/input_loop.hpp"

#include "driver/number_reader.hpp"
#include "engine/command_set.hpp"
#include "engine/operand_stack.hpp"

#include <array>
#include <cstring>

namespace pilo {

namespace {

// A token that reached the end of a full chunk and may go on in the next one.
// Only its first TOKEN_CAPACITY bytes are kept; overlong marks that more came.
struct pending_token {
    std::array<char, TOKEN_CAPACITY + 1> bytes;
    std::size_t length;
    bool active;
    bool overlong;
};

// Commands are tried first, so the one-character "+" and "-" never read as
// numbers. Statuses are not acted on: a command that finds too few values has
// already said so, and a number that meets a full stack is dropped silently.
void evaluate_token(operand_stack& stack, const char* token) noexcept {
    char command = 0;
    double value = 0.0;
    if (parse_command(token, command) == 0)
        (void)execute_command(stack, command);
    else if (parse_number(token, value) == 0)
        (void)stack_push(stack, value);
}

void extend_pending(pending_token& pending, const char* bytes, std::size_t count) noexcept {
    pending.active = true;
    if (count > TOKEN_CAPACITY - pending.length) {
        pending.overlong = true;
        return;
    }
    std::memcpy(pending.bytes.data() + pending.length, bytes, count);
    pending.length += count;
}

void finish_pending(operand_stack& stack, pending_token& pending) noexcept {
    if (!pending.active) return;
    if (!pending.overlong) {
        pending.bytes[pending.length] = '\0';
        evaluate_token(stack, pending.bytes.data());
    }
    pending.length = 0;
    pending.active = false;
    pending.overlong = false;
}

// Evaluates the tokens of one chunk. fgets fills a chunk to CHUNK_SIZE - 1
// bytes only when the line goes on, so a token that touches the end of such a
// chunk is held back until its end is seen. A chunk cut short by a zero byte
// or by the end of input ends its last token.
void evaluate_chunk(operand_stack& stack, pending_token& pending, char* chunk) noexcept {
    const std::size_t length = std::strlen(chunk);
    const bool line_goes_on = length == CHUNK_SIZE - 1 && chunk[length - 1] != '\n';
    std::size_t pos = 0;
    if (pending.active) {
        pos = std::strcspn(chunk, TOKEN_DELIMITERS);
        extend_pending(pending, chunk, pos);
        if (pos == length && line_goes_on) return;
        finish_pending(stack, pending);
    }
    while (true) {
        pos += std::strspn(chunk + pos, TOKEN_DELIMITERS);
        if (pos == length) return;
        const std::size_t count = std::strcspn(chunk + pos, TOKEN_DELIMITERS);
        if (pos + count == length) {
            if (line_goes_on)
                extend_pending(pending, chunk + pos, count);
            else
                evaluate_token(stack, chunk + pos);
            return;
        }
        chunk[pos + count] = '\0';
        evaluate_token(stack, chunk + pos);
        pos += count + 1;
    }
}

} // namespace

int run_stream(std::FILE* stream) noexcept {
    operand_stack stack;
    std::array<char, CHUNK_SIZE> chunk;
    pending_token pending;
    stack_clear(stack);
    pending.length = 0;
    pending.active = false;
    pending.overlong = false;
    while (std::fgets(chunk.data(), static_cast<int>(chunk.size()), stream) != nullptr)
        evaluate_chunk(stack, pending, chunk.data());
    if (std::feof(stream) == 0) return -1;
    finish_pending(stack, pending);
    return 0;
}

} // namespace pilo
