// SPDX-FileCopyrightText: 2026 The pilo authors
// SPDX-License-Identifier: ISC

#include "driver/token_scanner.hpp"

#include "base/byte_words.hpp"
#include "base/platform.hpp"

#include <algorithm>
#include <cstring>

#if PILO_USE_SSE2
#include <emmintrin.h>
#endif

namespace pilo {

namespace {

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

} // namespace

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

void hold_token(pending_token& pending, const char* first, const char* last) noexcept {
    const auto count = static_cast<std::size_t>(last - first);
    pending.active = true;
    if (count > TOKEN_CAPACITY - pending.length) {
        pending.overlong = true;
        return;
    }
    std::memcpy(pending.bytes.data() + pending.length, first, count);
    pending.length += count;
}

} // namespace pilo
