#pragma once

#include "position/chess_position.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictog {

// Random placements, a piece on about a third of the squares; the same on every run.
inline std::vector<TChessPosition> samplePositions(int count)
{
    std::uint32_t state = 20240601u;
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    std::vector<TChessPosition> positions;
    positions.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        TChessPosition position = emptyPosition();
        for (int rank = 0; rank < 8; ++rank)
            for (int file = 0; file < 8; ++file)
                if (next() % 3 == 0)
                    position.SetPiece(static_cast<int>(1 + next() % 12), squareIndex(file, rank));
        positions.push_back(position);
    }
    return positions;
}

} // namespace pictog
