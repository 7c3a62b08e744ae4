#include "game/board.h"

namespace pictog::game {

bool MoveList::contains(Move move) const
{
    for (const Move& m : *this)
        if (m == move)
            return true;
    return false;
}

void generateLegalMoves(const Board&, MoveList& moves)
{
    moves.clear();
}
bool isLegal(const Board&, Move)
{
    return false;
}
GameStatus status(const Board&)
{
    return GameStatus::Stalemate;
}
std::uint64_t perft(const Board&, int)
{
    return 1;
}

} // namespace pictog::game
