// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/input_loop.hpp"

#include "base/byte_words.hpp"
#include "base/compiler.hpp"
#include "base/platform.hpp"
#include "driver/number_reader.hpp"
#include "engine/command_set.hpp"
#include "engine/operand_stack.hpp"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#if PILO_USE_SSE2
#include <emmintrin.h>
#endif

namespace pilo {

namespace {

// A token that reached the end of a full chunk and may go on in the next one.
// Only its first TOKEN_CAPACITY bytes are kept; overlong marks that more came.
// One byte more holds the zero byte that ends it.
struct pending_token {
    std::array<char, TOKEN_CAPACITY + 1> bytes;
    std::size_t length = 0;
    bool active = false;
    bool overlong = false;
};

// Stores the command in command and returns true when token, length bytes
// with room for one more, is a command. Commands, all one byte long, are
// tried before numbers, so "+" and "-" never read as numbers.
PILO_ALWAYS_INLINE bool is_command(char* token, std::size_t length, char& command) noexcept {
    if (length != 1) return false;
    token[1] = '\0';
    return parse_command(token, command) == 0;
}

// Tokens are judged on two paths: the token loop in evaluate_chunk reads a
// chunk's own tokens with parse_padded_decimal inlined, and the functions
// below take a token held across chunks, or declined by the padded reader,
// out of line. One path for both costs 8.6% more instructions on the mixed
// workload and 10.9% on the short one (callgrind): with two callers the
// compiler no longer inlines the padded reader into the loop.

// Evaluates token, length bytes with room for one more: a command, a number,
// or nothing. A number that meets a full stack is dropped silently.
PILO_NOINLINE void evaluate_token(operand_stack& stack, char* token, std::size_t length) noexcept {
    token[length] = '\0';
    char command = 0;
    double value = 0.0;
    if (is_command(token, length, command))
        (void)execute_command(stack, command);
    else if (parse_number(token, length, value) == 0)
        (void)stack_push(stack, value);
}

// Evaluates token, length bytes with room for one more, which is no command
// and which parse_padded_decimal has declined, as evaluate_token would: it is
// a number or nothing.
PILO_NOINLINE void evaluate_declined_number(operand_stack& stack, char* token,
                                            std::size_t length) noexcept {
    token[length] = '\0';
    double value = 0.0;
    if (parse_declined_number(token, length, value) == 0) (void)stack_push(stack, value);
}

// Adds the bytes from first to last to the pending token, keeping one byte
// of its array free for the zero byte that evaluate_token puts after it.
void extend_pending(pending_token& pending, const char* first, const char* last) noexcept {
    const auto count = static_cast<std::size_t>(last - first);
    pending.active = true;
    if (count > pending.bytes.size() - 1 - pending.length) {
        pending.overlong = true;
        return;
    }
    std::memcpy(pending.bytes.data() + pending.length, first, count);
    pending.length += count;
}

// Evaluates the pending token, unless it was overlong, and empties it.
void finish_pending(operand_stack& stack, pending_token& pending) noexcept {
    if (!pending.active) return;
    if (!pending.overlong) evaluate_token(stack, pending.bytes.data(), pending.length);
    pending.length = 0;
    pending.active = false;
    pending.overlong = false;
}

// The chunk buffer: CHUNK_SIZE bytes for fgets, then padding that
// parse_padded_decimal may read past a token near the end. fgets never
// writes the padding. The buffer is zeroed once, so every byte read is
// defined; stale bytes past the text never matter, because every reader masks
// off what lies past the token or the text.
struct chunk_buffer {
    std::array<char, CHUNK_SIZE + NUMBER_PADDING> bytes{};
};

// fgets takes the size to read into as an int.
static_assert(CHUNK_SIZE <= static_cast<std::size_t>(std::numeric_limits<int>::max()));

// The chunk is scanned in blocks of 64 bytes, one bit a byte.
constexpr std::size_t BLOCK_BYTES = 64;
constexpr std::size_t BLOCK_COUNT = CHUNK_SIZE / BLOCK_BYTES;
static_assert(CHUNK_SIZE % BLOCK_BYTES == 0);

// The stop bytes of one block: bit i of zeros is set when byte i of the
// block is zero, and bit i of stops when it is a delimiter or zero.
struct block_masks {
    std::uint64_t zeros = 0;
    std::uint64_t stops = 0;
};

// Each byte is compared with every delimiter, one compare each.
static_assert(TOKEN_DELIMITERS.size() == 3);

block_masks find_block_masks(const char* block) noexcept {
    block_masks masks;
#if PILO_USE_SSE2
    for (std::size_t i = 0; i < BLOCK_BYTES; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
        const __m128i zeros = _mm_cmpeq_epi8(bytes, _mm_setzero_si128());
        const __m128i delimiters =
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(TOKEN_DELIMITERS[0])),
                         _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(TOKEN_DELIMITERS[1])),
                                      _mm_cmpeq_epi8(bytes, _mm_set1_epi8(TOKEN_DELIMITERS[2]))));
        const auto zero_bits = static_cast<std::uint16_t>(_mm_movemask_epi8(zeros));
        const auto delimiter_bits = static_cast<std::uint16_t>(_mm_movemask_epi8(delimiters));
        masks.zeros |= std::uint64_t{zero_bits} << i;
        masks.stops |= std::uint64_t{static_cast<std::uint16_t>(zero_bits | delimiter_bits)} << i;
    }
