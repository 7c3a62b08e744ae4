#pragma once

#include <cstdint>

// Attack tables for the move generator: leaper attacks, rays between squares and magic-bitboard
// slider attacks. Built once, on first use, in a thread-safe static; read-only afterwards.
namespace pictog::game::attacks {

using Bitboard = std::uint64_t;

constexpr Bitboard bit(int sq)
{
    return Bitboard { 1 } << sq;
}

inline int lsb(Bitboard b)
{
    return __builtin_ctzll(b);
}

// Removes the lowest set square and returns it; b must not be empty.
inline int popLsb(Bitboard& b)
{
    const int sq = lsb(b);
    b &= b - 1;
    return sq;
}

constexpr bool moreThanOne(Bitboard b)
{
    return (b & (b - 1)) != 0;
}

// One slider's magic entry: attacks = table[((occupied & mask) * magic) >> shift].
struct Magic {
    Bitboard mask = 0;
    Bitboard magic = 0;
    const Bitboard* table = nullptr;
    unsigned shift = 0;
    unsigned index(Bitboard occupied) const
    {
        return static_cast<unsigned>(((occupied & mask) * magic) >> shift);
    }
};

struct Tables {
    Bitboard knight[64];
    Bitboard king[64];
    // pawn[colour][sq]: the squares a pawn of that colour on sq attacks.
    Bitboard pawn[2][64];
    // A rook's and a bishop's attacks on an empty board.
    Bitboard rookRays[64];
    Bitboard bishopRays[64];
    // Squares strictly between two squares on one line; 0 when they share none.
    Bitboard between[64][64];
    // The whole line (edge to edge) through two squares, both included; 0 when they share none.
    Bitboard line[64][64];
    Magic rook[64];
    Magic bishop[64];
    Bitboard rookTable[0x19000];
    Bitboard bishopTable[0x1480];
};

// The tables, computed on the first call.
const Tables& tables();

inline Bitboard rookAttacks(const Tables& t, int sq, Bitboard occupied)
{
    const Magic& m = t.rook[sq];
    return m.table[m.index(occupied)];
}

inline Bitboard bishopAttacks(const Tables& t, int sq, Bitboard occupied)
{
    const Magic& m = t.bishop[sq];
    return m.table[m.index(occupied)];
}

} // namespace pictog::game::attacks
