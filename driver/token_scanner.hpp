// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

// Token scanner: finds the tokens of a text in place, from masks of its stop
// bytes, and holds a token that runs past the text's end until its end is
// read.
#pragma once

#include "base/compiler.hpp"
#include "driver/number_reader.hpp"
#include "driver/piece_reader.hpp"
#include "engine/value_line.hpp"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pilo {

// Longest token judged whole across texts. A longer token is ignored whole.
inline constexpr std::size_t TOKEN_CAPACITY = 4096;

// Every value line pilo prints, less its newline, is one token it reads whole,
// so its output can be read back.
static_assert(TOKEN_CAPACITY >= LONGEST_VALUE_LINE - 1);

// Bytes that separate tokens. Carriage return is not among them.
inline constexpr std::string_view TOKEN_DELIMITERS = " \t\n";

// Text is scanned in blocks of 64 bytes, one bit a byte.
inline constexpr std::size_t BLOCK_BYTES = 64;

// The padding contract. The scan of a text of end bytes reads the blocks that
// cover it and the byte at end; parse_number reads NUMBER_PADDING
// bytes past the token it is handed. So a text is kept in a buffer with
// SCAN_PADDING readable bytes past its capacity, and scan_tokens makes the
// byte at end a stop unless a token there is held, so that every token read
// in place ends at a delimiter or a zero byte.
inline constexpr std::size_t SCAN_PADDING = BLOCK_BYTES + NUMBER_PADDING;

// A text of up to capacity bytes, with its padding, and its stop marks: bit
// i of stops, word i / 64, is set when byte i ends a token.
template <std::size_t capacity>
struct scan_buffer {
    // Zeroed once, so that every byte read is defined. Stale bytes past the
    // text never matter: scan_tokens ends the text with a stop, and every
    // reader masks off what lies past the token or the text.
    std::array<char, capacity + SCAN_PADDING> bytes{};
    std::array<std::uint64_t, capacity / BLOCK_BYTES + 1> stops;
};

// A token that reached the end of a text that goes on, and may go on in the
// next. A token that outgrows TOKEN_CAPACITY bytes is dropped whole: overlong
// marks that it did, and it is ignored once its end is read. The bytes past
// it hold the zero byte that ends it and the number reader's padding, zeroed
// once, so that every byte read is defined.
struct pending_token {
    std::array<char, TOKEN_CAPACITY + 1 + NUMBER_PADDING> bytes{};
    std::size_t length = 0;
    bool active = false;
    bool overlong = false;
};

// Finds the stop bytes of text, end bytes of whole pieces as read_pieces
// cuts them: delimiters, and the bytes from a zero byte
// to the end of its piece. Every bit from end up to the end of its word is
// set as well.
void find_text_stops(const char* text, std::size_t end, std::uint64_t* stops) noexcept;

// Adds the bytes from first to last to pending, or marks it overlong when
// they would take it past TOKEN_CAPACITY bytes.
void hold_token(pending_token& pending, const char* first, const char* last) noexcept;

// Hands a held token, unless it was overlong, to evaluate(token, length),
// with a zero byte at token[length] and the padding after it, and empties
// pending.
template <typename Evaluate>
void finish_held(pending_token& pending, Evaluate&& evaluate) noexcept {
    if (!pending.active) return;
    if (!pending.overlong) {
        pending.bytes[pending.length] = '\0';
        evaluate(pending.bytes.data(), pending.length);
    }
    pending.length = 0;
    pending.active = false;
    pending.overlong = false;
}

// Returns the index of the first stop at or after from, for from <= end.
PILO_ALWAYS_INLINE std::size_t next_stop(const std::uint64_t* stops, std::size_t from) noexcept {
    std::size_t block = from / BLOCK_BYTES;
    std::uint64_t bits = stops[block] & (~std::uint64_t{0} << (from % BLOCK_BYTES));
    while (bits == 0) bits = stops[++block];
    return block * BLOCK_BYTES + static_cast<std::size_t>(std::countr_zero(bits));
}

// Hands each token of text, end bytes with stops from find_text_stops, to
// evaluate(token, length), where token[length] is a stop byte that may be
// overwritten and the padding follows, and a held token, once its end is
// read, to finish_held. A token longer than TOKEN_CAPACITY is ignored whole,
// wherever it lies, as if it had been held. A token starts
// at a byte that is no stop after one that is, byte 0 counting as after one,
// and ends at the next stop. When continues is true, the text ends inside a
// piece that goes on, so a token that runs into end is held in pending; a
// token held from before goes on at byte 0.
template <typename Evaluate>
PILO_ALWAYS_INLINE void scan_tokens(pending_token& pending, char* text, const std::uint64_t* stops,
                                    std::size_t end, bool continues, Evaluate&& evaluate) noexcept {
    if (!continues) text[end] = '\0';
    std::uint64_t after_stop = 1;
    if (pending.active) {
        const std::size_t stop = next_stop(stops, 0);
        hold_token(pending, text, text + stop);
        if (stop == end && continues) return;
        finish_held(pending, evaluate);
        after_stop = 0; // the token at byte 0, if any, was the held one
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
                hold_token(pending, text + start, text + stop);
                return;
            }
            if (stop - start <= TOKEN_CAPACITY) evaluate(text + start, stop - start);
        }
    }
}

} // namespace pilo
