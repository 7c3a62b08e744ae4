#include "piece_outlines.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace pictog {

namespace detail {
    extern const char* const pieceOutlineTexts[];
    extern const std::size_t pieceOutlineTextCount;
} // namespace detail

namespace {

    std::array<artgen::PieceSource, 6> readOutlines()
    {
        static const char* const names[6] = { "pawn", "knight", "bishop", "rook", "queen", "king" };
        static const char letters[6] = { 'p', 'n', 'b', 'r', 'q', 'k' };
        if (detail::pieceOutlineTextCount != 6)
            throw std::runtime_error("the library holds no piece outlines");
        std::array<artgen::PieceSource, 6> pieces;
        for (int i = 0; i < 6; ++i) {
            pieces[static_cast<std::size_t>(i)] = artgen::readPieceSourceText(
                std::string(names[i]) + ".txt", detail::pieceOutlineTexts[i]);
            if (pieces[static_cast<std::size_t>(i)].letter != letters[i])
                throw std::runtime_error(std::string(names[i]) + ".txt: wrong piece letter");
        }
        return pieces;
    }

} // namespace

const std::array<artgen::PieceSource, 6>& pieceOutlines()
{
    static const std::array<artgen::PieceSource, 6> pieces = readOutlines();
    return pieces;
}

PieceLineWidths pieceLineWidths(double square)
{
    const double scale = square / 38.0;
    return { std::max(1.0, 1.4 * scale), 1.3 * scale, std::max(1.0, 1.6 * scale) };
}

} // namespace pictog
