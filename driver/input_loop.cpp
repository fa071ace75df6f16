// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/input_loop.hpp"

#include "base/byte_words.hpp"
#include "base/compiler.hpp"
#include "base/platform.hpp"
#include "driver/number_reader.hpp"
#include "engine/command_set.hpp"
#include "engine/operand_stack.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#if PILO_USE_SSE2
#include <emmintrin.h>
#endif
#if PILO_USE_BLOCK_READS
#include <cerrno>
#include <unistd.h>
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
    if (length > TOKEN_CAPACITY) return; // ignored whole, as if held across chunks
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

// Text is scanned in blocks of 64 bytes, one bit a byte.
constexpr std::size_t BLOCK_BYTES = 64;

// Bytes that a scan of the 64-byte blocks covering a text, and
// parse_padded_decimal after its last token, may read past its end.
constexpr std::size_t SCAN_PADDING = BLOCK_BYTES + NUMBER_PADDING;

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

// Every bit from bit index up, for index < 64.
constexpr std::uint64_t bits_from(std::size_t index) noexcept {
    return ~std::uint64_t{0} << index;
}

// Returns the index of the first stop byte at or after from. The stop
// marks end the search: some bit at or after from is set.
std::size_t next_stop(const std::uint64_t* stops, std::size_t from) noexcept {
    std::size_t block = from / BLOCK_BYTES;
    std::uint64_t bits = stops[block] & bits_from(from % BLOCK_BYTES);
    while (bits == 0) bits = stops[++block];
    return block * BLOCK_BYTES + static_cast<std::size_t>(std::countr_zero(bits));
}