#else
    for (std::size_t i = 0; i < BLOCK_BYTES; i += WORD_BYTES) {
        const std::uint64_t word = load_word(block + i);
        const std::uint64_t zeros = zero_bytes(word);
        const std::uint64_t delimiters = bytes_equal(word, TOKEN_DELIMITERS[0]) |
                                         bytes_equal(word, TOKEN_DELIMITERS[1]) |
                                         bytes_equal(word, TOKEN_DELIMITERS[2]);
        masks.zeros |= std::uint64_t{gather_high_bits(zeros)} << i;
        masks.stops |= std::uint64_t{gather_high_bits(zeros | delimiters)} << i;
    }
#endif
    return masks;
}

// Stop bytes of a whole chunk: bit i of word i / 64 is set when byte i is a
// delimiter, a zero byte, or past the text.
using chunk_stops = std::array<std::uint64_t, BLOCK_COUNT>;

// Finds the stop bytes of chunk up to its text's end, the first zero byte,
// and returns the number of blocks that takes; later words of stops are left
// unset. fgets puts a zero byte in the last block or earlier, and most lines
// end in the first block or two, so the scan stops there.
std::size_t find_stops(const char* chunk, chunk_stops& stops) noexcept {
    for (std::size_t block = 0;; ++block) {
        const block_masks masks = find_block_masks(chunk + block * BLOCK_BYTES);
        stops[block] = masks.stops;
        if (masks.zeros != 0) {
            // Every bit from the first zero byte up.
            stops[block] |= ~((masks.zeros & (0 - masks.zeros)) - 1);
            return block + 1;
        }
    }
}

// Returns the index of the first stop byte at or after from.
std::size_t next_stop(const chunk_stops& stops, std::size_t from) noexcept {
    std::size_t block = from / BLOCK_BYTES;
    std::uint64_t bits = stops[block] & (~std::uint64_t{0} << (from % BLOCK_BYTES));
    while (bits == 0) bits = stops[++block]; // ends at the text's end at the latest
    return block * BLOCK_BYTES + static_cast<std::size_t>(std::countr_zero(bits));
}

// Evaluates the tokens of one chunk. A token starts at a byte that is no stop
// after one that is, byte 0 counting as after one, and ends at the next stop.
// fgets fills all CHUNK_SIZE - 1 bytes of a chunk only when the line goes on,
// so a token that runs into the end of such a chunk is held back until its
// end is seen. A chunk cut short by a zero byte or by the end of input ends
// its last token.
void evaluate_chunk(operand_stack& stack, pending_token& pending, char* chunk) noexcept {
    constexpr std::size_t full_end = CHUNK_SIZE - 1;
    chunk_stops stops;
    const std::size_t block_count = find_stops(chunk, stops);
    std::uint64_t after_stop = 1;
    if (pending.active) {
        const std::size_t end = next_stop(stops, 0);
        extend_pending(pending, chunk, chunk + end);
        if (end == full_end) return;
        finish_pending(stack, pending);
        after_stop = 0; // the token at byte 0, if any, was the pending one
    }
    for (std::size_t block = 0; block < block_count; ++block) {
        std::uint64_t starts = ~stops[block] & ((stops[block] << 1) | after_stop);
        after_stop = stops[block] >> (BLOCK_BYTES - 1);
        for (; starts != 0; starts &= starts - 1) {
            const std::size_t start =
                block * BLOCK_BYTES + static_cast<std::size_t>(std::countr_zero(starts));
            const std::size_t end = next_stop(stops, start);
            if (end == full_end) {
                extend_pending(pending, chunk + start, chunk + end);
                return;
            }
            // Short decimals, the most common numbers, are read here. For
            // tokens of two bytes or more that comes before any zero byte
            // goes in after the token: writing a byte just before an
            // eight-byte load that covers it would stall the load.
            char* const token = chunk + start;
            const std::size_t length = end - start;
            char command = 0;
            if (is_command(token, length, command)) {
                (void)execute_command(stack, command);
                continue;
            }
            double value = 0.0;
            if (parse_padded_decimal(token, length, value) == 0)
                (void)stack_push(stack, value);
            else
                evaluate_declined_number(stack, token, length);
        }
    }
}

} // namespace

int run_stream(std::FILE* stream) noexcept {
    operand_stack stack;
    chunk_buffer chunk;
    pending_token pending;
    stack_clear(stack);
    while (std::fgets(chunk.bytes.data(), static_cast<int>(CHUNK_SIZE), stream) != nullptr) {
        evaluate_chunk(stack, pending, chunk.bytes.data());
        // Once a write to standard output has failed, nothing written later
        // can be seen, and endless input would never end the run. Testing
        // once a chunk costs too little to show.
        if (std::ferror(stdout) != 0) return -1;
    }
    if (std::feof(stream) == 0) return -1;
    finish_pending(stack, pending);
    return 0;
}

} // namespace pilo
