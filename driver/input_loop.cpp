#include "driver/input_loop.hpp"

#include "driver/number_reader.hpp"
#include "engine/command_set.hpp"
#include "engine/operand_stack.hpp"

#include <array>
#include <cstdint>
#include <cstring>

namespace pilo {

namespace {

enum byte_class : std::uint8_t { TOKEN_BYTE, DELIMITER_BYTE, END_BYTE };

// Class of every byte value, so that splitting a chunk costs one table look-up
// a byte. The zero byte ends the chunk's text.
constexpr std::array<byte_class, 256> BYTE_CLASSES = [] {
    std::array<byte_class, 256> classes{};
    for (const char* d = TOKEN_DELIMITERS; *d != '\0'; ++d)
        classes[static_cast<unsigned char>(*d)] = DELIMITER_BYTE;
    classes[0] = END_BYTE;
    return classes;
}();

byte_class class_of(char byte) noexcept {
    return BYTE_CLASSES[static_cast<unsigned char>(byte)];
}

// A token that reached the end of a full chunk and may go on in the next one.
// Only its first TOKEN_CAPACITY bytes are kept; overlong marks that more came.
struct pending_token {
    std::array<char, TOKEN_CAPACITY + 1> bytes;
    std::size_t length = 0;
    bool active = false;
    bool overlong = false;
};

// Evaluates token, length bytes followed by a zero byte. Commands are tried
// first, so the one-character "+" and "-" never read as numbers. Statuses are
// not acted on: a command that finds too few values has already said so, and
// a number that meets a full stack is dropped silently.
void evaluate_token(operand_stack& stack, const char* token, std::size_t length) noexcept {
    char command = 0;
    double value = 0.0;
    if (length == 1 && parse_command(token, command) == 0)
        (void)execute_command(stack, command);
    else if (parse_number(token, length, value) == 0)
        (void)stack_push(stack, value);
}

void extend_pending(pending_token& pending, const char* first, const char* last) noexcept {
    const auto count = static_cast<std::size_t>(last - first);
    pending.active = true;
    if (count > TOKEN_CAPACITY - pending.length) {
        pending.overlong = true;
        return;
    }
    std::memcpy(pending.bytes.data() + pending.length, first, count);
    pending.length += count;
}

void finish_pending(operand_stack& stack, pending_token& pending) noexcept {
    if (!pending.active) return;
    if (!pending.overlong) {
        pending.bytes[pending.length] = '\0';
        evaluate_token(stack, pending.bytes.data(), pending.length);
    }
    pending.length = 0;
    pending.active = false;
    pending.overlong = false;
}

char* skip_token(char* byte) noexcept {
    while (class_of(*byte) == TOKEN_BYTE) ++byte;
    return byte;
}

// Evaluates the tokens of one chunk. fgets fills all CHUNK_SIZE - 1 bytes of a
// chunk only when the line goes on, so a token that runs into the end of such
// a chunk is held back until its end is seen. A chunk cut short by a zero byte
// or by the end of input ends its last token.
void evaluate_chunk(operand_stack& stack, pending_token& pending, char* chunk) noexcept {
    char* const full_end = chunk + CHUNK_SIZE - 1;
    char* byte = chunk;
    if (pending.active) {
        byte = skip_token(chunk);
        extend_pending(pending, chunk, byte);
        if (byte == full_end) return;
        finish_pending(stack, pending);
    }
    while (true) {
        while (class_of(*byte) == DELIMITER_BYTE) ++byte;
        if (*byte == '\0') return;
        char* const token = byte;
        // Most tokens are short numbers, and reading one finds where it ends:
        // such a token is scanned once, not split first and read after. No
        // command reads as a number, so trying numbers first here is safe.
        double value = 0.0;
        const char* const number_end = parse_short_decimal(token, value);
        if (number_end != nullptr && number_end != full_end &&
            class_of(*number_end) != TOKEN_BYTE) {
            (void)stack_push(stack, value);
            byte = token + (number_end - token);
            continue;
        }
        byte = skip_token(byte);
        if (byte == full_end) {
            extend_pending(pending, token, byte);
            return;
        }
        const bool last = *byte == '\0';
        *byte = '\0';
        evaluate_token(stack, token, static_cast<std::size_t>(byte - token));
        if (last) return;
        ++byte;
    }
}

} // namespace

int run_stream(std::FILE* stream) noexcept {
    operand_stack stack;
    std::array<char, CHUNK_SIZE> chunk;
    pending_token pending;
    stack_clear(stack);
    while (std::fgets(chunk.data(), static_cast<int>(chunk.size()), stream) != nullptr)
        evaluate_chunk(stack, pending, chunk.data());
    if (std::feof(stream) == 0) return -1;
    finish_pending(stack, pending);
    return 0;
}

} // namespace pilo