// Evaluates the tokens of text up to end. Bit i of stops, word i / 64, is
// set when byte i ends a token: a delimiter, or a byte that a zero byte hides;
// every bit from end up to the end of its word is set. A token starts at a
// byte that is no stop after one that is, byte 0 counting as after one, and
// ends at the next stop. When continues is true, the text ends in the middle
// of a line that goes on, so a token that runs into end is held back until its
// end is seen; a token held back from before goes on at byte 0.
void evaluate_text(operand_stack& stack, pending_token& pending, char* text,
                   const std::uint64_t* stops, std::size_t end, bool continues) noexcept {
    std::uint64_t after_stop = 1;
    if (pending.active) {
        const std::size_t stop = next_stop(stops, 0);
        extend_pending(pending, text, text + stop);
        if (stop == end && continues) return;
        finish_pending(stack, pending);
        after_stop = 0; // the token at byte 0, if any, was the pending one
    }
    const std::size_t block_count = (end + BLOCK_BYTES - 1) / BLOCK_BYTES;
    for (std::size_t block = 0; block < block_count; ++block) {
        std::uint64_t starts = ~stops[block] & ((stops[block] << 1) | after_stop);
        after_stop = stops[block] >> (BLOCK_BYTES - 1);
        for (; starts != 0; starts &= starts - 1) {
            const std::size_t start =
                block * BLOCK_BYTES + static_cast<std::size_t>(std::countr_zero(starts));
            const std::size_t stop = next_stop(stops, start);
            if (stop == end && continues) {
                extend_pending(pending, text + start, text + stop);
                return;
            }
            // Short decimals, the most common numbers, are read here. For
            // tokens of two bytes or more that comes before any zero byte
            // goes in after the token: writing a byte just before an
            // eight-byte load that covers it would stall the load.
            char* const token = text + start;
            const std::size_t length = stop - start;
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

// The bytes fgets would put in one chunk: the pieces are cut the same way.
constexpr std::size_t PIECE_SIZE = CHUNK_SIZE - 1;

// Stop marks for a text of at most size bytes: a word for every 64 bytes, the
// one that holds the mark at its end included.
template <std::size_t size>
using stops_for = std::array<std::uint64_t, size / BLOCK_BYTES + 1>;

// Marks as stops the bytes that zero bytes hide in text, end bytes that start
// a piece and end one: from each zero byte to the end of its piece. Rare, so
// out of line.
PILO_NOINLINE void hide_after_zeros(const char* text, std::size_t end,
                                    std::uint64_t* stops) noexcept {
    for (std::size_t piece = 0; piece < end;) {
        const std::size_t size = std::min(PIECE_SIZE, end - piece);
        const void* newline = std::memchr(text + piece, '\n', size);
        const std::size_t piece_end =
            newline == nullptr
                ? piece + size
                : static_cast<std::size_t>(static_cast<const char*>(newline) - text) + 1;
        const void* zero = std::memchr(text + piece, '\0', piece_end - piece);
        if (zero != nullptr)
            for (auto i = static_cast<std::size_t>(static_cast<const char*>(zero) - text);
                 i < piece_end; ++i)
                stops[i / BLOCK_BYTES] |= std::uint64_t{1} << (i % BLOCK_BYTES);
        piece = piece_end;
    }
}

// Finds the stop bytes of text, end bytes of whole pieces, with every bit
// from end up to the end of its word set.
void find_text_stops(const char* text, std::size_t end, std::uint64_t* stops) noexcept {
    const std::size_t block_count = end / BLOCK_BYTES + 1;
    std::uint64_t zeros = 0;
    for (std::size_t block = 0; block < block_count; ++block) {
        const block_masks masks = find_block_masks(text + block * BLOCK_BYTES);
        stops[block] = masks.stops;
        zeros |=
            block + 1 < block_count ? masks.zeros : masks.zeros & ~bits_from(end % BLOCK_BYTES);
    }
    stops[block_count - 1] |= bits_from(end % BLOCK_BYTES);
    if (zeros != 0) hide_after_zeros(text, end, stops);
}

// The fgets path's chunk: CHUNK_SIZE bytes for fgets, then what a scan may
// read past them. fgets never writes the padding. The buffer is zeroed once,
// so every byte read is defined; stale bytes past the text never matter,
// because every reader masks off what lies past the token or the text.
struct chunk_buffer {
    std::array<char, CHUNK_SIZE + SCAN_PADDING> bytes{};
};

// fgets takes the size to read into as an int.
static_assert(CHUNK_SIZE <= static_cast<std::size_t>(std::numeric_limits<int>::max()));

// Evaluates a stream read with fgets, one chunk at a time. fgets fills all
// CHUNK_SIZE - 1 bytes of a chunk only when the line goes on; a zero byte
// hides the rest of its chunk.
int run_chunks(std::FILE* stream, operand_stack& stack, pending_token& pending) noexcept {
    chunk_buffer chunk;
    stops_for<CHUNK_SIZE - 1> stops;
    char* const text = chunk.bytes.data();
    while (std::fgets(text, static_cast<int>(CHUNK_SIZE), stream) != nullptr) {
        // The chunk's text ends at its first zero byte, which hides the rest.
        const std::size_t end = std::strlen(text);
        find_text_stops(text, end, stops.data());
        evaluate_text(stack, pending, text, stops.data(), end, end == CHUNK_SIZE - 1);
        // Once a write to standard output has failed, nothing written later
        // can be seen, and endless input would never end the run. Testing
        // once a chunk costs too little to show.
        if (std::ferror(stdout) != 0) return -1;
    }
    if (std::feof(stream) == 0) return -1;
    finish_pending(stack, pending);
    return 0;
}

#if PILO_USE_BLOCK_READS

// The block path reads up to READ_SIZE bytes at a time, and never waits for
// more than one read brings. 16 and 256 KiB measured the same as 64 on
// bench/compare.py's workloads; 64 KiB is what a pipe holds.
constexpr std::size_t READ_SIZE = std::size_t{64} * 1024;

// What a block's text holds at most: a piece of a line that fgets had not yet
// ended, carried from the read before, and one read.
constexpr std::size_t TEXT_CAPACITY = PIECE_SIZE - 1 + READ_SIZE;

// The block buffer, with what a scan may read past its text. Zeroed once, as
// the chunk buffer is.
struct block_buffer {
    std::array<char, TEXT_CAPACITY + SCAN_PADDING> bytes{};
};

// Returns where the last whole piece of text, size bytes that start a piece,
// ends: fgets ends a piece after a newline or after PIECE_SIZE bytes, so the
// pieces after the last newline are PIECE_SIZE bytes each but the last,
// which may still grow.
std::size_t end_of_pieces(const char* text, std::size_t size) noexcept {
    const std::size_t newline = std::string_view(text, size).rfind('\n');
    const std::size_t line_start = newline == std::string_view::npos ? 0 : newline + 1;
    return line_start + (size - line_start) / PIECE_SIZE * PIECE_SIZE;
}

// Reads up to size bytes from descriptor into buffer, as stdio's own read
// would: standard output, when it is a terminal, is flushed first, so that
// nothing written waits on input, and a read cut short by a signal is tried
// again. Returns the count read, 0 at the end of input, or -1 on an error.
ssize_t read_block(int descriptor, char* buffer, std::size_t size, bool flush_first) noexcept {
    if (flush_first) (void)std::fflush(stdout);
    for (;;) {
        const ssize_t count = read(descriptor, buffer, size);
        // pilo sets no signal handler, and a signal without one never cuts
        // a read short on Linux, so no test can take the branch that tries
        // again; coverage leaves it out.
        if (count >= 0 || errno != EINTR) return count; // GCOVR_EXCL_BR_LINE
    }
}

// Evaluates the input of descriptor, read in blocks and cut into the pieces
// fgets would make of it, so that every token is judged as run_chunks would
// judge it. Only whole pieces are evaluated: a line that a read ends before
// its newline waits for the rest, and on a read error it is lost, as fgets
// loses it. A whole line is evaluated as soon as a read brings it in.
int run_blocks(int descriptor, operand_stack& stack, pending_token& pending) noexcept {
    block_buffer block;
    stops_for<TEXT_CAPACITY> stops;
    char* const text = block.bytes.data();
    const bool flush_first = isatty(STDOUT_FILENO) == 1;
    std::size_t carried = 0; // bytes of an unfinished piece at the start of text
    for (;;) {
        const ssize_t count = read_block(descriptor, text + carried, READ_SIZE, flush_first);
        if (count < 0) return -1;
        const std::size_t size = carried + static_cast<std::size_t>(count);
        // At the end of input the last piece is whole.
        const std::size_t end = count == 0 ? size : end_of_pieces(text, size);
        if (end != 0) {
            find_text_stops(text, end, stops.data());
            evaluate_text(stack, pending, text, stops.data(), end, count != 0);
        }
        if (count == 0) break;
        carried = size - end;
        std::memmove(text, text + end, carried);
        // As in run_chunks, once a block.
        if (std::ferror(stdout) != 0) return -1;
    }
    finish_pending(stack, pending);
    return 0;
}

#endif

} // namespace

int run_stream(std::FILE* stream) noexcept {
    operand_stack stack;
    pending_token pending;
    stack_clear(stack);
#if PILO_USE_BLOCK_READS
    // Nothing has been read through the stream yet, so its descriptor is
    // at the stream's start.
    const int descriptor = fileno(stream);
    if (descriptor >= 0) return run_blocks(descriptor, stack, pending);
#endif
    return run_chunks(stream, stack, pending);
}

} // namespace pilo
