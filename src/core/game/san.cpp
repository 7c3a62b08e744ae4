#include "game/san.h"

namespace pictog::game {

std::string writeSan(const Board&, Move)
{
    return {};
}
MoveRead readSan(const Board&, std::string_view)
{
    return { {}, "unreadable move" };
}
MoveRead readUci(const Board&, std::string_view)
{
    return { {}, "unreadable move" };
}

std::string writeUci(Move move)
{
    std::string text { char('a' + move.from % 8), char('1' + move.from / 8),
        char('a' + move.to % 8), char('1' + move.to / 8) };
    if (move.promotion >= 1 && move.promotion <= 4)
        text += "nbrq"[move.promotion - 1];
    return text;
}

} // namespace pictog::game
