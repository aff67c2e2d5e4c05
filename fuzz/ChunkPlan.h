#pragma once

#include <cstddef>
#include <cstdint>

namespace parlo::fuzz {

// Cuts a byte string into a sequence of reads whose lengths follow from a seed,
// the way a network hands a stream to the reader in arbitrary pieces.
class ChunkPlan {
public:
    ChunkPlan(std::uint32_t seed, std::size_t total) : m_state(seed | 1u), m_left(total) {}

    // The length of the next read; 0 once everything has been handed out.
    std::size_t next() {
        if (m_left == 0) {
            return 0;
        }
        // xorshift32: cheap, and the same seed gives the same cuts every run.
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        // Mostly short reads (split characters and keywords), now and then a long one.
        const std::size_t limit = (m_state & 0x700u) == 0 ? 4096 : 16;
        std::size_t length = 1 + (m_state % limit);
        if (length > m_left) {
            length = m_left;
        }
        m_left -= length;
        return length;
    }

private:
    std::uint32_t m_state;
    std::size_t m_left;
};

} // namespace parlo::fuzz
